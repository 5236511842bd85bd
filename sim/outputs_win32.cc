// Writes the output files of accepted commands after their delay.
#include "sim/outputs.h"

#include "sim/command.h"
#include "sim/event_log.h"
#include "sim/settings.h"

namespace sim {
namespace {

bool WriteWhole(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == content.size();
}

// Writes `content` to a temporary file beside `path`, then renames it over
// `path`. Returns 0 or the system's error code.
DWORD WriteByRename(const std::string& path, const std::string& content, UINT_PTR serial) {
  std::string temp = std::string(DirectoryOf(path)) + "Z9EE" +
                     std::to_string(GetCurrentProcessId()) + "_" + std::to_string(serial) + ".TMP";
  if (!WriteWhole(temp, content)) {
    DWORD error = GetLastError();
    DeleteFileA(temp.c_str());
    return error ? error : ERROR_WRITE_FAULT;
  }
  if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD error = GetLastError();
    DeleteFileA(temp.c_str());
    return error;
  }
  return 0;
}

}  // namespace

void PendingOutputs::Schedule(HWND owner, int conversation, std::vector<std::string> files,
                              std::string content) {
  UINT_PTR id = next_id_++;
  jobs_[id] = Job{conversation, std::move(files), std::move(content)};
  // A zero delay still goes through the timer: the acknowledgement is
  // always posted before the output exists.
  if (SetTimer(owner, id, settings_.delay_ms, nullptr) == 0) {
    Write(jobs_[id]);
    jobs_.erase(id);
  }
}

bool PendingOutputs::OnTimer(HWND owner, UINT_PTR id) {
  auto it = jobs_.find(id);
  if (it == jobs_.end()) return false;
  KillTimer(owner, id);
  Job job = std::move(it->second);
  jobs_.erase(it);
  Write(job);
  return true;
}

void PendingOutputs::Write(const Job& job) {
  for (const std::string& file : job.files) {
    if (settings_.no_output) {
      log_.Write("output", job.conversation, "suppressed", file);
      continue;
    }
    DWORD error = WriteByRename(file, job.content, next_id_++);
    log_.Write("output", job.conversation,
               error == 0 ? std::string("written") : "failed " + std::to_string(error), file);
  }
}

void PendingOutputs::Abandon() {
  for (auto& [id, job] : jobs_)
    for (const std::string& file : job.files)
      log_.Write("output", job.conversation, "abandoned", file);
  jobs_.clear();
}

}  // namespace sim
