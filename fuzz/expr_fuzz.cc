// Feeds arbitrary text to the expression parser with a few bound variables
// (LONG, REAL, STRING, SHORT, DECIMAL and DATE value references);
// whatever parses is evaluated in every class and rendered. The rendered
// text must parse again to a tree that renders the same and has the same
// value in every class, and a compiled program must give exactly the tree
// walker's result.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/expr/bind.h"
#include "runtime/expr/expr_eval.h"
#include "runtime/expr/expr_program.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/runtime_init.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace {

const kor::InitEntry kFuzzInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_fuzz_module = {.init_begin = std::begin(kFuzzInitTable),
                                       .init_end = std::end(kFuzzInitTable),
                                       .name = "expr_fuzz"};

int32_t g_long = 42;
double g_real = -2.5;
char g_text[12] = {'H', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', ' '};
int16_t g_short = 7;
uint8_t g_decimal[4] = {0xF0, 0x12, 0x34, 0x56};  // DECIMAL(7,2) -1234.56
uint8_t g_date[4] = {29, 2, 2000 & 0xFF, 2000 >> 8};

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  kor::RegisterModule(&g_fuzz_module, nullptr);
  kor::BindName("n", kor::MakeValueRef(&g_long, kor::kTypeLong, 4, 0));
  kor::BindName("r", kor::MakeValueRef(&g_real, kor::kTypeReal, 8, 0));
  kor::BindName("s", kor::MakeValueRef(g_text, kor::kTypeString, 12, 0));
  kor::BindName("PRE:w#", kor::MakeValueRef(&g_short, kor::kTypeShort, 2, 0));
  kor::BindName("dec", kor::MakeValueRef(g_decimal, kor::kTypeDecimal, 4, 2));
  kor::BindName("day", kor::MakeValueRef(g_date, kor::kTypeDate, 4, 0));
}

void Check(bool ok, const char* what, std::string_view text) {
  if (!ok) {
    fprintf(stderr, "check failed: %s: %.*s\n", what, static_cast<int>(text.size()), text.data());
    abort();
  }
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Whether two evaluations of the tree must agree: not with RANDOM, the
// clock or the heap's free bytes in it.
bool Repeatable(const kor::ExprTree& tree) {
  for (const kor::ExprNode& n : tree.nodes) {
    if (n.kind == kor::NodeKind::kFunction &&
        (n.op == kor::kFnRandom || n.op == kor::kFnClock || n.op == kor::kFnMemory))
      return false;
  }
  return true;
}

// The same value in every class.
void SameValue(const kor::ExprTree& a, const kor::ExprTree& b, std::string_view text) {
  Check(kor::EvaluateToText(a) == kor::EvaluateToText(b), "text of the rendered form", text);
  Check(kor::EvaluateLong(a) == kor::EvaluateLong(b), "LONG of the rendered form", text);
  Check(SameBits(kor::EvaluateReal(a), kor::EvaluateReal(b)), "REAL of the rendered form", text);
  Check(kor::EvaluateTruth(a) == kor::EvaluateTruth(b), "truth of the rendered form", text);
}

// A compiled program gives exactly what walking the tree gives.
void ProgramAgrees(const kor::ExprTree& tree, std::string_view text) {
  if (tree.program.code.empty()) return;
  kor::ExprEvaluator walker(tree);
  bool integer = tree.result_class() == kor::ResultClass::kInteger;
  double walked = integer ? walker.Long(tree.root_index) : walker.Real(tree.root_index);
  double run = kor::EvaluateExprProgram(tree.program);
  Check(SameBits(run, walked) || (run == 0 && walked == 0), "program and walker", text);
  Check(kor::EvaluateTruth(tree) == walker.Truth(tree.root_index), "truth of the program", text);
  Check(kor::EvaluateLong(tree) == walker.Long(tree.root_index), "LONG of the program", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto tree = kor::ParseExpression(text);
  if (!tree) return 0;
  // Dates and the clock make no sense to fuzz, but must not crash either.
  kor::EvaluateToText(*tree);
  kor::EvaluateLong(*tree);
  kor::EvaluateReal(*tree);
  kor::EvaluateTruth(*tree);
  if (kor::StringStackDepth() != 0) std::abort();
  ProgramAgrees(*tree, text);
  std::string rendered = kor::RenderExpression(*tree);
  auto again = kor::ParseExpression(rendered);
  Check(again != nullptr, "the rendered form parses", rendered);
  Check(kor::RenderExpression(*again) == rendered, "the rendered form renders the same", rendered);
  if (Repeatable(*tree)) SameValue(*tree, *again, rendered);
  if (kor::StringStackDepth() != 0) std::abort();
  return 0;
}
