// Parsing and evaluation of numeric expressions, against muparser on the
// same expressions in the same run (compare BM_Kor* with BM_MuParser*).
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <iterator>
#include <memory>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/expr/bind.h"
#include "runtime/expr/expr_eval.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/runtime_init.h"
#include "runtime/values/value_ref.h"

namespace {

const kor::InitEntry kBenchInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_bench_module = {.init_begin = std::begin(kBenchInitTable),
                                        .init_end = std::end(kBenchInitTable),
                                        .name = "expr_bench"};

// The same expressions in both syntaxes.
struct Case {
  const char* kor;
  const char* mu;
};
const Case kCases[] = {
    {"a + b * c - d / 2", "a + b * c - d / 2"},
    {"(a + b) * (c - d) / (a * a + 1)", "(a + b) * (c - d) / (a * a + 1)"},
    {"SIN(a) * COS(b) + SQRT(ABS(c))", "sin(a) * cos(b) + sqrt(abs(c))"},
    {"a ^ 2 + b ^ 2 - 2 * a * b * COS(c)", "a^2 + b^2 - 2 * a * b * cos(c)"},
    {"(a > b AND c < d) OR a = d", "(a > b && c < d) || a == d"},
    {"((a + 1) * (b + 2) * (c + 3) * (d + 4)) / ((a - 1) * (b - 2) + 0.5)",
     "((a + 1) * (b + 2) * (c + 3) * (d + 4)) / ((a - 1) * (b - 2) + 0.5)"},
};

double a = 1.5, b = 2.25, c = 0.75, d = 3.0;

void BindVariables() {
  static bool done = false;
  if (done) return;
  done = true;
  kor::RegisterModule(&g_bench_module, nullptr);
  kor::BindName("a", kor::MakeValueRef(&a, kor::kTypeReal, 8, 0));
  kor::BindName("b", kor::MakeValueRef(&b, kor::kTypeReal, 8, 0));
  kor::BindName("c", kor::MakeValueRef(&c, kor::kTypeReal, 8, 0));
  kor::BindName("d", kor::MakeValueRef(&d, kor::kTypeReal, 8, 0));
}

void DefineVariables(mu::Parser& p) {
  p.DefineVar("a", &a);
  p.DefineVar("b", &b);
  p.DefineVar("c", &c);
  p.DefineVar("d", &d);
}

void BM_KorParse(benchmark::State& state) {
  BindVariables();
  const char* text = kCases[state.range(0)].kor;
  for (auto _ : state) {
    auto tree = kor::ParseExpression(text);
    benchmark::DoNotOptimize(kor::EvaluateReal(*tree));
  }
}

void BM_MuParserParse(benchmark::State& state) {
  mu::Parser p;
  DefineVariables(p);
  const char* text = kCases[state.range(0)].mu;
  for (auto _ : state) {
    p.SetExpr(text);
    benchmark::DoNotOptimize(p.Eval());
  }
}

void BM_KorEval(benchmark::State& state) {
  BindVariables();
  auto tree = kor::ParseExpression(kCases[state.range(0)].kor);
  for (auto _ : state) {
    a += 1e-9;
    benchmark::DoNotOptimize(kor::EvaluateReal(*tree));
  }
}

void BM_MuParserEval(benchmark::State& state) {
  mu::Parser p;
  DefineVariables(p);
  p.SetExpr(kCases[state.range(0)].mu);
  for (auto _ : state) {
    a += 1e-9;
    benchmark::DoNotOptimize(p.Eval());
  }
}

constexpr int kCaseCount = static_cast<int>(std::size(kCases));
BENCHMARK(BM_KorParse)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_MuParserParse)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_KorEval)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_MuParserEval)->DenseRange(0, kCaseCount - 1);

}  // namespace

BENCHMARK_MAIN();
