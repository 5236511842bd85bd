// Loading and storing the packed decimal storage forms (DECIMAL, sign in the
// first nibble; PDECIMAL, sign in the last) to and from a register.
//
// A field of L bytes holds 2L-1 digits, most significant first; the digit of
// weight 10^k (k = 0 for the last digit) belongs at register index
// 32 - places + k. Fields that lie wholly inside the register go through a
// 128-bit nibble number and eight digits at a time; others digit by digit.
#include <string.h>

#include "runtime/values/decimal_stack_register.h"

namespace kor::decimal {

namespace {

// A 128-bit number as two halves.
struct U128 {
  uint64_t lo, hi;
};

// The field's bytes, most significant first, as a number (size <= 16).
U128 LoadBigEndian(const uint8_t* p, uint32_t size) {
  uint8_t padded[16] = {};
  memcpy(padded + 16 - size, p, size);
  uint64_t hi, lo;
  memcpy(&hi, padded, 8);
  memcpy(&lo, padded + 8, 8);
  return U128{__builtin_bswap64(lo), __builtin_bswap64(hi)};
}

void StoreBigEndian(uint8_t* p, uint32_t size, U128 n) {
  uint8_t padded[16];
  uint64_t hi = __builtin_bswap64(n.hi), lo = __builtin_bswap64(n.lo);
  memcpy(padded, &hi, 8);
  memcpy(padded + 8, &lo, 8);
  memcpy(p, padded + 16 - size, size);
}

// Nibble 32c.. of n as a 32-bit chunk.
inline uint32_t Chunk(const U128& n, int c) {
  return static_cast<uint32_t>(c < 2 ? n.lo >> (32 * c) : n.hi >> (32 * (c - 2)));
}

// Eight nibbles (lowest first) to eight digit bytes; nibbles above 9 give 0.
inline uint64_t Spread(uint32_t x) {
  uint64_t v = x;
  v = (v | v << 16) & 0x0000FFFF0000FFFFULL;
  v = (v | v << 8) & 0x00FF00FF00FF00FFULL;
  v = (v | v << 4) & 0x0F0F0F0F0F0F0F0FULL;
  uint64_t invalid = ((v + 0x0606060606060606ULL) & 0x1010101010101010ULL) >> 4;
  return v & ~(invalid * 0xFF);
}

// Eight digit bytes to eight nibbles, lowest first.
inline uint32_t Compress(uint64_t v) {
  v = (v | v >> 4) & 0x00FF00FF00FF00FFULL;
  v = (v | v >> 8) & 0x0000FFFF0000FFFFULL;
  return static_cast<uint32_t>(v | v >> 16);
}

// Keeps the lowest `nibbles` nibbles of n.
void KeepNibbles(U128* n, uint32_t nibbles) {
  uint32_t bits = 4 * nibbles;
  if (bits < 64) {
    n->lo &= (uint64_t{1} << bits) - 1;
    n->hi = 0;
  } else if (bits < 128) {
    n->hi &= (uint64_t{1} << (bits - 64)) - 1;
  }
}

// Whether a field of `size` bytes with `places` places can go through the
// word path: wholly inside the register, words never past its end.
inline bool FitsWordPath(uint32_t size, uint32_t places) {
  return size <= 16 && places <= 32 &&
         kDecimalUnitsIndex - places + 8 * ((2 * size - 1 + 7) / 8) <= kDecimalDigits;
}

// Index of the field's most significant digit (may lie outside the register).
inline int FieldHigh(uint32_t size, uint32_t places) {
  return kDecimalUnitsIndex - static_cast<int>(places) + 2 * static_cast<int>(size) - 2;
}

inline uint8_t DigitAt(const DecimalRegister& r, int index) {
  return index >= 0 && index < kDecimalDigits ? r.digits[index] : 0;
}

// Stored nibble k (0 = high nibble of byte 0) of a packed field.
inline uint8_t Nibble(const uint8_t* p, uint32_t k) {
  uint8_t b = p[k >> 1];
  return (k & 1) ? (b & 0x0F) : static_cast<uint8_t>(b >> 4);
}

inline void SetNibble(uint8_t* p, uint32_t k, uint8_t v) {
  uint8_t& b = p[k >> 1];
  b = (k & 1) ? static_cast<uint8_t>((b & 0xF0) | v) : static_cast<uint8_t>((b & 0x0F) | v << 4);
}

}  // namespace

void LoadPacked(DecimalRegister* r, const uint8_t* p, uint32_t size, uint32_t places,
                bool sign_last) {
  Clear(r);
  if (size == 0 || places > 64) return;
  const uint32_t digits = 2 * size - 1;
  const bool negative = sign_last ? (p[size - 1] & 0x0F) == 0x0D : (p[0] >> 4) != 0;
  const int low = kDecimalUnitsIndex - static_cast<int>(places);
  const int high = FieldHigh(size, places);
  if (FitsWordPath(size, places)) {
    U128 n = LoadBigEndian(p, size);
    if (sign_last) {
      n.lo = n.lo >> 4 | n.hi << 60;
      n.hi >>= 4;
    }
    KeepNibbles(&n, digits);
    uint64_t any = 0;
    for (uint32_t c = 0; c < (digits + 7) / 8; ++c) {
      uint64_t word = Spread(Chunk(n, static_cast<int>(c)));
      memcpy(r->digits + low + 8 * c, &word, 8);
      any |= word;
    }
    // The declared range; digits outside it are still 0.
    r->low = static_cast<uint8_t>(low);
    r->high = static_cast<uint8_t>(high);
    r->sign = negative && any != 0;
    return;
  }
  // Digit by digit: nibble k of the digits goes to index high - k.
  const uint32_t first = sign_last ? 0 : 1;
  for (uint32_t k = 0; k < digits; ++k) {
    int index = high - static_cast<int>(k);
    if (index < 0) break;
    if (index >= kDecimalDigits) continue;
    uint8_t d = Nibble(p, first + k);
    r->digits[index] = d <= 9 ? d : 0;
  }
  r->sign = negative;
  Normalize(r);
}

void StorePacked(DecimalRegister* r, uint8_t* p, uint32_t size, uint32_t places, bool sign_last) {
  if (size == 0) return;
  RoundAt(r, places > 32 ? 32 : static_cast<int>(places));
  const uint32_t digits = 2 * size - 1;
  const bool negative = r->sign != 0;
  if (FitsWordPath(size, places)) {
    const int low = kDecimalUnitsIndex - static_cast<int>(places);
    U128 n{0, 0};
    for (uint32_t c = 0; c < (digits + 7) / 8; ++c) {
      uint64_t word;
      memcpy(&word, r->digits + low + 8 * c, 8);
      uint64_t chunk = Compress(word);
      if (c < 2) n.lo |= chunk << (32 * c);
      else n.hi |= chunk << (32 * (c - 2));
    }
    KeepNibbles(&n, digits);  // integer digits beyond the field are dropped
    // What the field keeps decides the sign: no negative zero is stored.
    bool minus = negative && (n.lo | n.hi) != 0;
    if (sign_last) {
      n.hi = n.hi << 4 | n.lo >> 60;
      n.lo = n.lo << 4 | (minus ? 0x0D : 0x0F);
    } else if (minus) {
      uint32_t bits = 4 * digits;  // the sign nibble's position
      if (bits < 64) n.lo |= uint64_t{0xF} << bits;
      else n.hi |= uint64_t{0xF} << (bits - 64);
    }
    StoreBigEndian(p, size, n);
    return;
  }
  const int high = FieldHigh(size, places);
  const uint32_t first = sign_last ? 0 : 1;
  uint8_t any = 0;
  for (uint32_t k = 0; k < digits; ++k) {
    uint8_t d = DigitAt(*r, high - static_cast<int>(k));
    SetNibble(p, first + k, d);
    any |= d;
  }
  bool minus = negative && any != 0;
  if (sign_last) SetNibble(p, 2 * size - 1, minus ? 0x0D : 0x0F);
  else SetNibble(p, 0, minus ? 0x0F : 0x00);
}

}  // namespace kor::decimal
