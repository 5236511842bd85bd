// Trace settings, trace lines and the log file writer.
#include "files/trace.h"

#include <cstdio>
#include <mutex>
#include <set>

#include "files/operations.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

constexpr size_t kMaxTraceFileName = 260;

std::set<const FileDescriptor*>& DumpedFiles() {
  static std::set<const FileDescriptor*> files;
  return files;
}

// Writes to the trace logs are serialised process-wide.
std::mutex& LogLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

bool OptionsAllowDetails(const std::string& options) {
  size_t start = 0;
  while (start <= options.size()) {
    size_t end = options.find('/', start);
    if (end == std::string::npos) end = options.size();
    std::string_view option = TrimBlanks(std::string_view(options).substr(start, end - start));
    if (EqualIgnoringAsciiCase(option, "ALLOWDETAILS")) return true;
    start = end + 1;
  }
  return false;
}

void ReadTraceSettings(FileControlBlock* fcb, const char* section, const char* default_log) {
  TraceSettings& t = fcb->trace;
  t.on = OsGetProfileInt(section, "Profile", 0) != 0;
  t.details = false;
  t.file_name.clear();
  if (!t.on) return;
  t.file_name = OsGetProfileString(section, "TraceFile", default_log);
  if (t.file_name.size() > kMaxTraceFileName) t.file_name.resize(kMaxTraceFileName);
  if (t.file_name.empty()) t.file_name = default_log;
  // An encrypted file's records never reach the log in clear unless the
  // option string asks for it.
  if ((fcb->attributes & kFileEncrypt) == 0 || OptionsAllowDetails(fcb->options)) {
    t.details = OsGetProfileInt(section, "Details", 0) != 0;
  }
}

std::string FormatTraceLine(int32_t op, const FileControlBlock& fcb, const KeyDescriptor* key,
                            uint32_t thread, int32_t result, const std::string& os_error_text,
                            uint32_t elapsed) {
  std::string head = OpName(op);
  head += '(';
  head += fcb.external_name;
  if (key != nullptr) {
    head += ',';
    if (key->name != nullptr) {
      head += key->name;
    } else if (key->label != nullptr) {
      head.append(key->label, static_cast<size_t>(key->label_length));
    }
    // The key's number: its 1-based place among the file's keys.
    uint32_t number = 0;
    const FileDescriptor* file = fcb.file;
    for (uint32_t i = 0; file != nullptr && i < file->key_count; ++i) {
      if (file->keys[i] == key) number = i + 1;
    }
    head += '[' + std::to_string(number) + ']';
  }
  head += ' ' + std::to_string(thread) + ") ";

  // The head is left-aligned in a field of at least 18 characters ("%-18s").
  std::string line = head;
  if (line.size() < 18) line.append(18 - line.size(), ' ');
  char buf[64];
  if (result == kErrFileSystemError) {
    line += "File Error: " + os_error_text + " ";
  } else if (result != 0 && result != -1) {
    line += std::string("Error: ") + ErrorText(result) + " ";
  }
  std::snprintf(buf, sizeof buf, "Time Taken: %ld.%02ld secs", static_cast<long>(elapsed / 100),
                static_cast<long>(elapsed % 100));
  line += buf;
  line += kTraceLineEnd;
  return line;
}

bool AppendToTraceLog(const std::string& path, const std::string& text) {
  std::lock_guard<std::mutex> hold(LogLock());
  // Append mode: every write goes to the end as it is at that moment, and the
  // file is shared with other writers.
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (f == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

uint32_t TraceClock() { return OsTickCount() / 10; }

bool FirstDeclarationDump(const FileDescriptor* file) { return DumpedFiles().insert(file).second; }

void ForgetDeclarationDumps() { DumpedFiles().clear(); }

}  // namespace kor
