// Splitting NAME into file and table name.
#include "files/velocore/table_name.h"

#include <gtest/gtest.h>

#include <set>

namespace kor::vel {
namespace {

TEST(TableNameTest, SplitsAtTheFirstPrefixThatNamesAFile) {
  std::set<std::string> files = {"DATA.VEL", "dir\\!x.VEL", "OTHER.VEL"};
  auto exists = [&](const std::string& f) { return files.count(f) != 0; };
  struct Case {
    const char* name;
    const char* file;
    const char* table;
  };
  const Case cases[] = {
      {"DATA.VEL\\!customers", "DATA.VEL", "CUSTOMERS"},
      {"DATA", "DATA.VEL", "UNNAMED"},
      {"DATA\\!Orders", "DATA.VEL", "ORDERS"},        // the prefix with its default extension
      {"NEW.VEL\\!T", "NEW.VEL\\!T.VEL", "UNNAMED"},  // no such file: no split, and "!T"
                                                      // is the last path component
      {"dir\\!x\\!t2", "dir\\!x.VEL", "T2"},          // the first "\!" names no file
      {"OTHER.VEL\\!a\\!b", "OTHER.VEL", "A\\!B"},
      {"c:\\x.y\\log", "c:\\x.y\\log.VEL", "UNNAMED"},  // a dot in a folder is no extension
      {"notes.txt", "notes.txt", "UNNAMED"},
  };
  for (const Case& c : cases) {
    SplitName s = SplitTableName(c.name, exists);
    EXPECT_EQ(s.file, c.file) << c.name;
    EXPECT_EQ(s.table, c.table) << c.name;
  }
}

}  // namespace
}  // namespace kor::vel
