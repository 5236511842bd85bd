// Tests of the declaration, record and key dumps.
#include "files/dump.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files/fixture_test.h"

namespace kor {
namespace {

std::string Lines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* l : lines) out += std::string(l) + "\r\n";
  return out;
}

TEST(DeclarationDump, EveryTypeWithGroupsKeysAndMemos) {
  testing::EveryTypeFile t;
  std::string expected = Lines({
      "Emp               FILE,DRIVER(DOS,'/QUICKSCAN=ON'),OWNER(******),NAME('emp.dat'),"
      "CREATE,ENCRYPT",
      "EMP:NAMEKEY         KEY(+EMP:NAME,-EMP:DATE),DUP,NOCASE",
      "EMP:IDX             INDEX(+EMP:LONG),OPT,NAME(idx)",
      "EMP:NOTES           MEMO(20),NAME(notes)",
      "EMP:PIC             BLOB,BINARY",
      "                    RECORD",
      "EMP:BYTE              BYTE",
      "EMP:SHORT             SHORT",
      "EMP:USHORT            USHORT",
      "EMP:DATE              DATE",
      "EMP:TIME              TIME",
      "EMP:LONG              LONG",
      "EMP:ULONG             ULONG",
      "EMP:SREAL             SREAL",
      "EMP:REAL              REAL",
      "EMP:DECIMAL           DECIMAL(5,2)",
      "EMP:PDECIMAL          PDECIMAL(5,2)",
      "EMP:BFLOAT4           BFLOAT4",
      "EMP:BFLOAT8           BFLOAT8",
      "EMP:NAME              STRING(10)",
      "EMP:CODE              CSTRING(6)",
      "EMP:PNAME             PSTRING(6)",
      "EMP:ADDRESS           GROUP",
      "EMP:STREET              STRING(@s8)",
      "EMP:INNER               GROUP",
      "EMP:ZIP                   LONG",
      "EMP:FLAGS                 SHORT",
      "                        END",
      "                      END",
      "EMP:CODES             BYTE, DIM(2)",
      "EMP:WHOLE             LONG, OVER(EMP:LONG)",
      "                    END",
      "                  END",
      "",
  });
  EXPECT_EQ(DumpDeclaration(t.file, "emp.dat"), expected);
}

TEST(DeclarationDump, PlainFileWithoutFieldsOrOptions) {
  // A 20-character label is followed by one blank; no fields still gives
  // RECORD and both ENDs; no owner, no name, no attributes.
  FileDescriptor file = {.label = "ABCDEFGHIJKLMNOPQRST", .label_length = 20, .driver_name = "DOS"};
  EXPECT_EQ(DumpDeclaration(file, ""),
            Lines({"ABCDEFGHIJKLMNOPQRST FILE,DRIVER(DOS)", "                    RECORD",
                   "                    END", "                  END", ""}));
  file.attributes = kFileReclaim | kFileCreate;
  file.options = "";
  std::string dump = DumpDeclaration(file, "x.dat");
  EXPECT_EQ(dump.substr(0, dump.find('\n') + 1),
            "ABCDEFGHIJKLMNOPQRST FILE,DRIVER(DOS),NAME('x.dat'),CREATE,RECLAIM\r\n");
}

TEST(DeclarationDump, GroupsOpenAtTheEndCloseInnermostFirst) {
  const FieldDescriptor fields[] = {
      {.type = kTypeGroup, .label = "T:OUTER", .size = 4},
      {.type = kTypeGroup, .level = 1, .label = "T:INNER", .size = 4},
      {.type = kTypeLong, .level = 2, .label = "T:LAST", .size = 4},
      {.type = kTypeEnd},
  };
  FileDescriptor file = {.label = "T", .label_length = 1, .driver_name = "DOS", .fields = fields};
  EXPECT_EQ(DumpDeclaration(file, ""), Lines({
                                           "T                 FILE,DRIVER(DOS)",
                                           "                    RECORD",
                                           "T:OUTER               GROUP",
                                           "T:INNER                 GROUP",
                                           "T:LAST                    LONG",
                                           "                        END",
                                           "                      END",
                                           "                    END",
                                           "                  END",
                                           "",
                                       }));
}

TEST(RecordDump, EveryTypeValueText) {
  testing::EveryTypeFile t;
  t.FillSample();
  std::string expected = Lines({
      "EMP:NOTES         ",
      "  48 65 6C 6C 6F                                   | Hello",
      "",
      "EMP:PIC           ",
      "  01                                               | .",
      "",
      "  EMP:BYTE          :0AH",
      "  EMP:SHORT         :-5",
      "  EMP:USHORT        :65535",
      "  EMP:DATE          :15 Mar 1998 (130941711)",
      "  EMP:TIME          :Invalid time (419430400)",
      "  EMP:LONG          :-123456",
      "  EMP:ULONG         :4000000000",
      "  EMP:SREAL         :1.500000",
      "  EMP:REAL          :2.25",
      "  EMP:DECIMAL       :-123.45",
      "  EMP:PDECIMAL      :123.45",
      "  EMP:BFLOAT4       :",
      "  EMP:BFLOAT8       :3",
      "  EMP:NAME          :'Smith     '",
      "  EMP:CODE          :'AB'",
      "  EMP:PNAME         :'xyz'",
      "  EMP:STREET        :'Main St '",
      "  EMP:ZIP           :12345",
      "  EMP:FLAGS         :7",
      "  EMP:CODES         :01H,FFH",
      "  EMP:WHOLE         :-123456",
      "",
  });
  EXPECT_EQ(DumpRecord(t.file), expected);
}

