// The table definition stream: its bytes for a small declaration, the round
// trip, the comparison with its tolerances, and malformed streams.
#include "files/velocore/definition.h"

#include <gtest/gtest.h>

#include "files/velocore/velocore_test_support.h"

namespace kor::vel {
namespace {

TEST(DefinitionTest, BytesOfASmallDeclaration) {
  TableSchema t;
  t.record_length = 6;
  FieldDecl f;
  f.type = kTypeString;
  f.offset = 2;
  f.name = "A";
  f.size = 4;
  f.characters = 4;
  f.picture = "";  // empty, not absent
  t.fields = {f};
  t.keys = {{std::nullopt, "K", kKeyDup, {{0, 1}}}};
  const Bytes expected = {
      1,  0, 6,   0,   1, 0, 0, 0, 1, 0,           // version, length, 1 field, 0 memos, 1 key
      18, 2, 0,   'A', 0, 0, 0, 4, 0, 0, 0, 1, 0,  // STRING at 2 "A", level, size, marker, elements
      4,  0, 0,   0,                               // characters, picture "" as 0 0
      0,  1, 'K', 0,   1, 1, 0, 0, 0, 1, 0,        // key: name absent (0 1), "K", DUP, 1 component
  };
  EXPECT_EQ(WriteDefinition(t), expected);
}

TEST(DefinitionTest, RoundTripAndComparison) {
  RecoveryPoint point;
  TableSchema t = testing::SampleSchema();
  Bytes stream = WriteDefinition(t);
  TableSchema back;
  ASSERT_TRUE(ReadDefinition(stream, &back).ok());
  EXPECT_EQ(back, t);
  std::string why;
  EXPECT_TRUE(CompareDefinition(stream, t, &why).ok());

  struct Change {
    const char* what;
    std::function<void(TableSchema&)> apply;
    bool tolerated;
  };
  const Change changes[] = {
      {"field size", [](TableSchema& s) { s.fields[1].size = 19; }, false},
      {"field name", [](TableSchema& s) { s.fields[0].name = "SMP:IDENT"; }, false},
      {"picture absent", [](TableSchema& s) { s.fields[1].picture = std::nullopt; }, false},
      {"decimal places", [](TableSchema& s) { s.fields[2].places = 3; }, false},
      {"marker", [](TableSchema& s) { s.fields[4].marker = 1; }, false},
      {"memo size", [](TableSchema& s) { s.memos[0].size = 301; }, false},
      {"BLOB size", [](TableSchema& s) { s.memos[1].size = 5; }, true},
      {"key PRIMARY bit", [](TableSchema& s) { s.keys[0].attributes ^= kKeyPrimary; }, true},
      {"key NOCASE bit", [](TableSchema& s) { s.keys[1].attributes ^= kKeyNoCase; }, false},
      {"component order", [](TableSchema& s) { s.keys[1].components[1].flags = 0; }, false},
      {"one key fewer", [](TableSchema& s) { s.keys.pop_back(); }, false},
      {"record length", [](TableSchema& s) { s.record_length = 41; }, false},
  };
  for (const Change& c : changes) {
    TableSchema declared = t;
    c.apply(declared);
    Status s = CompareDefinition(stream, declared, &why);
    EXPECT_EQ(s.ok(), c.tolerated) << c.what;
    if (!c.tolerated) {
      EXPECT_EQ(s.code, kErrInvalidRecordDeclaration) << c.what;
    }
  }
}

TEST(DefinitionTest, MalformedStreamsAreCheck2328) {
  RecoveryPoint point;
  Bytes stream = WriteDefinition(testing::SampleSchema());
  TableSchema back;
  for (size_t cut : {size_t(0), size_t(3), stream.size() / 2, stream.size() - 1}) {
    EXPECT_EQ(ReadDefinition(Bytes(stream.begin(), stream.begin() + ptrdiff_t(cut)), &back).check,
              kCheckDefinition)
        << cut;
  }
  Bytes longer = stream;
  longer.push_back(0);
  EXPECT_EQ(ReadDefinition(longer, &back).check, kCheckDefinition);
  Bytes version = stream;
  version[0] = 3;
  EXPECT_EQ(ReadDefinition(version, &back).check, kCheckDefinition);
}

}  // namespace
}  // namespace kor::vel
