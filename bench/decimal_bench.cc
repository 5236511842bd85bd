// The decimal stack on the statements generated code runs for DECIMAL(15,2)
// fields (load two fields, combine them, store the result, or compare them)
// against two peers, each holding its values in its own form:
//   bid128  IEEE 754 decimal128 of the Intel decimal floating-point library:
//           exact decimal arithmetic, the result quantized to two places with
//           ties away from zero (the DECIMAL rounding);
//   int64   integers scaled by 100: the floor, what no general decimal can beat.
// All three sides must produce the same results (checked before timing).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

extern "C" {
#include <bid_conf.h>
#include <bid_functions.h>
}

#include "runtime/values/decimal_stack.h"

namespace {

constexpr uint32_t kSize = 8;  // DECIMAL(15,2)
constexpr uint32_t kPlaces = 2;
constexpr int kPairs = 1024;

enum Op { kAdd, kCompare, kMultiply, kDivide };

struct Field {
  uint8_t b[kSize];
};

// The operands of one operation in the three forms.
struct Operands {
  std::vector<Field> x, y;          // packed DECIMAL(15,2) fields
  std::vector<int64_t> ix, iy;      // hundredths
  std::vector<BID_UINT128> dx, dy;  // decimal128
};

Field Pack(int64_t hundredths) {
  Field f = {};
  uint64_t v = hundredths < 0 ? -hundredths : hundredths;
  for (int n = 15; n >= 1 && v; --n, v /= 10) {  // nibble n holds a digit
    f.b[n / 2] |= static_cast<uint8_t>((v % 10) << ((n & 1) ? 0 : 4));
  }
  if (hundredths < 0) f.b[0] |= 0xF0;
  return f;
}

int64_t Unpack(const Field& f) {
  int64_t v = 0;
  for (int n = 1; n <= 15; ++n) v = v * 10 + ((f.b[n / 2] >> ((n & 1) ? 0 : 4)) & 0x0F);
  return (f.b[0] >> 4) ? -v : v;
}

BID_UINT128 Hundredth() {
  _IDEC_flags flags = 0;
  static BID_UINT128 h =
      bid128_from_string(const_cast<char*>("0.01"), BID_ROUNDING_TO_NEAREST, &flags);
  return h;
}

BID_UINT128 ToBid(int64_t hundredths) {
  _IDEC_flags flags = 0;
  return bid128_mul(bid128_from_int64(hundredths), Hundredth(), BID_ROUNDING_TO_NEAREST, &flags);
}

int64_t FromBid(BID_UINT128 v) {
  _IDEC_flags flags = 0;
  return bid128_to_int64_int(bid128_mul(v, bid128_from_int64(100), BID_ROUNDING_TO_NEAREST, &flags),
                             &flags);
}

// Operands whose results fit DECIMAL(15,2): sums of two 14-digit values,
// products of two 8-digit values, quotients of 12-digit values by values of
// at least 1.00.
Operands MakeOperands(Op op) {
  std::mt19937_64 rng(op + 1);
  int digits = op == kMultiply ? 8 : op == kDivide ? 12 : 14;
  int64_t limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  Operands o;
  for (int i = 0; i < kPairs; ++i) {
    int64_t a = static_cast<int64_t>(rng() % limit), b = static_cast<int64_t>(rng() % limit);
    if (op == kDivide && b < 100) b += 100;
    if (rng() & 1) a = -a;
    if (rng() & 1) b = -b;
    o.ix.push_back(a);
    o.iy.push_back(b);
    o.x.push_back(Pack(a));
    o.y.push_back(Pack(b));
    o.dx.push_back(ToBid(a));
    o.dy.push_back(ToBid(b));
  }
  return o;
}

// ---- the three sides; each returns the result in hundredths (a compare
// gives 1 or 0) so that they can be checked against each other ----

int64_t KorOne(Op op, const Field& x, const Field& y, Field* out) {
  kor::PushDecimal(x.b, kSize, kPlaces);
  kor::PushDecimal(y.b, kSize, kPlaces);
  if (op == kCompare) return kor::DecimalCompare() > 0;
  if (op == kAdd) kor::DecimalAdd();
  if (op == kMultiply) kor::DecimalMultiply();
  if (op == kDivide) kor::DecimalDivide();
  kor::PopDecimal(out->b, kSize, kPlaces);
  return 0;
}

// Rounds n / d to the nearest integer, halves away from zero.
int64_t DivideRounded(int64_t n, int64_t d) {
  int64_t q = n / d, r = n % d;
  if (2 * (r < 0 ? -r : r) >= (d < 0 ? -d : d)) q += (n < 0) == (d < 0) ? 1 : -1;
  return q;
}

int64_t Int64One(Op op, int64_t a, int64_t b) {
  switch (op) {
    case kAdd: return a + b;
    case kCompare: return a > b;
    case kMultiply: return DivideRounded(a * b, 100);
    default: return DivideRounded(a * 100, b);
  }
}

BID_UINT128 BidOne(Op op, BID_UINT128 a, BID_UINT128 b, int* greater) {
  _IDEC_flags flags = 0;
  BID_UINT128 r;
  switch (op) {
    case kAdd: return bid128_add(a, b, BID_ROUNDING_TIES_AWAY, &flags);
    case kCompare: *greater = bid128_quiet_greater(a, b, &flags); return a;
    case kMultiply: r = bid128_mul(a, b, BID_ROUNDING_TIES_AWAY, &flags); break;
    default: r = bid128_div(a, b, BID_ROUNDING_TIES_AWAY, &flags); break;
  }
  return bid128_quantize(r, Hundredth(), BID_ROUNDING_TIES_AWAY, &flags);
}

// The three sides agree on every pair of every operation.
bool SidesAgree() {
  for (Op op : {kAdd, kCompare, kMultiply, kDivide}) {
    Operands o = MakeOperands(op);
    for (int i = 0; i < kPairs; ++i) {
      Field out = {};
      int greater = 0;
      int64_t kor_value = KorOne(op, o.x[i], o.y[i], &out);
      BID_UINT128 bid = BidOne(op, o.dx[i], o.dy[i], &greater);
      if (op != kCompare) kor_value = Unpack(out);
      int64_t bid_value = op == kCompare ? greater : FromBid(bid);
      int64_t int_value = Int64One(op, o.ix[i], o.iy[i]);
      if (kor_value != int_value || bid_value != int_value) {
        std::fprintf(stderr, "op %d: %lld and %lld give kor %lld, bid128 %lld, int64 %lld\n", op,
                     static_cast<long long>(o.ix[i]), static_cast<long long>(o.iy[i]),
                     static_cast<long long>(kor_value), static_cast<long long>(bid_value),
                     static_cast<long long>(int_value));
        return false;
      }
    }
  }
  return true;
}

template <Op op>
void BM_Kor(benchmark::State& state) {
  Operands o = MakeOperands(op);
  Field out;
  int64_t sink = 0;
  size_t i = 0;
  for (auto _ : state) {
    sink += KorOne(op, o.x[i], o.y[i], &out);
    benchmark::DoNotOptimize(out);
    i = (i + 1) % kPairs;
  }
  benchmark::DoNotOptimize(sink);
}

template <Op op>
void BM_Bid(benchmark::State& state) {
  Operands o = MakeOperands(op);
  BID_UINT128 out;
  int greater = 0;
  size_t i = 0;
  for (auto _ : state) {
    out = BidOne(op, o.dx[i], o.dy[i], &greater);
    benchmark::DoNotOptimize(out);
    benchmark::DoNotOptimize(greater);
    i = (i + 1) % kPairs;
  }
}

template <Op op>
void BM_Int64(benchmark::State& state) {
  Operands o = MakeOperands(op);
  size_t i = 0;
  for (auto _ : state) {
    int64_t out = Int64One(op, o.ix[i], o.iy[i]);
    benchmark::DoNotOptimize(out);
    i = (i + 1) % kPairs;
  }
}

BENCHMARK(BM_Kor<kAdd>)->Name("DecimalAdd/kor");
BENCHMARK(BM_Bid<kAdd>)->Name("DecimalAdd/bid128");
BENCHMARK(BM_Int64<kAdd>)->Name("DecimalAdd/int64");
BENCHMARK(BM_Kor<kCompare>)->Name("DecimalCompare/kor");
BENCHMARK(BM_Bid<kCompare>)->Name("DecimalCompare/bid128");
BENCHMARK(BM_Int64<kCompare>)->Name("DecimalCompare/int64");
BENCHMARK(BM_Kor<kMultiply>)->Name("DecimalMultiply/kor");
BENCHMARK(BM_Bid<kMultiply>)->Name("DecimalMultiply/bid128");
BENCHMARK(BM_Int64<kMultiply>)->Name("DecimalMultiply/int64");
BENCHMARK(BM_Kor<kDivide>)->Name("DecimalDivide/kor");
BENCHMARK(BM_Bid<kDivide>)->Name("DecimalDivide/bid128");
BENCHMARK(BM_Int64<kDivide>)->Name("DecimalDivide/int64");

}  // namespace

int main(int argc, char** argv) {
  if (!SidesAgree()) {
    std::fprintf(stderr, "the three sides compute different results\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
