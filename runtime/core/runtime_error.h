// The "Runtime error" box: fatal conditions of the runtime, shown with the
// code's text and the question whether to cause a fault for the fault report.
#pragma once

#include <cstdint>
#include <string>

namespace kor {

// Shows the "Runtime error" box for `code` (0 = none) and the optional text.
// Yes causes an access violation for the fault report; No halts with exit
// code 2 while runtime errors halt (until RuntimeShutdown), else returns.
void RaiseRuntimeError(int32_t code, const char* text);
// Raisers of the fixed runtime errors; no arguments.
void RaiseRuntimeError401();  // "Stack overflow"
void RaiseRuntimeError402();  // "Null pointer de-reference"
void RaiseRuntimeError404();  // "Arithmetic Overflow"
void RaiseRuntimeError405();  // "Variable out of range"
void RaiseRuntimeError406();  // "No return value from function"
void RaiseRuntimeError407();  // "No matching Case Label"
void RaiseRuntimeError409();  // "Index out of range"

// The text RaiseRuntimeError shows for a code and optional text.
std::string RuntimeErrorBoxText(int32_t code, const char* text);

// Runtime errors halt from load until RuntimeShutdown stops them; after that
// RaiseRuntimeError returns once the box is answered No.
bool RuntimeErrorsHalt();
void StopRuntimeErrorsHalting();

// Makes the allocator's numbered diagnostics end in a runtime error (the
// runtime log sits below this layer and reaches it through its hook).
void InstallDiagnosticRaiser();

}  // namespace kor
