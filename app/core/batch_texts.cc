// The six batch operations' table and the texts built from it.
#include "app/core/batch_texts.h"

#include <string>

namespace mxb {

namespace {

// clang-format off
constexpr BatchOpSpec kOps[kBatchOpCount] = {
    {BatchOp::kMakeExe, "makeexe", "make executable", ".APP", ".EXE", "*.EXE", ".EXE",
     nullptr, " DDE Ack.", " Compiled & Made", "Begin Make", "Make Finished",
     "Error Making .App ", "[ExecuteProject(\"", ".app\")]", nullptr},
    {BatchOp::kMakeDll, "makedll", "make library", ".APP", ".DLL", "*.DLL", ".DLL",
     nullptr, " DDE Ack.", " DLL Compiled & Made", "Begin Make", "Make Finished",
     "Error Making .App ", "[ExecuteProject(\"", ".app\")]", nullptr},
    {BatchOp::kExportApp, "exportapp", "export application", ".APP", ".TXA", "*.TXA", ".TXA",
     "Exporting ", " Exported.", nullptr, "Begin APP Export", "Export APP Finished",
     "Error Making .App ", "[ExportApp(\"", ".App\",", ".TXA,0)]"},
    {BatchOp::kImportApp, "importapp", "import application", ".TXA", nullptr, "*.APP", ".APP",
     "Importing ", " Imported.", nullptr, "Begin APP Import", "Import APP Finished",
     "Error Making .App ", "[ImportApp(\"", ".TXA\",", ".APP,0,Replace)]"},
    {BatchOp::kImportDct, "importdct", "import dictionary", ".TXD", nullptr, "*.DCT", ".DCT",
     "Importing ", " Imported.", nullptr, "Begin DCT Import", "Import DCT Finished",
     "Error Importing .DCT ", "[ImportDCT(\"", ".TXD\",", ".DCT,0)]"},
    {BatchOp::kExportDct, "exportdct", "export dictionary", ".DCT", nullptr, "*.DCT", ".DCT",
     "Exporting ", " Exported.", nullptr, "Begin DCT Export", "Export DCT Finished",
     "Error Exporting .DCT ", "[ExportDCT(\"", ".DCT\",", ".TXD,0)]"},
};
// clang-format on

std::string TrimLeft(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return std::string(text.substr(i));
}

// The command's characters before padding.
std::string RawCommand(const BatchOpSpec& spec, std::string_view stem) {
  std::string cmd = spec.command_head;
  cmd += stem;
  cmd += spec.command_middle;
  if (spec.command_tail != nullptr) {
    cmd += stem;
    cmd += spec.command_tail;
  }
  return cmd;
}

}  // namespace

const BatchOpSpec& OpSpec(BatchOp op) { return kOps[static_cast<int>(op)]; }

const BatchOpSpec* FindOpBySwitch(std::string_view name) {
  for (const BatchOpSpec& spec : kOps) {
    if (Upper(name) == Upper(spec.switch_name)) return &spec;
  }
  return nullptr;
}

std::string Clip(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return std::string(text.substr(0, n));
}

std::string Cut(std::string_view text, size_t n) { return std::string(text.substr(0, n)); }

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string BaseName(std::string_view application) {
  size_t dot = application.find('.');
  return Clip(Cut(application.substr(0, dot), kBaseSize));
}

std::string ProjectStem(std::string_view drive_path, std::string_view application) {
  return Cut(Clip(drive_path) + BaseName(application), kStemSize);
}

bool CommandFits(const BatchOpSpec& spec, std::string_view stem) {
  return RawCommand(spec, stem).size() <= kCommandSize;
}

std::string BuildCommand(const BatchOpSpec& spec, std::string_view stem) {
  std::string cmd = RawCommand(spec, stem);
  if (cmd.size() > kCommandSize) return std::string();
  cmd.resize(kCommandSize, ' ');
  return cmd;
}

std::string SourcePattern(const BatchOpSpec& spec, std::string_view stem) {
  return std::string(stem) + spec.source_ext;
}

std::string WaitPattern(const BatchOpSpec& spec, std::string_view drive_path) {
  return Cut(Clip(drive_path) + spec.wait_wildcard, kPatternSize);
}

std::string RemovedName(const BatchOpSpec& spec, std::string_view stem) {
  if (spec.removed_ext == nullptr) return std::string();
  return std::string(stem) + spec.removed_ext;
}

std::string MissingSourceText(const BatchOpSpec& spec) {
  return std::string(spec.source_ext) + " not found";
}

std::string ErrorLogText(int32_t code, std::string_view error_text) {
  return Cut("Error " + std::to_string(code) + " " + Clip(error_text), kLogEventSize);
}

std::string StatusBefore(const BatchOpSpec& spec, std::string_view project) {
  if (spec.status_before == nullptr) return std::string();
  return Cut(spec.status_before + Clip(project), kLastActionSize);
}

std::string StatusAck(const BatchOpSpec& spec, std::string_view project) {
  return Cut(Clip(project) + spec.status_ack, kLastActionSize);
}

std::string StatusFinished(const BatchOpSpec& spec, std::string_view project) {
  if (spec.status_finished == nullptr) return std::string();
  return Cut(Clip(project) + spec.status_finished, kLastActionSize);
}

std::string TerminateMessage(const BatchOpSpec& spec, int32_t code, std::string_view text) {
  return spec.terminate_text + std::to_string(code) + " " + Clip(text);
}

bool IsExpectedOutput(const BatchOpSpec& spec, std::string_view base, std::string_view listed,
                      std::string_view long_name) {
  const std::string expected = Upper(Clip(base) + spec.expected_ext);
  if (Upper(TrimLeft(Clip(Cut(listed, kListedNameSize)))) == expected) return true;
  return !long_name.empty() && Upper(long_name) == expected;
}

}  // namespace mxb
