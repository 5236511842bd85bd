// The string stack: the process-wide stack of 32 counted strings through which
// every string value passes between generated code and the runtime.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

// Entry kinds.
enum StringKind : int32_t {
  kStringBorrowed = 0,  // points into memory the stack does not own
  kStringOwned = 1,     // a block from Allocate, freed when the entry is popped
  kStringInline = 2,    // the text lives in the entry's own buffer
};

inline constexpr int kStringStackDepth = 32;
inline constexpr int kStringInlineSize = 20;

// One entry: kind (4), text pointer, length (4), inline buffer (20); 32 bytes
// where pointers are 4 bytes. Texts are counted, not terminated, and may hold
// any byte. An owned entry's text is always the start of its block.
struct StringEntry {
  int32_t kind;
  char* text;      // null only with length 0
  int32_t length;  // number of characters
  char buffer[kStringInlineSize];
};
static_assert(sizeof(void*) != 4 || sizeof(StringEntry) == 32, "entry is 32 bytes");

// Counted heap text handed over by PopToHeap; `text` is a block from Allocate
// (null when empty) that the receiver frees with Free.
struct HeapString {
  char* text;
  int32_t length;
};

// Failures: a push onto a full stack, a pop or top operation on an empty
// stack, and an owned copy the allocator cannot supply raise runtime error
// 501 "String Stack Error". Should the raise return (after shutdown), the
// push is dropped (an owned block is freed) and the operation on a missing
// top acts on an empty string.

// ---- pushes ----

// Borrowed entry; a null text gives length 0, a negative length counts as 0.
void PushString(const char* text, int32_t length);
// Owned entry taking `block` (from Allocate) over.
void PushOwnedString(char* block, int32_t length);
// Borrowed entry of a null-terminated text (null = empty), then DetachTop.
void PushCString(const char* text);
// Inline entry with the decimal digits, "-" first when negative.
void PushLongAsString(int32_t value);
// Convenience for runtime code: a copy of `text` (inline up to 20 characters).
void PushCopy(std::string_view text);

// ---- the top entry ----

// A borrowed top of at most 20 characters moves into its inline buffer, a
// longer one becomes an owned heap copy; owned and inline tops stay.
void DetachTop();
// Removes trailing blanks (changes the length only).
void ClipTop();
// Shorter n cuts; longer n replaces the top with an owned copy blank-padded to
// n; negative n counts as 0.
void SetTopLength(int32_t n);

// ---- pops ----

// Copies the top into a fixed-length field, blank-padding or cutting, then pops.
void PopToField(char* destination, int32_t size);
// Copies at most capacity-1 characters and a zero byte, then pops; capacity
// 0 writes nothing.
void PopToCString(char* destination, int32_t capacity);
// Moves the top into a heap descriptor: an owned top is handed over
// unchanged, any other is copied. The descriptor's previous block is freed, so
// it must start as {nullptr, 0}.
void PopToHeap(HeapString* descriptor);
// Discards the top; an owned entry's block is freed.
void PopString();
// Convenience for runtime code: the top as a std::string, popped.
std::string PopToStdString();

// Compares the second entry with the top under the collating sequence, the
// shorter padded with blanks; pops both; -1, 0 or 1.
int CompareTopStrings();

// The top (trailing blanks removed, at most 39 characters) read as REAL by
// the standard decimal conversion (TextToReal), popped. Text that is not a
// number gives 0.
double PopStringAsReal();
// The top (at most 99 characters) read as a decimal number (PushTextDecimal)
// onto the decimal stack, popped.
void PopStringAsDecimal();

// Compares two counted texts as CompareTopStrings does.
int CompareStrings(const char* a, int32_t a_length, const char* b, int32_t b_length);

// ---- inspection ----

int StringStackDepth();
// The top entry, or null when the stack is empty. The pointer stays valid
// until the next pop; changing the entry is the caller's business (keep
// an owned entry's text at the start of its block).
StringEntry* StringStackTop();
// Text and length of the top (null and 0 when empty).
const char* TopText();
int32_t TopLength();
std::string_view TopView();

// Writable top for the string functions: detaches the top first. Null when
// the stack is empty (after raising the error).
StringEntry* WritableTop();

// Raises runtime error 501 "String Stack Error".
void StringStackError();

// Initialisation entry: 0 empties the stack; 1 frees every owned entry.
void InitStringStack(int32_t arg);

}  // namespace kor
