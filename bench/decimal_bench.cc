// Decimal stack against GMP integers on the statements generated code runs
// for DECIMAL(15,2) fields: load two fields, combine them, store the result
// (or compare them). The GMP side does the same work: it unpacks the fields
// into integers scaled by 100, computes exactly, rounds half up to two places
// and packs the result, so both sides produce the same bytes.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/values/decimal_stack.h"

namespace {

constexpr uint32_t kSize = 8;  // DECIMAL(15,2)
constexpr uint32_t kPlaces = 2;
constexpr int kPairs = 1024;

struct Field {
  uint8_t b[kSize];
};

// Random DECIMAL(15,2) fields; `digits` integer+place digits in use.
std::vector<Field> MakeFields(int digits, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<Field> fields(kPairs);
  for (Field& f : fields) {
    uint64_t limit = 1;
    for (int i = 0; i < digits; ++i) limit *= 10;
    uint64_t v = rng() % limit;
    if (v == 0) v = 1;
    memset(f.b, 0, kSize);
    for (int n = 15; n >= 1 && v; --n, v /= 10) {  // nibble n holds a digit
      f.b[n / 2] |= static_cast<uint8_t>((v % 10) << ((n & 1) ? 0 : 4));
    }
    if (rng() & 1) f.b[0] |= 0xF0;
  }
  return fields;
}

// ---- the GMP side ----

void Unpack(const Field& f, mpz_t out) {
  uint64_t v = 0;
  for (int n = 1; n <= 15; ++n) v = v * 10 + ((f.b[n / 2] >> ((n & 1) ? 0 : 4)) & 0x0F);
  mpz_set_ui(out, v);
  if (f.b[0] >> 4) mpz_neg(out, out);
}

void Pack(mpz_t v, Field* f, mpz_t modulus) {
  bool negative = mpz_sgn(v) < 0;
  mpz_tdiv_r(v, v, modulus);  // integer digits beyond the field are dropped
  uint64_t m = mpz_get_ui(v);
  memset(f->b, 0, kSize);
  for (int n = 15; n >= 1; --n, m /= 10) {
    f->b[n / 2] |= static_cast<uint8_t>((m % 10) << ((n & 1) ? 0 : 4));
  }
  if (negative && mpz_sgn(v) != 0) f->b[0] |= 0xF0;
}

// q = n / d rounded half up on the magnitude (d > 0).
void DivRound(mpz_t q, mpz_t n, mpz_t d, mpz_t r) {
  mpz_tdiv_qr(q, r, n, d);
  mpz_mul_2exp(r, r, 1);
  mpz_abs(r, r);
  if (mpz_cmp(r, d) >= 0) {
    if (mpz_sgn(n) < 0) mpz_sub_ui(q, q, 1);
    else mpz_add_ui(q, q, 1);
  }
}

struct Gmp {
  mpz_t a, b, r, t, modulus, hundred;
  Gmp() {
    mpz_inits(a, b, r, t, modulus, hundred, nullptr);
    mpz_ui_pow_ui(modulus, 10, 15);
    mpz_set_ui(hundred, 100);
  }
  ~Gmp() { mpz_clears(a, b, r, t, modulus, hundred, nullptr); }
};

enum Op { kAdd, kCompare, kMultiply, kDivide };

template <Op op>
void BM_Gmp(benchmark::State& state) {
  int digits = op == kMultiply ? 9 : 15;
  std::vector<Field> x = MakeFields(digits, 1), y = MakeFields(digits, 2);
  Field out;
  Gmp g;
  int sink = 0;
  size_t i = 0;
  for (auto _ : state) {
    Unpack(x[i], g.a);
    Unpack(y[i], g.b);
    if (op == kAdd) {
      mpz_add(g.r, g.a, g.b);
      Pack(g.r, &out, g.modulus);
    } else if (op == kCompare) {
      sink += mpz_cmp(g.a, g.b) > 0;
    } else if (op == kMultiply) {
      mpz_mul(g.t, g.a, g.b);  // four places
      DivRound(g.r, g.t, g.hundred, g.b);
      Pack(g.r, &out, g.modulus);
    } else {
      mpz_mul_ui(g.t, g.a, 100);  // a / b to two places
      mpz_abs(g.b, g.b);
      DivRound(g.r, g.t, g.b, g.a);
      if (y[i].b[0] >> 4) mpz_neg(g.r, g.r);
      Pack(g.r, &out, g.modulus);
    }
    benchmark::DoNotOptimize(out);
    i = (i + 1) % kPairs;
  }
  benchmark::DoNotOptimize(sink);
}

// ---- the decimal stack ----

template <Op op>
void BM_Decimal(benchmark::State& state) {
  int digits = op == kMultiply ? 9 : 15;
  std::vector<Field> x = MakeFields(digits, 1), y = MakeFields(digits, 2);
  Field out;
  int sink = 0;
  size_t i = 0;
  for (auto _ : state) {
    kor::PushDecimal(x[i].b, kSize, kPlaces);
    kor::PushDecimal(y[i].b, kSize, kPlaces);
    if (op == kCompare) {
      sink += kor::DecimalCompare() > 0;
    } else {
      if (op == kAdd) kor::DecimalAdd();
      if (op == kMultiply) kor::DecimalMultiply();
      if (op == kDivide) kor::DecimalDivide();
      kor::PopDecimal(out.b, kSize, kPlaces);
    }
    benchmark::DoNotOptimize(out);
    i = (i + 1) % kPairs;
  }
  benchmark::DoNotOptimize(sink);
}

BENCHMARK(BM_Gmp<kAdd>)->Name("Add/Gmp");
BENCHMARK(BM_Decimal<kAdd>)->Name("Add/Decimal");
BENCHMARK(BM_Gmp<kCompare>)->Name("Compare/Gmp");
BENCHMARK(BM_Decimal<kCompare>)->Name("Compare/Decimal");
BENCHMARK(BM_Gmp<kMultiply>)->Name("Multiply/Gmp");
BENCHMARK(BM_Decimal<kMultiply>)->Name("Multiply/Decimal");
BENCHMARK(BM_Gmp<kDivide>)->Name("Divide/Gmp");
BENCHMARK(BM_Decimal<kDivide>)->Name("Divide/Decimal");

}  // namespace

BENCHMARK_MAIN();
