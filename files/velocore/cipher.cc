// The ENCRYPT cipher (see cipher.h for the unit algorithm).
#include "files/velocore/cipher.h"

#include <string>

#include "files/velocore/format.h"

namespace kor::vel {

namespace {

void Load(const uint8_t* p, uint32_t* w) {
  for (int i = 0; i < 16; ++i) w[i] = Get32(p + 4 * i);
}
void Store(const uint32_t* w, uint8_t* p) {
  for (int i = 0; i < 16; ++i) Put32(p + 4 * i, w[i]);
}

// `k` and `u` may be the same words: key derivation enciphers the key block
// with itself, the key words changing while the pass runs.
void EncipherWords(const uint32_t* k, uint32_t* u) {
  for (int i = 0; i < 16; ++i) {
    uint32_t v = k[i];
    int j = int(v % 16);
    uint32_t a = u[i], b = u[j];
    u[j] = ((b & v) | (a & ~v)) + v;
    u[i] = ((a & v) | (b & ~v)) + v;
  }
}

void DecipherWords(const uint32_t* k, uint32_t* u) {
  for (int i = 15; i >= 0; --i) {
    uint32_t v = k[i];
    int j = int(v % 16);
    uint32_t a = u[i] - v, b = u[j] - v;
    u[i] = (a & v) | (b & ~v);
    u[j] = (b & v) | (a & ~v);
  }
}

}  // namespace

Cipher::Cipher(std::string_view owner) {
  if (owner.empty()) return;
  active_ = true;
  // The text with its terminating zero; the cursor walks S[1], S[2], ...,
  // the zero, S[0], S[1] ...
  std::string s(owner);
  size_t cursor = 0;
  uint8_t block[64];
  for (int i = 0; i < 64; ++i) {
    cursor = (cursor == s.size()) ? 0 : cursor + 1;
    uint8_t c = cursor < s.size() ? uint8_t(s[cursor]) : 0;
    block[(17 * i) % 64] = uint8_t(c + i);
  }
  uint32_t w[16];
  Load(block, w);
  EncipherWords(w, w);
  EncipherWords(w, w);
  for (int i = 0; i < 16; ++i) key_[i] = w[i];
}

void Cipher::Encipher(uint8_t* data, size_t size) const {
  if (!active_) return;
  uint32_t u[16];
  for (size_t at = 0; at + kCipherUnit <= size; at += kCipherUnit) {
    Load(data + at, u);
    EncipherWords(key_, u);
    Store(u, data + at);
  }
}

void Cipher::Decipher(uint8_t* data, size_t size) const {
  if (!active_) return;
  uint32_t u[16];
  for (size_t at = 0; at + kCipherUnit <= size; at += kCipherUnit) {
    Load(data + at, u);
    DecipherWords(key_, u);
    Store(u, data + at);
  }
}

}  // namespace kor::vel
