// The expression calculator: evaluates each expression given as an argument,
// or one per line of standard input, and prints each result on its own line.
//
// A line "name := expression" evaluates the expression and binds the result
// to `name` for the lines that follow (an integer as a LONG, a real as a
// REAL, a string as a STRING of the result's length). A text that does not
// parse prints a message naming the column and the reason on standard error;
// the calculator goes on with the next expression and exits with code 1 at
// the end (0 when every expression was evaluated).
#include <cstdint>
#include <cstdio>
#include <deque>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/error_state.h"
#include "runtime/core/module.h"
#include "runtime/core/startup.h"
#include "runtime/expr/bind.h"
#include "runtime/expr/expr_eval.h"
#include "runtime/expr/expr_scan.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/os/ascii.h"
#include "runtime/runtime_init.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace {

const kor::InitEntry kCalcInitTable[] = {KOR_RUNTIME_CORE_INIT_ENTRIES};
kor::ModuleDescriptor g_calc_module = {
    .init_begin = std::begin(kCalcInitTable), .init_end = std::end(kCalcInitTable), .name = "calc"};

// Storage of the variables bound by "name := expression"; a deque keeps
// addresses stable as it grows.
struct Variable {
  int32_t integer = 0;
  double real = 0;
  std::string text;
};
std::deque<Variable> g_variables;

// Splits "name := expression"; false when the line is a plain expression.
bool SplitAssignment(std::string_view line, std::string_view* name, std::string_view* expr) {
  size_t at = line.find(":=");
  if (at == std::string_view::npos) return false;
  std::string_view left = kor::TrimWhitespace(line.substr(0, at));
  if (left.empty() || !kor::IsNameStart(static_cast<unsigned char>(left[0]))) return false;
  for (char c : left) {
    if (!kor::IsNameChar(static_cast<unsigned char>(c)) && c != '#' && c != '$' && c != '"') {
      return false;
    }
  }
  *name = left;
  *expr = line.substr(at + 2);
  return true;
}

// Evaluates one line; false when it does not parse.
bool Run(std::string_view line) {
  std::string_view name, text = line;
  bool assign = SplitAssignment(line, &name, &text);
  kor::ParseError error;
  auto tree = kor::ParseExpression(text, &error);
  if (!tree) {
    size_t column = error.position + 1 + static_cast<size_t>(text.data() - line.data());
    std::fprintf(stderr, "calc: error at column %zu in \"%.*s\": %s\n", column,
                 static_cast<int>(line.size()), line.data(), error.message.c_str());
    return false;
  }
  std::string result = kor::EvaluateToText(*tree);
  if (assign) {
    Variable& v = g_variables.emplace_back();
    kor::ValueRef* ref = nullptr;
    switch (tree->result_class()) {
      case kor::ResultClass::kInteger:
        v.integer = kor::EvaluateLong(*tree);
        ref = kor::MakeValueRef(&v.integer, kor::kTypeLong, 4, 0);
        break;
      case kor::ResultClass::kReal:
        v.real = kor::EvaluateReal(*tree);
        ref = kor::MakeValueRef(&v.real, kor::kTypeReal, 8, 0);
        break;
      case kor::ResultClass::kString:
        v.text = result.empty() ? std::string(1, ' ') : result;
        ref = kor::MakeValueRef(v.text.data(), kor::kTypeString,
                                static_cast<int32_t>(v.text.size()), 0);
        break;
    }
    kor::BindName(name, ref);
  }
  std::printf("%s\n", result.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  kor::RegisterModule(&g_calc_module, nullptr);
  bool ok = true;
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) ok = Run(argv[i]) && ok;
  } else {
    std::string line;
    while (std::getline(std::cin, line)) {
      std::string_view text = kor::TrimWhitespace(line);
      if (text.empty()) continue;
      ok = Run(text) && ok;
    }
  }
  std::fflush(stdout);
  return ok ? 0 : 1;
}
