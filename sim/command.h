// The five bracketed commands the batch driver sends the development
// environment, as the stand-in reads them: exact syntax, blank padding after
// the closing bracket, the output files each command makes, and the numbered
// reasons a command is refused (what "GetErrorNum"/"GetErrorMsg" answer).
//
// Syntax (the pieces between the file names are literal, case included):
//   [ExecuteProject("<stem>.app")]
//   [ExportApp("<stem>.App",<stem>.TXA,0)]
//   [ImportApp("<stem>.TXA",<stem>.APP,0,Replace)]
//   [ImportDCT("<stem>.TXD",<stem>.DCT,0)]
//   [ExportDCT("<stem>.DCT",<stem>.TXD,0)]
// The first file name is quoted, the second bare (it may hold blanks and
// commas: it runs up to the command's fixed tail). Only blanks may follow the
// closing bracket; the text ends at its first zero byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class CommandKind { kExecuteProject, kExportApp, kImportApp, kImportDct, kExportDct };

// Which files the make command writes: a make of an executable and a make
// of a library send the same command, so by default it writes both.
enum class MakeOutputs { kBoth, kExe, kDll };

// Reasons for a refusal; the numbers are what "GetErrorNum" answers.
enum SimError : int {
  kSimNoError = 0,
  kSimUnknownCommand = 101,
  kSimMalformedCommand = 102,
  kSimProjectRefused = 103,
  kSimSourceMissing = 104,
};

struct Command {
  CommandKind kind = CommandKind::kExecuteProject;
  std::string source;  // the quoted file name, without its quotes
  std::string target;  // the bare second file name; empty for ExecuteProject
  std::string stem;    // source without its extension: directory and base name
};

struct ParseResult {
  bool ok = false;
  Command command;
  int error = kSimNoError;  // a SimError when !ok
  std::string message;      // why, for "GetErrorMsg"
};

// Reads one command as it arrived (up to its first zero byte).
ParseResult ParseCommand(std::string_view text);

// The command text without the blanks that pad it after the closing bracket.
std::string_view TrimTrailingBlanks(std::string_view text);

// The files the command writes, in the order they are written.
std::vector<std::string> OutputFiles(const Command& command, MakeOutputs make);

// What an output file holds: which command made it (without its blank
// padding) and the number of the accepted command in this process.
std::string OutputContent(std::string_view command, unsigned counter);

// The command's name as written inside the brackets ("ExecuteProject" ...).
std::string_view CommandName(CommandKind kind);

// The last component of a stem: what follows its last "\", "/" or ":".
std::string_view BaseName(std::string_view stem);

// The directory part of a file name, with its separator ("" for none).
std::string_view DirectoryOf(std::string_view path);

}  // namespace sim
