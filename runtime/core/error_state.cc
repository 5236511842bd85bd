// The process-wide error state, its save stack and the message override list.
#include "runtime/core/error_state.h"

#include <stdio.h>
#include <string.h>

#include "runtime/core/error_codes.h"
#include "runtime/core/startup.h"
#include "runtime/memory/memory.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

ErrorStateRecord g_state;  // zero at load
// Set by ClearError, reset by everything else that writes g_state: clearing a
// clear state (every file statement clears) then costs nothing.
bool g_cleared = false;

struct SavedState {
  ErrorStateRecord state;
  SavedState* link;
};
SavedState* g_saved = nullptr;

struct MessageNode {
  MessageNode* next;
  int32_t id;
  char* text;  // owned, null-terminated
};
MessageNode* g_messages = nullptr;

char g_text_buffer[256];

void Blank(char* field, size_t size) { memset(field, ' ', size); }

// Copies at most `limit` characters of text into a blank-padded field.
void StoreText(char* field, size_t size, const char* text, size_t limit) {
  Blank(field, size);
  size_t n = strlen(text);
  if (n > limit) n = limit;
  if (n > size) n = size;
  memcpy(field, text, n);
}

// Copies at most 255 characters of src into the static buffer.
const char* IntoBuffer(const char* src) {
  size_t n = strlen(src);
  if (n > sizeof g_text_buffer - 1) n = sizeof g_text_buffer - 1;
  memcpy(g_text_buffer, src, n);
  g_text_buffer[n] = '\0';
  return g_text_buffer;
}

}  // namespace

const char* ErrorText(int32_t code) {
  if (code == 0) code = kErrUnknownErrorPosted;
  if (const char* override_text = FindMessageText(code)) return IntoBuffer(override_text);
  char loaded[256];
  if (code > 0 && OsLoadString(ResourceInstance() ? ResourceInstance() : OsExecutableInstance(),
                               static_cast<uint32_t>(code), loaded, sizeof loaded) > 0) {
    return IntoBuffer(loaded);
  }
  // Missing text: "Unknown Error Posted : <code>" (the 81 text may be overridden).
  char unknown[256];
  const char* base =
      code == kErrUnknownErrorPosted ? "Unknown Error Posted" : ErrorText(kErrUnknownErrorPosted);
  snprintf(unknown, sizeof unknown, "%.200s : %ld", base, static_cast<long>(code));
  return IntoBuffer(unknown);
}

void PostError(int32_t code) {
  g_cleared = false;
  g_state.system_error = static_cast<int32_t>(OsLastError());
  if (code == 0) code = kErrOsBase + g_state.system_error;
  const char* text = ErrorText(code);
  g_state.file = nullptr;
  g_state.code = code;
  while (*text == ' ') ++text;
  StoreText(g_state.text, sizeof g_state.text, text, 79);
}

void ClearError() {
  if (g_cleared) return;
  g_cleared = true;
  g_state.code = 0;
  g_state.file = nullptr;
  Blank(g_state.text, sizeof g_state.text);
  Blank(g_state.driver_text, sizeof g_state.driver_text);
  Blank(g_state.driver_code_text, sizeof g_state.driver_code_text);
}

void SetDriverError(const char* code_text, const char* message) {
  g_cleared = false;
  if (code_text == nullptr) code_text = "";
  StoreText(g_state.driver_code_text, sizeof g_state.driver_code_text, code_text,
            sizeof g_state.driver_code_text);
  if (message != nullptr) {
    StoreText(g_state.driver_text, sizeof g_state.driver_text, message, 254);
  } else {
    char text[512];
    snprintf(text, sizeof text, "%s : %s", ErrorText(kErrFileSystemError), code_text);
    StoreText(g_state.driver_text, sizeof g_state.driver_text, text, 254);
  }
}

void SetErrorFile(const void* file) {
  g_cleared = false;
  g_state.file = file;
}

int32_t ERRORCODE() { return g_state.code; }
const void* ErrorFile() { return g_state.file; }
int32_t ErrorSystemCode() { return g_state.system_error; }

const ErrorStateRecord& CurrentErrorState() { return g_state; }

void SaveErrorState() {
  auto* node = static_cast<SavedState*>(Allocate(sizeof(SavedState)));
  if (node == nullptr) return;  // the matching restore restores an older state
  node->state = g_state;
  node->link = g_saved;
  g_saved = node;
}

void RestoreErrorState() {
  SavedState* node = g_saved;
  if (node == nullptr) return;
  g_cleared = false;
  g_state = node->state;
  g_saved = node->link;
  Free(node);
}

void CopyErrorStateOut(ErrorStateRecord* out) {
  if (out != nullptr) *out = g_state;
}

void CopyErrorStateIn(const ErrorStateRecord* in) {
  if (in != nullptr) {
    g_cleared = false;
    g_state = *in;
  }
}

void SetMessageText(int32_t id, const char* text) {
  if (text == nullptr) text = "";
  size_t n = strlen(text);
  auto* copy = static_cast<char*>(Allocate(n + 1));
  if (copy == nullptr) return;
  memcpy(copy, text, n + 1);
  for (MessageNode* m = g_messages; m != nullptr; m = m->next) {
    if (m->id == id) {
      Free(m->text);
      m->text = copy;
      return;
    }
  }
  auto* node = static_cast<MessageNode*>(Allocate(sizeof(MessageNode)));
  if (node == nullptr) {
    Free(copy);
    return;
  }
  node->next = g_messages;
  node->id = id;
  node->text = copy;
  g_messages = node;
}

const char* FindMessageText(int32_t id) {
  for (MessageNode* m = g_messages; m != nullptr; m = m->next)
    if (m->id == id) return m->text;
  return nullptr;
}

void InitErrorState(int32_t arg) {
  if (arg == 0) {
    memset(&g_state, 0, sizeof g_state);
    g_cleared = false;
    return;
  }
  while (g_saved != nullptr) {
    SavedState* next = g_saved->link;
    Free(g_saved);
    g_saved = next;
  }
  while (g_messages != nullptr) {
    MessageNode* next = g_messages->next;
    Free(g_messages->text);
    Free(g_messages);
    g_messages = next;
  }
}

}  // namespace kor
