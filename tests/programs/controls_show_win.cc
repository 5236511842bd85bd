// Shows the control library's test window (test$CTLTEST, C$ALL) with every
// kind of control, its lists filled, for the screenshot test; with "box" it
// then shows a message box over it, with "drop" it drops its drop-down list
// (field 17, the second row selected). "tree" shows the window C$TREE
// instead: a list with the check-mark icon, a tree column and sizing grips;
// "tags" the window C$TAGS, the main window's project list with its format
// and icon 1, the check mark, on the tagged rows.
// Driven by tests/blackbox/controls_screenshot_test.sh.
//
//   controls_show LOG window|box|drop|tree|tags
//
// The log (appended, one line each): "pid N" first, "open" once the window
// is open, "box N" with the message box's answer, "exit N" last.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <iterator>
#include <string>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/os/os.h"
#include "runtime/runtime_init.h"
#include "runtime/values/data_types.h"
#include "ui/accept.h"
#include "ui/controls/control_library.h"
#include "ui/controls/controls_init.h"
#include "ui/controls/list_box.h"
#include "ui/controls/list_queue.h"
#include "ui/controls/message_box.h"
#include "ui/plain_controls.h"
#include "ui/properties.h"
#include "ui/state_functions.h"
#include "ui/ui_init.h"
#include "ui/window.h"

