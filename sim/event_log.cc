// Writes the stand-in's event log lines (format in event_log.h).
#include "sim/event_log.h"

namespace sim {

EventLog::~EventLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool EventLog::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "ab");
  return file_ != nullptr;
}

std::string EventLog::Escape(std::string_view field) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string EventLog::Line(std::string_view kind, int conversation, std::string_view result,
                           std::string_view detail) {
  return Escape(kind) + '\t' + std::to_string(conversation) + '\t' + Escape(result) + '\t' +
         Escape(detail);
}

void EventLog::Write(std::string_view kind, int conversation, std::string_view result,
                     std::string_view detail) {
  std::string line = Line(kind, conversation, result, detail);
  if (file_ != nullptr) {
    std::string text = line + "\r\n";
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
  }
  if (listener_) listener_(line);
}

}  // namespace sim
