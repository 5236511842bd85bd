// Splitting description lines into words and texts, and nesting them.
#include "tools/rsc/text_tree.h"

#include <cstddef>

namespace rsc {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\r'; }

// Reads the text that starts at the quote at `i`; leaves `i` after the
// closing quote. false with a message on a fault.
bool ReadQuoted(const std::string& line, size_t* i, std::string* out, std::string* error) {
  for (size_t p = *i + 1; p < line.size(); ++p) {
    char c = line[p];
    if (c == '"') {
      if (p + 1 < line.size() && line[p + 1] == '"') {
        *out += '"';
        ++p;
        continue;
      }
      *i = p + 1;
      return true;
    }
    if (c != '<') {
      *out += c;
      continue;
    }
    if (p + 1 < line.size() && line[p + 1] == '<') {
      *out += '<';
      ++p;
      continue;
    }
    size_t close = line.find('>', p);
    std::string digits = close == std::string::npos ? "" : line.substr(p + 1, close - p - 1);
    int code = 0;
    bool ok = !digits.empty() && digits.size() <= 3;
    for (char d : digits) ok = ok && d >= '0' && d <= '9', code = code * 10 + (d - '0');
    if (!ok || code < 1 || code > 255) {
      *error = "'<' in a text starts <n> (n from 1 to 255) or <<";
      return false;
    }
    *out += static_cast<char>(code);
    p = close;
  }
  *error = "the text has no closing quote";
  return false;
}

// Splits one line into tokens; false with a message on a fault.
bool Tokenise(const std::string& line, std::vector<Token>* tokens, std::string* error) {
  size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '\t') {
      *error = "a tab character; use blanks";
      return false;
    }
    if (line[i] == '#') break;
    Token t;
    if (line[i] == '"') {
      t.is_text = true;
      if (!ReadQuoted(line, &i, &t.value, error)) return false;
      if (i < line.size() && !IsBlank(line[i])) {
        *error = "a blank must follow the closing quote";
        return false;
      }
    } else {
      size_t end = i;
      while (end < line.size() && !IsBlank(line[end]) && line[end] != '\t') ++end;
      t.value = line.substr(i, end - i);
      if (t.value.find('"') != std::string::npos) {
        *error = "a quote inside the word '" + t.value + "'";
        return false;
      }
      i = end;
    }
    tokens->push_back(std::move(t));
  }
  return true;
}

int IndentOf(const std::string& line) {
  int n = 0;
  while (static_cast<size_t>(n) < line.size() && line[n] == ' ') ++n;
  return n;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

bool ReadTextTree(const std::string& text, std::vector<Line>* roots,
                  std::vector<Diagnostic>* diagnostics) {
  size_t before = diagnostics->size();
  // The open lines from the outermost in: each new line closes those indented
  // as far as or further than it, and becomes a child of the one left; its
  // siblings before it must be indented alike.
  std::vector<Line*> open;
  std::vector<std::string> lines = SplitLines(text);
  for (size_t n = 0; n < lines.size(); ++n) {
    Line line;
    line.number = static_cast<int>(n) + 1;
    std::string error;
    if (!Tokenise(lines[n], &line.tokens, &error)) {
      diagnostics->push_back({line.number, error});
      continue;
    }
    if (line.tokens.empty()) continue;
    line.indent = IndentOf(lines[n]);
    while (!open.empty() && open.back()->indent >= line.indent) open.pop_back();
    std::vector<Line>* siblings = open.empty() ? roots : &open.back()->children;
    if (!siblings->empty() && siblings->back().indent != line.indent) {
      diagnostics->push_back({line.number, "the indentation matches no outer line"});
      continue;
    }
    siblings->push_back(std::move(line));
    open.push_back(&siblings->back());
  }
  return diagnostics->size() == before;
}

std::string QuoteText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"') out += "\"\"";
    else if (c == '<') out += "<<";
    else if (u < 32 || u == 127) out += "<" + std::to_string(u) + ">";
    else out += c;
  }
  return out + "\"";
}

std::vector<std::string> SignificantLines(const std::string& text) {
  std::vector<std::string> out;
  for (std::string line : SplitLines(text)) {
    // Cut a comment: a "#" that starts a word outside a text.
    bool in_text = false;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '"') in_text = !in_text;
      if (!in_text && line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) {
        line.resize(i);
        break;
      }
    }
    while (!line.empty() && IsBlank(line.back())) line.pop_back();
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

}  // namespace rsc
