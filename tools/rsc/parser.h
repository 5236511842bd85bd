// The description parser's state, shared by the files that read windows
// (parse.cc) and controls (parse_controls.cc).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/rsc/description.h"
#include "tools/rsc/names.h"
#include "tools/rsc/parse_values.h"
#include "ui/resource/window_format.h"

namespace rsc {

inline Args ArgsOf(const Line& line) { return Args(line.tokens.begin() + 1, line.tokens.end()); }
inline const std::string& Keyword(const Line& line) { return line.tokens[0].value; }

class Parser {
 public:
  explicit Parser(std::vector<Diagnostic>* diagnostics) : diagnostics_(diagnostics) {}
  void Resource(const std::vector<Line>& roots, Description* out);

 private:
  void Error(const Line& line, const std::string& message) {
    diagnostics_->push_back({line.number, message});
  }
  // Reports a second use of a property on one line's children.
  bool FirstUse(std::set<std::string>& seen, const Line& line);
  bool Field(const Line& line, int32_t* field);
  void Window(const Line& line, kor::WindowTree* out);
  bool WindowProperty(const Line& line, kor::WindowRecord& w);
  bool MessageProperty(const Line& line, kor::MessageBlock& m);
  void MenuBar(const Line& line, kor::MenuBarRecord* out);
  void Menu(const Line& line, kor::MenuRecord* out);
  bool MenuProperty(const Line& line, kor::MenuRecord& m);
  void ToolBar(const Line& line, kor::ToolBarRecord* out);
  void Control(const Line& line, const KindName& kind, kor::ControlRecord* out);
  bool ControlProperty(const Line& line, const kor::ControlLayout& layout, kor::ControlRecord& c);
  bool KindProperty(const Line& line, kor::ControlRecord& c);
  bool ListProperty(const Line& line, kor::ControlRecord& c);
  void Controls(const std::vector<Line>& lines, std::vector<kor::ControlRecord>* out,
                bool* handled);
  // Reports `error` when not `ok`; true either way: the property was known.
  bool Report(const Line& line, bool ok, const std::string& error) {
    if (!ok) Error(line, error);
    return true;
  }

  std::vector<Diagnostic>* diagnostics_;
  std::map<int32_t, int> fields_;  // field numbers of the current window, by line
  int32_t last_field_ = 0;         // the last field number of the current window
};

}  // namespace rsc
