// The string stack: pushes, pops and the operations on the top entry.
#include "runtime/values/string_stack.h"

#include <string.h>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/locale/collation.h"
#include "runtime/memory/memory.h"

namespace kor {

namespace {

StringEntry g_entries[kStringStackDepth];
int g_used = 0;

// A block for n characters; at least one byte so that an owned entry always
// has a block of its own.
char* NewBlock(int32_t n) {
  auto* block = static_cast<char*>(Allocate(n > 0 ? static_cast<size_t>(n) : 1));
  if (block == nullptr) StringStackError();
  return block;
}

// The next free entry, or null (after raising the error) when all are used.
StringEntry* NextEntry() {
  if (g_used >= kStringStackDepth) {
    // Dropping the push silently would make the next pop take the wrong
    // string; the overflow is a fault of the code that pushed.
    StringStackError();
    return nullptr;
  }
  return &g_entries[g_used++];
}

// The top entry, or null (after raising the error) on an empty stack.
StringEntry* TopOrError() {
  if (g_used == 0) {
    StringStackError();
    return nullptr;
  }
  return &g_entries[g_used - 1];
}

void Release(StringEntry* e) {
  if (e->kind == kStringOwned) Free(e->text);
  e->kind = kStringBorrowed;
  e->text = nullptr;
  e->length = 0;
}

// Replaces the top's text with an owned block.
void MakeOwned(StringEntry* e, char* block, int32_t length) {
  Release(e);
  e->kind = kStringOwned;
  e->text = block;
  e->length = length;
}

}  // namespace

void StringStackError() { RaiseRuntimeError(kErrInternal01, "String Stack Error"); }

void PushString(const char* text, int32_t length) {
  StringEntry* e = NextEntry();
  if (e == nullptr) return;
  e->kind = kStringBorrowed;
  e->text = const_cast<char*>(text);
  e->length = text == nullptr || length < 0 ? 0 : length;
}

void PushOwnedString(char* block, int32_t length) {
  StringEntry* e = NextEntry();
  if (e == nullptr) {
    Free(block);
    return;
  }
  e->kind = kStringOwned;
  e->text = block;
  e->length = block == nullptr || length < 0 ? 0 : length;
}

void PushCString(const char* text) {
  if (g_used >= kStringStackDepth) {
    StringStackError();
    return;
  }
  PushString(text, text == nullptr ? 0 : static_cast<int32_t>(strlen(text)));
  DetachTop();
}

void PushLongAsString(int32_t value) {
  StringEntry* e = NextEntry();
  if (e == nullptr) return;
  // Digits backwards from the units; the magnitude in 64 bits so that
  // -2147483648 needs no special case.
  char digits[12];
  int n = 0;
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[n++] = '-';
  e->kind = kStringInline;
  e->text = e->buffer;
  e->length = n;
  for (int i = 0; i < n; ++i) e->buffer[i] = digits[n - 1 - i];
}

void PushCopy(std::string_view text) {
  if (g_used >= kStringStackDepth) {
    StringStackError();
    return;
  }
  PushString(text.data(), static_cast<int32_t>(text.size()));
  DetachTop();
}

void DetachTop() {
  StringEntry* e = TopOrError();
  if (e == nullptr || e->kind != kStringBorrowed) return;
  if (e->length <= kStringInlineSize) {
    if (e->length > 0) memmove(e->buffer, e->text, static_cast<size_t>(e->length));
    e->kind = kStringInline;
    e->text = e->buffer;
    return;
  }
  char* block = NewBlock(e->length);
  if (block == nullptr) {
    e->text = nullptr;  // the borrowed text stays with its owner
    e->length = 0;
    return;
  }
  memcpy(block, e->text, static_cast<size_t>(e->length));
  e->kind = kStringOwned;
  e->text = block;
}

void ClipTop() {
  StringEntry* e = TopOrError();
  if (e == nullptr) return;
  while (e->length > 0 && e->text[e->length - 1] == ' ') --e->length;
}

void SetTopLength(int32_t n) {
  StringEntry* e = TopOrError();
  if (e == nullptr) return;
  if (n < 0) n = 0;
  if (n <= e->length) {
    e->length = n;
    return;
  }
  char* block = NewBlock(n);
  if (block == nullptr) return;
  if (e->length > 0) memcpy(block, e->text, static_cast<size_t>(e->length));
  memset(block + e->length, ' ', static_cast<size_t>(n - e->length));
  MakeOwned(e, block, n);
}

void PopToField(char* destination, int32_t size) {
  StringEntry* e = TopOrError();
  if (size > 0) {
    int32_t n = e == nullptr ? 0 : (e->length < size ? e->length : size);
    // The text may be borrowed from the destination itself.
    if (n > 0) memmove(destination, e->text, static_cast<size_t>(n));
    memset(destination + n, ' ', static_cast<size_t>(size - n));
  }
  if (e != nullptr) PopString();
}

void PopToCString(char* destination, int32_t capacity) {
  StringEntry* e = TopOrError();
  if (capacity > 0) {
    int32_t n = e == nullptr ? 0 : (e->length < capacity - 1 ? e->length : capacity - 1);
    if (n > 0) memmove(destination, e->text, static_cast<size_t>(n));
    destination[n] = '\0';
  }
  if (e != nullptr) PopString();
}

void PopToHeap(HeapString* descriptor) {
  StringEntry* e = TopOrError();
  char* block = nullptr;
  int32_t length = 0;
  if (e != nullptr) {
    if (e->kind == kStringOwned) {
      block = e->text;
      length = e->length;
      e->kind = kStringBorrowed;  // handed over: the pop must not free it
    } else if (e->length > 0) {
      block = NewBlock(e->length);
      if (block != nullptr) {
        memcpy(block, e->text, static_cast<size_t>(e->length));
        length = e->length;
      }
    }
    PopString();
  }
  // Freed after the copy: the top may have been borrowed from this block.
  Free(descriptor->text);
  descriptor->text = block;
  descriptor->length = length;
}

void PopString() {
  StringEntry* e = TopOrError();
  if (e == nullptr) return;
  Release(e);
  --g_used;
}

std::string PopToStdString() {
  std::string s(TopView());
  PopString();
  return s;
}

int CompareStrings(const char* a, int32_t a_length, const char* b, int32_t b_length) {
  return CollateCompare(a, a_length < 0 ? 0 : static_cast<size_t>(a_length), b,
                        b_length < 0 ? 0 : static_cast<size_t>(b_length));
}

int CompareTopStrings() {
  if (g_used < 2) {
    StringStackError();
    while (g_used > 0) PopString();
    return 0;
  }
  const StringEntry& second = g_entries[g_used - 2];
  const StringEntry& top = g_entries[g_used - 1];
  int result = CompareStrings(second.text, second.length, top.text, top.length);
  PopString();
  PopString();
  return result;
}

int StringStackDepth() { return g_used; }

StringEntry* StringStackTop() { return g_used == 0 ? nullptr : &g_entries[g_used - 1]; }

const char* TopText() { return g_used == 0 ? nullptr : g_entries[g_used - 1].text; }

int32_t TopLength() { return g_used == 0 ? 0 : g_entries[g_used - 1].length; }

std::string_view TopView() {
  const StringEntry* e = StringStackTop();
  if (e == nullptr || e->length == 0) return {};
  return {e->text, static_cast<size_t>(e->length)};
}

StringEntry* WritableTop() {
  StringEntry* e = TopOrError();
  if (e == nullptr) return nullptr;
  DetachTop();
  return e;
}

void InitStringStack(int32_t arg) {
  if (arg != 0) {
    while (g_used > 0) PopString();
    return;
  }
  g_used = 0;
  memset(g_entries, 0, sizeof g_entries);
}

}  // namespace kor
