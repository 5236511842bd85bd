// The runtime core's entries of a program's initialisation table, in table
// order. A program's table lists them with its own entries:
//   const InitEntry kTable[] = { KOR_RUNTIME_CORE_INIT_ENTRIES ... };
#pragma once

#include "runtime/core/error_state.h"
#include "runtime/core/module.h"
#include "runtime/expr/bind.h"
#include "runtime/expr/expr_functions.h"
#include "runtime/locale/environment.h"
#include "runtime/values/decimal_stack.h"
#include "runtime/values/string_stack.h"

namespace kor {

// Records the start-up tick count from which elapsed time is measured.
void InitStartupTick(int32_t arg);
// Hundredths of a second since start-up.
uint32_t ElapsedHundredths();

}  // namespace kor

// clang-format off
#define KOR_RUNTIME_CORE_INIT_ENTRIES \
  {16, &kor::InitStartupTick, &kor::InitStartupTick}, \
  {16, &kor::InitErrorState, &kor::InitErrorState}, \
  {16, &kor::InitStringStack, &kor::InitStringStack}, \
  {16, &kor::InitDecimalStack, &kor::InitDecimalStack}, \
  {16, &kor::InitEnvironment, &kor::InitEnvironment}, \
  {16, &kor::InitBindTables, &kor::InitBindTables}, \
  {16, &kor::InitExpressionFunctions, &kor::InitExpressionFunctions},
// clang-format on
