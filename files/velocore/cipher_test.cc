// The ENCRYPT cipher: the key derivation and the unit transformation
// against a plain transcription of their rules, and the round trip.
#include "files/velocore/cipher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/velocore/format.h"
#include "files/velocore/record_keys.h"

namespace kor::vel {
namespace {

// The rules written out a second time, word by word.
struct Reference {
  uint32_t k[16];
  explicit Reference(const std::string& owner) {
    uint8_t block[64];
    // The cursor reads S[1], S[2] .., the zero, S[0] ..: step i is at
    // (i + 1) modulo the length of the text and its zero.
    std::string period = owner + '\0';
    for (int i = 0; i < 64; ++i) {
      uint8_t c = uint8_t(period[(i + 1) % period.size()]);
      block[(17 * i) % 64] = uint8_t(c + i);
    }
    for (int i = 0; i < 16; ++i) k[i] = Get32(block + 4 * i);
    Encipher(k, k);
    Encipher(k, k);
  }
  static void Encipher(uint32_t* key, uint32_t* u) {
    for (int i = 0; i < 16; ++i) {
      uint32_t v = key[i], a = u[i], b = u[v % 16];
      u[v % 16] = ((b & v) | (a & ~v)) + v;
      u[i] = ((a & v) | (b & ~v)) + v;
    }
  }
};

TEST(CipherTest, MatchesTheRulesWrittenOut) {
  for (std::string owner : {"A", "secret", "Korvane Owner 1999", "\xE9t\xE9"}) {
    Reference ref(owner);
    Cipher cipher(owner);
    std::mt19937 random(5);
    uint8_t unit[64];
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
      words[i] = uint32_t(random());
      Put32(unit + 4 * i, words[i]);
    }
    uint32_t key[16];
    std::copy(ref.k, ref.k + 16, key);
    Reference::Encipher(key, words);
    cipher.Encipher(unit, 64);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Get32(unit + 4 * i), words[i]) << owner << " word " << i;
  }
}

TEST(CipherTest, DecipherUndoesEncipherInWholeUnits) {
  std::mt19937 random(9);
  for (int n = 0; n < 50; ++n) {
    std::string owner(1 + random() % 20, 'x');
    for (char& c : owner) c = char(1 + random() % 255);
    Cipher cipher(owner);
    ASSERT_TRUE(cipher.Active());
    Bytes data(64 * (1 + random() % 8) + 10), original;
    for (auto& b : data) b = uint8_t(random());
    original = data;
    cipher.Encipher(data.data(), data.size());
    EXPECT_NE(data, original);
    EXPECT_TRUE(std::equal(data.end() - 10, data.end(), original.end() - 10))
        << "a partial unit stays";
    cipher.Decipher(data.data(), data.size());
    EXPECT_EQ(data, original);
  }
  EXPECT_FALSE(Cipher("").Active());
}

}  // namespace
}  // namespace kor::vel
