// The first reading of a description file: lines split into words and texts,
// nested by their indentation.
//
// - A "#" that starts a word begins a comment to the end of the line.
// - A text is written in double quotes. Inside it "" stands for one quote,
//   << for one "<", and <n> for the character with code n (1 to 255, for
//   characters that cannot be typed, such as a line feed <10>).
// - Words are runs of other characters up to a blank.
// - A line indented further than the one before it is that line's child;
//   lines indented alike are siblings. Indentation is made of blanks (a tab is
//   an error) and must come back to a level used before.
#pragma once

#include <string>
#include <vector>

namespace rsc {

struct Diagnostic {
  int line = 0;
  std::string message;
};

struct Token {
  bool is_text = false;  // a quoted text (else a word)
  std::string value;
};

struct Line {
  int number = 0;
  int indent = 0;
  std::vector<Token> tokens;
  std::vector<Line> children;
};

// Reads `text` into its tree of lines. Each fault adds a diagnostic; a line
// with a fault is left out. Returns true when there was none.
bool ReadTextTree(const std::string& text, std::vector<Line>* roots,
                  std::vector<Diagnostic>* diagnostics);

// A text as the description writes it, with quotes and escapes.
std::string QuoteText(const std::string& text);

// The lines of a description without comments, trailing blanks and blank
// lines: two files are the same description when these are equal.
std::vector<std::string> SignificantLines(const std::string& text);

}  // namespace rsc
