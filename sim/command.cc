// Parses the bracketed commands of command.h and names their output files.
#include "sim/command.h"

#include <array>

namespace sim {
namespace {

// One row per command: its name, the extensions of its two file names (the
// second is absent for ExecuteProject) and the literal text after them.
struct Syntax {
  CommandKind kind;
  std::string_view name;
  std::string_view source_ext;
  std::string_view target_ext;
  std::string_view tail;
};

// clang-format off
constexpr std::array<Syntax, 5> kSyntax = {{
    {CommandKind::kExecuteProject, "ExecuteProject", ".app", "",     ")]"},
    {CommandKind::kExportApp,      "ExportApp",      ".App", ".TXA", ",0)]"},
    {CommandKind::kImportApp,      "ImportApp",      ".TXA", ".APP", ",0,Replace)]"},
    {CommandKind::kImportDct,      "ImportDCT",      ".TXD", ".DCT", ",0)]"},
    {CommandKind::kExportDct,      "ExportDCT",      ".DCT", ".TXD", ",0)]"},
}};
// clang-format on

const Syntax* FindSyntax(std::string_view name) {
  for (const Syntax& s : kSyntax)
    if (s.name == name) return &s;
  return nullptr;
}

ParseResult Refuse(int error, std::string message) {
  ParseResult r;
  r.error = error;
  r.message = std::move(message);
  return r;
}

ParseResult Malformed(std::string why) {
  return Refuse(kSimMalformedCommand, "Malformed command: " + why);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// A file name of the command: a non-empty stem followed by the extension.
bool IsFileName(std::string_view name, std::string_view ext) {
  return name.size() > ext.size() && EndsWith(name, ext) &&
         BaseName(name.substr(0, name.size() - ext.size())).size() > 0;
}

// After the quoted source: ",<target><tail>" for the commands with a target.
ParseResult ParseTarget(const Syntax& s, std::string_view rest, ParseResult r) {
  if (rest.empty() || rest.front() != ',')
    return Malformed("expected \",\" after the first file name");
  rest.remove_prefix(1);
  if (!EndsWith(rest, s.tail))
    return Malformed("expected \"" + std::string(s.tail) + "\" at the end");
  std::string_view target = rest.substr(0, rest.size() - s.tail.size());
  if (target.find('"') != std::string_view::npos)
    return Malformed("the second file name is not quoted");
  if (!IsFileName(target, s.target_ext))
    return Malformed("the second file name must end in \"" + std::string(s.target_ext) + "\"");
  r.command.target = std::string(target);
  r.ok = true;
  return r;
}

// From the first quote to the end, the brackets already checked.
ParseResult ParseArguments(const Syntax& s, std::string_view args) {
  if (args.empty() || args.front() != '"') return Malformed("the first file name is not quoted");
  size_t close = args.find('"', 1);
  if (close == std::string_view::npos) return Malformed("no closing quote");
  std::string_view source = args.substr(1, close - 1);
  if (!IsFileName(source, s.source_ext))
    return Malformed("the first file name must end in \"" + std::string(s.source_ext) + "\"");
  ParseResult r;
  r.command.kind = s.kind;
  r.command.source = std::string(source);
  r.command.stem = std::string(source.substr(0, source.size() - s.source_ext.size()));
  std::string_view rest = args.substr(close + 1);
  if (s.target_ext.empty()) {
    if (rest != s.tail) return Malformed("expected \"" + std::string(s.tail) + "\" at the end");
    r.ok = true;
    return r;
  }
  return ParseTarget(s, rest, std::move(r));
}

}  // namespace

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

ParseResult ParseCommand(std::string_view text) {
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  text = TrimTrailingBlanks(text);
  if (text.empty()) return Malformed("empty command");
  if (text.front() != '[') return Malformed("a command starts with \"[\"");
  if (text.back() != ']') return Malformed("a command ends with \"]\" (only blanks may follow)");
  size_t open = text.find('(');
  if (open == std::string_view::npos) return Malformed("no \"(\" after the command name");
  std::string_view name = text.substr(1, open - 1);
  const Syntax* syntax = FindSyntax(name);
  if (syntax == nullptr) return Refuse(kSimUnknownCommand, "Unknown command: " + std::string(name));
  return ParseArguments(*syntax, text.substr(open + 1));
}

std::vector<std::string> OutputFiles(const Command& command, MakeOutputs make) {
  if (command.kind != CommandKind::kExecuteProject) return {command.target};
  std::vector<std::string> out;
  if (make != MakeOutputs::kDll) out.push_back(command.stem + ".EXE");
  if (make != MakeOutputs::kExe) out.push_back(command.stem + ".DLL");
  return out;
}

std::string OutputContent(std::string_view command, unsigned counter) {
  return "Made by the Korvane stand-in\r\nCommand: " + std::string(TrimTrailingBlanks(command)) +
         "\r\nCounter: " + std::to_string(counter) + "\r\n";
}

std::string_view CommandName(CommandKind kind) {
  for (const Syntax& s : kSyntax)
    if (s.kind == kind) return s.name;
  return "";
}

std::string_view BaseName(std::string_view stem) {
  size_t cut = stem.find_last_of("\\/:");
  return cut == std::string_view::npos ? stem : stem.substr(cut + 1);
}

std::string_view DirectoryOf(std::string_view path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut + 1);
}

}  // namespace sim