namespace {

constexpr int kBadUse = 2;

constexpr uint8_t kKinds[] = {
    kor::kRecPrompt,      kor::kRecEntry,  kor::kRecButton, kor::kRecCheck, kor::kRecSpin,
    kor::kRecBoundString, kor::kRecString, kor::kRecGroup,  kor::kRecList,  kor::kRecImage};

void InitShowKinds(int32_t arg) {
  if (arg != 0) return;
  kor::RegisterLibraryControlKinds(kKinds, sizeof kKinds);
  kor::RegisterPlainControlKinds(kKinds, sizeof kKinds);
}

const kor::InitEntry kTable[] = {
    // clang-format off
    KOR_RUNTIME_CORE_INIT_ENTRIES
    KOR_UI_INIT_ENTRIES
    KOR_CONTROLS_INIT_ENTRIES
    {5, &InitShowKinds, &InitShowKinds},
    // clang-format on
};
kor::ModuleDescriptor g_module = {
    .init_begin = std::begin(kTable), .init_end = std::end(kTable), .name = "controls_show"};

FILE* g_log = nullptr;

void Log(const std::string& line) {
  fprintf(g_log, "%s\n", line.c_str());
  fflush(g_log);
}

struct Row {
  char name[20];
  int32_t size;
};
constexpr kor::QueueField kFields[] = {
    {.type = kor::kTypeString, .offset = 0, .size = 20},
    {.type = kor::kTypeLong, .offset = 20, .size = 4},
};

void Fill(kor::Queue* queue) {
  struct Item {
    const char* name;
    int32_t size;
  };
  const Item items[] = {{"MXB.APP", 1234},
                        {"REPORTS.APP", 86490},
                        {"DICT.DCT", 605},
                        {"TOOLS.APP", 42},
                        {"LONGER NAME.APP", 9999}};
  for (const Item& item : items) {
    Row r = {};
    memset(r.name, ' ', sizeof r.name);
    memcpy(r.name, item.name, strlen(item.name));
    r.size = item.size;
    queue->Append(&r);
  }
}

// C$TREE's rows: 1 tag, 2 icon number, 3 name, 4 tree level, 5 size.
constexpr int kTreeRowSize = 31;
constexpr kor::QueueField kTreeFields[] = {
    {.type = kor::kTypeString, .offset = 0, .size = 1},
    {.type = kor::kTypeShort, .offset = 1, .size = 2},
    {.type = kor::kTypeString, .offset = 3, .size = 20},
    {.type = kor::kTypeLong, .offset = 23, .size = 4},
    {.type = kor::kTypeLong, .offset = 27, .size = 4},
};

void FillTree(kor::Queue* queue) {
  struct Item {
    int16_t icon;
    const char* name;
    int32_t level;
    int32_t size;
  };
  const Item items[] = {{1, "Applications", 1, 3},    {1, "MXB.APP", 2, 1234},
                        {0, "REPORTS.APP", 2, 86490}, {1, "TOOLS.APP", 2, 42},
                        {0, "Dictionaries", -1, 2},   {0, "Libraries", 1, 0}};
  for (const Item& item : items) {
    char row[kTreeRowSize];
    memset(row, ' ', sizeof row);
    memcpy(row + 1, &item.icon, 2);
    memcpy(row + 3, item.name, strlen(item.name));
    memcpy(row + 23, &item.level, 4);
    memcpy(row + 27, &item.size, 4);
    queue->Append(row);
  }
}

int ShowTree() {
  kor::Queue queue(kTreeRowSize);
  FillTree(&queue);
  kor::QueueBinding rows = {&queue, kTreeFields, 5};
  void* addresses[] = {&rows, nullptr};
  kor::Window window;
  window.Declare("test$CTLTEST", "C$TREE", addresses);
  if (!window.Open()) return 1;
  kor::SetPropertyValue(1, kor::kPropListIcon, 1, "~c:\\korvane5\\images\\check.ico");
  kor::SetPropertyValue(1, kor::kPropListSelected, 0, "2");
  Log("open");
  kor::ACCEPT([] { return kor::Pass::kContinue; });
  window.Close();
  return 0;
}

// C$TAGS's rows, as the main window's queue begins: the tag with its four
// colours and icon number, the priority with its four colours, the path and
// the application.
constexpr int kTagRowSize = 166;
constexpr kor::QueueField kTagFields[] = {
    {.type = kor::kTypeString, .offset = 0, .size = 1},
    {.type = kor::kTypeLong, .offset = 1, .size = 4},
    {.type = kor::kTypeLong, .offset = 5, .size = 4},
    {.type = kor::kTypeLong, .offset = 9, .size = 4},
    {.type = kor::kTypeLong, .offset = 13, .size = 4},
    {.type = kor::kTypeShort, .offset = 17, .size = 2},
    {.type = kor::kTypeByte, .offset = 19, .size = 1},
    {.type = kor::kTypeLong, .offset = 20, .size = 4},
    {.type = kor::kTypeLong, .offset = 24, .size = 4},
    {.type = kor::kTypeLong, .offset = 28, .size = 4},
    {.type = kor::kTypeLong, .offset = 32, .size = 4},
    {.type = kor::kTypeString, .offset = 36, .size = 80},
    {.type = kor::kTypeString, .offset = 116, .size = 50},
};

int ShowTags() {
  struct Item {
    int16_t icon;
    uint8_t priority;
    const char* path;
    const char* application;
  };
  const Item items[] = {{1, 1, "C:\\PROJECTS\\MXB", "MXB.APP"},
                        {0, 2, "C:\\PROJECTS\\REPORTS", "REPORTS.APP"},
                        {1, 5, "D:\\WORK\\A RATHER LONG FOLDER NAME\\DICT", "DICT.DCT"},
                        {0, 10, "C:\\TOOLS", "TOOLS.APP"}};
  kor::Queue queue(kTagRowSize);
  for (const Item& item : items) {
    char row[kTagRowSize] = {};
    memset(row, ' ', 1);
    memcpy(row + 17, &item.icon, 2);
    memcpy(row + 19, &item.priority, 1);
    memset(row + 36, ' ', 130);
    memcpy(row + 36, item.path, strlen(item.path));
    memcpy(row + 116, item.application, strlen(item.application));
    queue.Append(row);
  }
  kor::QueueBinding rows = {&queue, kTagFields, 13};
  void* addresses[] = {&rows, nullptr};
  kor::Window window;
  window.Declare("test$CTLTEST", "C$TAGS", addresses);
  if (!window.Open()) return 1;
  kor::SetPropertyValue(1, kor::kPropListIcon, 1, "~c:\\korvane5\\images\\check.ico");
  kor::SetPropertyValue(1, kor::kPropListSelected, 0, "2");
  Log("open");
  kor::ACCEPT([] { return kor::Pass::kContinue; });
  window.Close();
  return 0;
}

int Show(bool box, bool drop) {
  int32_t entry = 4711;
  int16_t check = 1;
  int32_t spin = 3;
  int32_t shown = 1234;  // 1,234.00 fits @n9.2
  int16_t inner = 0;
  char bound[20];
  memset(bound, ' ', sizeof bound);
  kor::Queue queue(sizeof(Row));
  Fill(&queue);
  kor::QueueBinding rows = {&queue, kFields, 2};
  char dropped[20];
  memset(dropped, ' ', sizeof dropped);
  void* addresses[] = {&entry, &check, &spin,   &shown, &inner,
                       bound,  &rows,  dropped, &rows,  nullptr};
  kor::Window window;
  window.Declare("test$CTLTEST", "C$ALL", addresses);
  if (!window.Open()) return 1;
  kor::SetPropertyValue(17, kor::kPropListSelected, 0, "2");
  Log("open");
  kor::ACCEPT([&] {
    // Dropped once the window is shown and active (its activation would take
    // the focus from the field and close the list again): at a tick posted
    // behind the opening.
    if (kor::EVENT() == kor::kEventOpenWindow && drop) {
      SetFocus(GetDlgItem(window.handle(), 17 + kor::kControlIdBase));
      PostMessageA(window.handle(), WM_TIMER, 1, 0);
    }
    if (kor::EVENT() == kor::kEventTimer && drop) {
      HWND field = GetDlgItem(window.handle(), 17 + kor::kControlIdBase);
      SendMessageA(field, CB_SHOWDROPDOWN, 1, 0);
      Log("dropped " + std::to_string(SendMessageA(field, CB_GETDROPPEDSTATE, 0, 0)));
    }
    if (kor::EVENT() == kor::kEventOpenWindow && box) {
      kor::MessageBoxArgs args;
      args.text = "Save the changes to the project list?|They are kept until the next make.";
      args.caption = "Confirm";
      args.buttons = "&Save|&No|Cancel";
      args.default_button = 1;
      args.style = 0x30;  // exclamation
      Log("box " + std::to_string(kor::ShowMessageBox(args)));
    }
    return kor::Pass::kContinue;
  });
  window.Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: controls_show LOG window|box|drop|tree|tags\n");
    return kBadUse;
  }
  g_log = fopen(argv[1], "a");
  if (g_log == nullptr) return kBadUse;
  Log("pid " + std::to_string(GetCurrentProcessId()));
  kor::OsResetFpu();
  kor::RegisterModule(&g_module, nullptr);
  kor::RuntimeStart();
  int status = 0;
  if (strcmp(argv[2], "tree") == 0) {
    status = ShowTree();
  } else if (strcmp(argv[2], "tags") == 0) {
    status = ShowTags();
  } else {
    status = Show(strcmp(argv[2], "box") == 0, strcmp(argv[2], "drop") == 0);
  }
  kor::RuntimeShutdown();
  Log("exit " + std::to_string(status));
  kor::Halt(status);
}
