// Test helpers for the expression tests: a fixture that keeps each test's
// bindings in a scope of its own, and short forms for parsing and evaluating.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "runtime/core/error_state.h"
#include "runtime/expr/bind.h"
#include "runtime/expr/expr_eval.h"
#include "runtime/expr/expr_services.h"
#include "runtime/expr/expr_tree.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {

class ExprTest : public testing::Test {
 protected:
  void SetUp() override {
    PUSHSCOPE(0);
    depth_ = ScopeDepth();
    stack_ = StringStackDepth();
  }
  void TearDown() override {
    EXPECT_EQ(ScopeDepth(), depth_);
    EXPECT_EQ(StringStackDepth(), stack_) << "an evaluation left strings on the stack";
    POPSCOPE();
  }

  void BindLong(std::string_view name, int32_t* v) {
    BindName(name, MakeValueRef(v, kTypeLong, 4, 0));
  }
  void BindReal(std::string_view name, double* v) {
    BindName(name, MakeValueRef(v, kTypeReal, 8, 0));
  }
  void BindString(std::string_view name, char* v, int size) {
    BindName(name, MakeValueRef(v, kTypeString, size, 0));
  }

  // The rendered form of a parse, or "<fail>".
  static std::string Render(std::string_view text) {
    auto tree = ParseExpression(text);
    return tree ? RenderExpression(*tree) : "<fail>";
  }
  // The value as text, or "<fail>" when the text does not parse.
  static std::string Eval(std::string_view text) {
    auto tree = ParseExpression(text);
    return tree ? EvaluateToText(*tree) : "<fail>";
  }
  static ResultClass ClassOf(std::string_view text) {
    auto tree = ParseExpression(text);
    EXPECT_TRUE(tree) << text;
    return tree ? tree->result_class() : ResultClass::kInteger;
  }

 private:
  int depth_ = 0;
  int stack_ = 0;
};

}  // namespace kor