TEST(RecordDump, BlankMemoHasNoHexDumpAndLongMemoWraps) {
  testing::EveryTypeFile t;
  std::string dump = DumpRecord(t.file);
  // Blank MEMO and all-zero BINARY BLOB: label lines only.
  EXPECT_EQ(dump.substr(0, 40), "EMP:NOTES         \r\nEMP:PIC           \r\n");
  std::memcpy(t.notes, "0123456789abcdefXYZ", 19);
  dump = DumpRecord(t.file);
  EXPECT_NE(dump.find("  30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66  | "
                      "0123456789abcdef\r\n  58 59 5A "),
            std::string::npos);
}

// A text field with a picture shows the text as the picture formats it;
// without one, the text as stored.
TEST(FieldValue, TextThroughItsPicture) {
  const char text[] = "1234.5    ";
  const auto* rec = reinterpret_cast<const uint8_t*>(text);
  FieldDescriptor amount = {.type = kTypeString, .label = "A", .size = 10, .picture = "@n$10.2"};
  EXPECT_EQ(FieldValueText(amount, rec), "' $1,234.50'");
  FieldDescriptor shorter = {.type = kTypeString, .label = "A", .size = 10, .picture = "@s4"};
  EXPECT_EQ(FieldValueText(shorter, rec), "'1234'");
  FieldDescriptor plain = {.type = kTypeString, .label = "A", .size = 10};
  EXPECT_EQ(FieldValueText(plain, rec), "'1234.5    '");
  const uint8_t pascal[] = {3, 'a', 'b', 'c', 'z', 'z'};
  FieldDescriptor pstring = {.type = kTypePString, .label = "P", .size = 6, .picture = "@s5"};
  EXPECT_EQ(FieldValueText(pstring, pascal), "'abc  '");
  // A CSTRING of n bytes shows at most n-1 characters, as the runtime reads
  // it, even when the field lacks its zero byte.
  const uint8_t unterminated[] = {'w', 'x', 'y', 'z'};
  FieldDescriptor cstring = {kTypeCString, 0, 0, 0, "C", 0, 4, nullptr, 0, nullptr, 0, 0};
  EXPECT_EQ(FieldValueText(cstring, unterminated), "'wxy'");
}

TEST(FieldValue, DateAndTimeEdges) {
  uint8_t rec[4] = {0, 0, 0, 0};
  FieldDescriptor date = {.type = kTypeDate, .label = "D", .size = 4};
  FieldDescriptor time = {.type = kTypeTime, .label = "T", .size = 4};
  EXPECT_EQ(FieldValueText(date, rec), "Invalid date (0)");
  EXPECT_EQ(FieldValueText(time, rec), "00:00:00.00 (0)");
  const uint8_t dec31[4] = {31, 12, 0x0F, 0x27};  // 31 Dec 9999
  std::memcpy(rec, dec31, 4);
  EXPECT_EQ(FieldValueText(date, rec), "31 Dec 9999 (655297567)");
  const uint8_t late[4] = {99, 59, 59, 23};
  std::memcpy(rec, late, 4);
  EXPECT_EQ(FieldValueText(time, rec), "23:59:59.99 (389757795)");
  rec[1] = 60;  // 60 seconds
  EXPECT_EQ(FieldValueText(time, rec), "Invalid time (389758051)");
  const uint8_t bad_month[4] = {1, 13, 0xCE, 0x07};
  std::memcpy(rec, bad_month, 4);
  EXPECT_EQ(FieldValueText(date, rec), "Invalid date (130944257)");
}

TEST(FieldValue, PackedDecimals) {
  const uint8_t zero_neg[3] = {0xF0, 0x00, 0x00};
  EXPECT_EQ(PackedDecimalText(zero_neg, 3, 2, false), "0.00");
  const uint8_t whole[2] = {0x01, 0x23};
  EXPECT_EQ(PackedDecimalText(whole, 2, 0, false), "123");
  const uint8_t neg_p[3] = {0x00, 0x01, 0x5D};
  EXPECT_EQ(PackedDecimalText(neg_p, 3, 4, true), "-0.0015");
  EXPECT_EQ(RealText(0.1), "0.1");
  EXPECT_EQ(RealText(-1e20), "-1e+20");
  EXPECT_EQ(RealText(123456789012.5), "123456789012.5");
}

TEST(KeyDump, ComponentsInKeyOrder) {
  testing::EveryTypeFile t;
  t.FillSample();
  EXPECT_EQ(DumpKey(t.name_key), Lines({"  EMP:NAME          :'Smith     '",
                                        "  EMP:DATE          :15 Mar 1998 (130941711)", ""}));
}

}  // namespace
}  // namespace kor
