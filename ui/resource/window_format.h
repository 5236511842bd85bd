// The byte layout of a compiled window resource: the container, the records
// and the shared blocks, as offset tables. Decoding (window_records.h) and the
// resource compiler (tools/rsc) both lay records out from these constants.
//
// Container (the resource's bytes, type "DABDUMP", name "<MODULE>_RSC"):
//
//   OFFSET  SIZE  CONTENT
//   0       n+1   module-qualified name, NUL-terminated ("mxb$MXB003")
//   n+1     rest  the body
//
// Body buffer: the body is copied to offset 2 of a buffer two bytes longer;
// bytes 0 and 1 are 0. Every reference in the body is a signed 32-bit
// little-endian offset into that buffer; 0 means absent (as a string: "").
// Buffer offset 2 holds the offset of the first window record. Records and
// blocks are byte-packed, little-endian, with no alignment.
//
// Every record starts with its type code (1 byte) and the offset of the next
// record at the same level (4 bytes, 0 = last).
#pragma once

#include <cstdint>

namespace kor {

// ---- body ------------------------------------------------------------------

inline constexpr int32_t kBodyBase = 2;         // buffer offset of the first body byte
inline constexpr int32_t kFirstWindowRef = 2;   // holds the first window record's offset
inline constexpr int32_t kOmitted = INT32_MIN;  // 0x80000000: a position value left out
inline constexpr int32_t kRestOfBar = -1;       // status width: the rest of the bar
inline constexpr int32_t kDefaultColour = -1;   // colour or font slot: the default

// ---- record type codes -----------------------------------------------------

enum RecordType : uint8_t {
  kRecBoundString = 1,  // string bound to a variable, shown through a picture
  kRecString = 2,       // constant string
  kRecImage = 3,
  kRecGraphic = 6,  // drawn graphic element (no layout of its own here)
  kRecEntry = 8,
  kRecButton = 9,
  kRecPrompt = 10,
  kRecCheck = 12,
  kRecGroup = 13,
  kRecList = 14,  // a drop-down list when its drop count is not 0
  kRecSpin = 16,
  kRecMenu = 19,
  kRecMenuItem = 20,
  kRecMenuBar = 22,
  kRecToolBar = 23,
  kRecWindow = 25,
  kRecReport = 26,  // the window layout, read by the report engine
};

// ---- window record (type 25 or 26), 114 bytes -------------------------------
//
//   OFFSET  SIZE  FIELD
//   0       1     type
//   1       4     next window record
//   5       4     attribute word; bits 0x300 select the unit
//   9       4     reserved, carried
//   13      16    position block, inline
//   29      4     first control record
//   33      4     label ("P1$BROWSEWINDOW")
//   37      4     font block
//   41      4     title; non-empty gives a caption bar
//   45      8     reserved, carried (two words)
//   53      4     colour block
//   57      4     icon name
//   61      20    message block, inline
//   81      4     second attribute word (frame and caption options)
//   85      4     extension block (0 in every window of this program)
//   89      4     timer period, hundredths of a second (0 = none)
//   93      4     menu bar record
//   97      4     tool bar record
//   101     4     cursor name
//   105     4     status-bar widths (0 = no status bar)
//   109     5     wallpaper block, inline: mode byte, image name
inline constexpr int32_t kWinType = 0;
inline constexpr int32_t kWinNext = 1;
inline constexpr int32_t kWinAttr = 5;
inline constexpr int32_t kWinReserved = 9;
inline constexpr int32_t kWinPosition = 13;
inline constexpr int32_t kWinFirstControl = 29;
inline constexpr int32_t kWinLabel = 33;
inline constexpr int32_t kWinFont = 37;
inline constexpr int32_t kWinTitle = 41;
inline constexpr int32_t kWinReserved2 = 45;
inline constexpr int32_t kWinColours = 53;
inline constexpr int32_t kWinIcon = 57;
inline constexpr int32_t kWinMessage = 61;
inline constexpr int32_t kWinAttr2 = 81;
inline constexpr int32_t kWinExtension = 85;
inline constexpr int32_t kWinTimer = 89;
inline constexpr int32_t kWinMenuBar = 93;
inline constexpr int32_t kWinToolBar = 97;
inline constexpr int32_t kWinCursor = 101;
inline constexpr int32_t kWinStatusWidths = 105;
inline constexpr int32_t kWinWallpaper = 109;
inline constexpr int32_t kWinSize = 114;

// Window attribute word: the unit of every position in the window.
inline constexpr int32_t kUnitMask = 0x300;
inline constexpr int32_t kUnitDialog = 0x000;        // dialog units of the window's font
inline constexpr int32_t kUnitInch25 = 0x100;        // 1/25 inch
inline constexpr int32_t kUnitInch1000 = 0x200;      // 1/1000 inch
inline constexpr int32_t kUnitPixelOrPoint = 0x300;  // pixels in a window, points in a report

// Second window attribute word.
inline constexpr int32_t kFrameMask = 0x60;
inline constexpr int32_t kFrameSingle = 0x00;
inline constexpr int32_t kFrameResizable = 0x20;
inline constexpr int32_t kFrameDouble = 0x40;
inline constexpr int32_t kFrameNone = 0x60;
inline constexpr int32_t kWinCentred = 0x80;      // opens centred on the window below it
inline constexpr int32_t kWinMaxBox = 0x800;      // maximise button (with the system menu)
inline constexpr int32_t kWinSysMenu = 0x1000;    // system menu
inline constexpr int32_t kWinLook3d = 0x2000;     // controls drawn with the three-dimensional look
inline constexpr int32_t kWinMaximised = 0x4000;  // opens maximised
inline constexpr int32_t kWinMinimised = 0x8000;  // opens minimised

// ---- control record header (every control kind), 21 bytes -------------------
//
//   OFFSET  SIZE  FIELD
//   0       1     control type code
//   1       4     next control at the same level
//   5       4     control attribute word
//   9       4     reserved, carried
//   13      4     field number (0 = not addressable)
//   17      4     name (0 = none)
inline constexpr int32_t kCtlType = 0;
inline constexpr int32_t kCtlNext = 1;
inline constexpr int32_t kCtlAttr = 5;
inline constexpr int32_t kCtlReserved = 9;
inline constexpr int32_t kCtlField = 13;
inline constexpr int32_t kCtlName = 17;
inline constexpr int32_t kCtlHeaderSize = 21;

// Control attribute word. 0x20, 0x08 and 0x10 are the runtime's; the other
// bits are options this tree's compiler and controls agree on.
inline constexpr int32_t kCtlRight = 0x08;      // prompts and strings: right-aligned text
inline constexpr int32_t kCtlCentre = 0x10;     // prompts and strings: centred text
inline constexpr int32_t kCtlAlignMask = 0x1C;  // 0x08 right, 0x10 centre, any other value left
inline constexpr int32_t kCtlNoTab = 0x20;      // not a tab stop
inline constexpr int32_t kCtlDisabled = 0x40;
inline constexpr int32_t kCtlHidden = 0x80;
inline constexpr int32_t kCtlReadOnly = 0x100;   // entry: shows its variable, takes no typing
inline constexpr int32_t kCtlRequired = 0x200;   // entry: must be accepted before EVENT:Completed
inline constexpr int32_t kCtlUpper = 0x400;      // entry: typing is turned to upper case
inline constexpr int32_t kCtlRepeat = 0x800;     // button: auto-repeat
inline constexpr int32_t kCtlPaged = 0x800;      // list: the program scrolls (keys become events)
inline constexpr int32_t kCtlPassword = 0x1000;  // entry: shows asterisks
inline constexpr int32_t kCtlVScroll = 0x2000;   // list: vertical scroll bar
inline constexpr int32_t kCtlHScroll = 0x4000;   // list: horizontal scroll bar

// Control layouts after the header: where each shared item sits in each kind
// (-1: the kind has none). Kinds that show a variable start with its
// descriptor at 21; the other blocks follow in one order in every kind.
struct ControlLayout {
  uint8_t type;
  int32_t size;
  int32_t variable;  // bound-variable descriptor
  int32_t format;    // list column format string
  int32_t position;  // position block, inline (16)
  int32_t message;   // message block, inline (20)
  int32_t font;
  int32_t cursor;
  int32_t colours;
  int32_t text;
  int32_t picture;  // picture without its "@"
  int32_t image;    // icon name (button, check), image name (image)
};

// clang-format off
inline constexpr ControlLayout kControlLayouts[] = {
  // type             size  var  fmt  pos  msg  font curs col  text pict image
  {kRecBoundString,    76,  21,  -1,  25,  -1,  49,  -1,  -1,  -1,  45,  -1},
  {kRecString,         59,  -1,  -1,  21,  -1,  45,  49,  53,  41,  -1,  -1},
  {kRecImage,          74,  -1,  -1,  21,  37,  57,  61,  65,  -1,  -1,  69},
  {kRecEntry,          77,  21,  -1,  25,  41,  61,  65,  69,  -1,  73,  -1},
  {kRecButton,         90,  -1,  -1,  21,  37,  57,  61,  65,  69,  -1,  73},
  {kRecPrompt,         59,  -1,  -1,  21,  -1,  45,  49,  53,  41,  -1,  -1},
  {kRecCheck,          93,  21,  -1,  25,  41,  61,  65,  69,  73,  -1,  77},
  {kRecGroup,          81,  -1,  -1,  21,  37,  57,  61,  65,  69,  -1,  -1},
  {kRecList,          109,  21,  25,  29,  45,  65,  69,  73,  -1,  -1,  -1},
  {kRecSpin,          114,  21,  -1,  25,  41,  61,  65,  69,  -1,  73,  -1},
};
// clang-format on

// The layout of a control type code; null for kinds without one here.
const ControlLayout* FindControlLayout(uint8_t type);

// Fields of single kinds, beyond the shared items above.
inline constexpr int32_t kButtonAction = 81;   // standard action code (0 = none)
inline constexpr int32_t kButtonOptions = 85;  // option byte
inline constexpr int32_t kButtonDelay = 86;    // 16-bit, hundredths: auto-repeat delay
inline constexpr int32_t kButtonRepeat = 88;   // 16-bit, hundredths: auto-repeat interval
inline constexpr int32_t kGroupFirstChild = 73;
inline constexpr int32_t kGroupBlock = 77;   // optional block read by the group (0 here)
inline constexpr int32_t kPromptValue = 57;  // 16-bit signed, kept with the font
inline constexpr int32_t kShowOptions = 53;
inline constexpr int32_t kShowValue = 74;  // 16-bit
inline constexpr int32_t kCheckIconOptions = 81;
inline constexpr int32_t kCheckImage2 = 85;
inline constexpr int32_t kCheckImage3 = 89;
inline constexpr int32_t kSpinLow = 82;          // 64-bit real
inline constexpr int32_t kSpinHigh = 90;         // 64-bit real; 0 to 0 = no limits
inline constexpr int32_t kSpinValue = 98;        // 16-bit
inline constexpr int32_t kSpinStep = 102;        // 64-bit real; 0 = a step of 1
inline constexpr int32_t kSpinSource = 110;      // queue descriptor supplying the values (0 = none)
inline constexpr int32_t kListDrop = 77;         // drop count byte (0 = list box)
inline constexpr int32_t kListSecond = 78;       // second bound-variable descriptor
inline constexpr int32_t kListSource = 84;       // source (queue) descriptor
inline constexpr int32_t kListOptionValue = 88;  // 32-bit option value
inline constexpr int32_t kListExtraText = 92;    // string read with bit 1 of the option byte
inline constexpr int32_t kListExtraValue = 96;   // value read with it
inline constexpr int32_t kListOptions = 100;     // option byte
inline constexpr int32_t kListMore = 101;        // a further 32-bit option
inline constexpr int32_t kListSetting = 105;     // initial list setting, -1 = keep the default
inline constexpr int32_t kImageOptions = 73;

// Button option byte (also the icon option byte of a check box).
enum : uint8_t {
  kButtonDefault = 0x01,   // the window's default button
  kButtonIconLeft = 0x40,  // the icon stands left of the text
};
// List option byte.
enum : uint8_t { kListExtra = 0x02 };  // read the text and value at 92 and 96
// Image option byte.
enum : uint8_t { kImageStretch = 0x01, kImageCentre = 0x02, kImageTile = 0x04 };

// ---- menus and bars ----------------------------------------------------------
//
// Menu bar (22), 17 bytes: type, next, attribute word, reserved word, 13 first
// menu. Tool bar (23), 33 bytes: type, next, attribute word, reserved word,
// 13 position block, 29 first control. Menu (19), 57 bytes, and item (20), 58
// bytes: the control header (field numbers like controls), 21 reserved word,
// 25 text, 29 message block, 49 font, then a menu's first item at 53 (items
// and sub-menus chained), an item's standard action at 53 and option byte at 57.
inline constexpr int32_t kBarAttr = 5;
inline constexpr int32_t kBarReserved = 9;
inline constexpr int32_t kMenuBarFirst = 13;
inline constexpr int32_t kMenuBarSize = 17;
inline constexpr int32_t kToolBarPosition = 13;
inline constexpr int32_t kToolBarFirst = 29;
inline constexpr int32_t kToolBarSize = 33;
inline constexpr int32_t kMenuReserved = 21;
inline constexpr int32_t kMenuText = 25;
inline constexpr int32_t kMenuMessage = 29;
inline constexpr int32_t kMenuFont = 49;
inline constexpr int32_t kMenuFirstItem = 53;
inline constexpr int32_t kMenuSize = 57;
inline constexpr int32_t kItemAction = 53;
inline constexpr int32_t kItemOptions = 57;
inline constexpr int32_t kItemSize = 58;
enum : uint8_t { kItemChecked = 0x01, kItemSeparator = 0x02 };

// ---- shared blocks -------------------------------------------------------------

// Position block, 16 bytes: x, y, width, height (kOmitted = left out).
inline constexpr int32_t kPosX = 0;
inline constexpr int32_t kPosY = 4;
inline constexpr int32_t kPosWidth = 8;
inline constexpr int32_t kPosHeight = 12;
inline constexpr int32_t kPositionSize = 16;
// Message block, 20 bytes.
inline constexpr int32_t kMsgText = 0;     // status-bar message
inline constexpr int32_t kMsgTooltip = 4;  // "~..." = use the message when there is one
inline constexpr int32_t kMsgHelp = 8;     // help identifier
inline constexpr int32_t kMsgHotKey = 12;  // key code, 0 = none
inline constexpr int32_t kMsgAlert = 16;   // first alert-key node
inline constexpr int32_t kMessageSize = 20;
// Alert-key node, 8 bytes: key code, next node.
inline constexpr int32_t kAlertKey = 0;
inline constexpr int32_t kAlertNext = 4;
inline constexpr int32_t kAlertSize = 8;
// Font block, 16 bytes: face, size in points, colour, weight (-1 = default).
inline constexpr int32_t kFontFace = 0;
inline constexpr int32_t kFontSize = 4;
inline constexpr int32_t kFontColour = 8;
inline constexpr int32_t kFontWeight = 12;
inline constexpr int32_t kFontBlockSize = 16;
// Colour block, 12 bytes: three colours, slots 0, 1, 2.
inline constexpr int32_t kColourBlockSize = 12;
// Bound-variable descriptor, 9 bytes: type code, size (0 = from the address
// list), extra word (DECIMAL/PDECIMAL: places; string types: picture offset).
inline constexpr int32_t kVarType = 0;
inline constexpr int32_t kVarBytes = 1;
inline constexpr int32_t kVarExtra = 5;
inline constexpr int32_t kVarDescriptorSize = 9;
// Wallpaper block, 5 bytes, inline: mode byte, image name.
inline constexpr int32_t kWallMode = 0;
inline constexpr int32_t kWallImage = 1;
inline constexpr int32_t kWallpaperSize = 5;

// Image and cursor names: a string, or a four-byte reference 0xFF, kind, and
// the identifier plus one (16-bit). Kind 2: the program's image resource;
// kind 1: the platform's own icon or cursor.
inline constexpr uint8_t kImageRefMark = 0xFF;
enum : uint8_t { kRefPlatform = 1, kRefProgram = 2 };
inline constexpr int32_t kImageRefSize = 4;
// Cursor references with their own meaning.
inline constexpr uint16_t kStoredSizeAllCursor = 0x7F81;  // platform cursor 32646
inline constexpr uint16_t kStoredArrowCursor = 0x7F82;    // platform cursor 32512

static_assert(kWinWallpaper + kWallpaperSize == kWinSize);
static_assert(kWinMessage + kMessageSize == kWinAttr2);
static_assert(kWinPosition + kPositionSize == kWinFirstControl);
static_assert(kWinReserved2 + 8 == kWinColours);
static_assert(kButtonRepeat + 2 == 90 && kSpinSource + 4 == 114 && kListSetting + 4 == 109);
static_assert(kCheckImage3 + 4 == 93 && kShowValue + 2 == 76 && kImageOptions + 1 == 74);
static_assert(kPromptValue + 2 == 59 && kGroupBlock + 4 == 81);
static_assert(kMenuMessage + kMessageSize == kMenuFont && kMenuFont + 4 == kMenuFirstItem);
static_assert(kToolBarPosition + kPositionSize == kToolBarFirst);

}  // namespace kor
