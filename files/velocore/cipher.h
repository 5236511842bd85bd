// The ENCRYPT cipher: keyed by the OWNER text, applied to every read and
// write of an encrypted file in 64-byte units. It keeps files readable by
// anyone who knows the OWNER text and is no protection against a determined
// reader: the key is derived from the text alone and each unit is only
// shuffled and offset by it.
//
// A unit and the key are 16 little-endian 32-bit words. Enciphering, for
// i = 0..15: v = K[i], j = v mod 16, a = U[i], b = U[j];
//   U[j] = ((b & v) | (a & ~v)) + v;  U[i] = ((a & v) | (b & ~v)) + v.
// Deciphering runs i = 15..0 with a = U[i] - v, b = U[j] - v;
//   U[i] = (a & v) | (b & ~v);  U[j] = (b & v) | (a & ~v).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kor::vel {

class Cipher {
 public:
  // An empty owner text gives a cipher that is off (Active() false).
  explicit Cipher(std::string_view owner = {});
  bool Active() const { return active_; }
  // In place; `size` must be a multiple of 64 (the rest is left alone).
  void Encipher(uint8_t* data, size_t size) const;
  void Decipher(uint8_t* data, size_t size) const;

 private:
  bool active_ = false;
  uint32_t key_[16] = {};
};

}  // namespace kor::vel
