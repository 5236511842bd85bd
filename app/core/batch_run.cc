// The operation loop of a batch operation.
#include "app/core/batch_run.h"

#include <string>

#include "app/core/app_data.h"
#include "app/core/standard_open.h"
#include "files/statements.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/pictures/dates.h"

namespace mxb {

namespace {

enum class Next { kProject, kTerminate, kClosed };

std::string FieldText(const char* field, size_t size) {
  return Clip(std::string_view(field, size));
}

// The screen as the steps see it: a message the screen does not show is
// written to the activity log under the current project. Logging keeps the
// error state, which the DDE error check has yet to read.
class MessagesKept final : public BatchPort {
 public:
  explicit MessagesKept(BatchScreen& screen) : screen_(screen) {}
  int32_t DdeOpen() override { return screen_.DdeOpen(); }
  void StartEnvironment() override { screen_.StartEnvironment(); }
  void Pause(uint32_t ms) override { screen_.Pause(ms); }
  void DdeExecute(int32_t channel, const std::string& command) override {
    screen_.DdeExecute(channel, command);
  }
  void DdeRequestError(int32_t channel, int32_t* number, std::string* text) override {
    screen_.DdeRequestError(channel, number, text);
  }
  void Message(const std::string& text, const std::string& caption, uint32_t icon) override {
    screen_.Message(text, caption, icon);
    if (screen_.ShowsMessages()) return;
    const AppData& d = Data();
    kor::SaveErrorState();
    LogEvent(FieldText(d.apps_record.application, sizeof d.apps_record.application), text);
    kor::RestoreErrorState();
  }

 private:
  BatchScreen& screen_;
};

class Run {
 public:
  Run(const BatchOpSpec& spec, BatchScreen& screen, WarningSink& files,
      const BatchRunSettings& settings)
      : spec_(spec),
        screen_(screen),
        port_(screen),
        files_(files),
        settings_(settings),
        d_(Data()) {}

  void Go() {
    kor::CREATE(&d_.temp);
    StandardOpen(&d_.temp, files_);
    screen_.SetDdeTimeout(TimeoutHundredths());
    channel_ = ConnectToEnvironment(screen_);
    if (channel_ == 0) {
      // Shown or noted by the screen, and logged here once in every run.
      screen_.Message(kConnectFailedText, std::string(), kIconError);
      LogEvent("", kConnectFailedText);
      if (settings_.report != nullptr) settings_.report->SetEnvironmentUnreachable();
    } else {
      screen_.SetConnected(true);
      if (kor::ERRORCODE() == kor::kErrNone) screen_.SetLastAction(kConnectedText);
      Walk();
    }
    End();
  }

 private:
  uint32_t TimeoutHundredths() const { return settings_.timeout_minutes * kHundredthsPerMinute; }
  std::string Project() const {
    return FieldText(d_.apps_record.application, sizeof d_.apps_record.application);
  }
  std::string DrivePath() const {
    return FieldText(d_.apps_record.drive_path, sizeof d_.apps_record.drive_path);
  }
  void Report(Outcome outcome, uint32_t started, int32_t code = 0, std::string text = {}) {
    if (settings_.report == nullptr) return;
    double seconds = (screen_.NowMs() - started) / 1000.0;
    settings_.report->Add({Project(), outcome, seconds, code, std::move(text)});
  }

  void Walk() {
    kor::SETkey(&d_.priority_key);
    const int32_t n = kor::RECORDSfile(&d_.apps);
    Next next = Next::kProject;
    for (int32_t i = 1; i <= n; ++i) {
      kor::NEXT(&d_.apps);
      if (kor::ERRORCODE() != kor::kErrNone) break;  // the list changed under us
      if (d_.apps_record.tag != 1) continue;
      if (next != Next::kProject) {
        Report(Outcome::kNotProcessed, screen_.NowMs());
        continue;
      }
      next = OneProject();
      if (next != Next::kProject && settings_.report == nullptr) break;
    }
  }

  Next OneProject() {
    const uint32_t started = screen_.NowMs();
    const std::string base = BaseName(Project());
    const std::string stem = ProjectStem(DrivePath(), Project());
    if (!SourceExists(SourcePattern(spec_, stem))) {
      LogEvent(Project(), MissingSourceText(spec_));
      Report(Outcome::kSourceMissing, started);
      return Next::kProject;
    }
    screen_.SetDdeTimeout(TimeoutHundredths());
    LogEvent(Project(), spec_.log_begin);
    if (spec_.removed_ext != nullptr) {
      SetTargetName(RemovedName(spec_, stem));
      kor::REMOVE(&d_.target);  // a missing old output is no error here
      kor::ClearError();
    }
    const std::string command = BuildCommand(spec_, stem);
    if (command.empty()) {
      LogEvent(Project(), kCommandTooLongText);
      Report(Outcome::kFailed, started, 0, kCommandTooLongText);
      return Next::kProject;
    }
    if (spec_.status_before != nullptr) screen_.SetLastAction(StatusBefore(spec_, Project()));
    screen_.DdeExecute(channel_, command);
    DdeCheckResult check = CheckDdeError(port_, channel_);
    if (check.failed()) return Terminate(check, started);
    screen_.SetLastAction(StatusAck(spec_, Project()));
    return Wait(base, started);
  }

  Next Terminate(const DdeCheckResult& check, uint32_t started) {
    if (check.code < 600) {
      port_.Message(TerminateMessage(spec_, check.code, check.text), kTerminatedCaption,
                    kIconError);
    }
    LogEvent(Project(), ErrorLogText(check.code, check.text));
    Report(Outcome::kFailed, started, check.code, check.text);
    return Next::kTerminate;
  }

  Next Wait(const std::string& base, uint32_t started) {
    const uint32_t acknowledged = screen_.NowMs();
    const uint32_t cap_ms = TimeoutHundredths() * 10;
    while (screen_.WaitForTick()) {
      const int32_t code = kor::ERRORCODE();
      switch (JudgeTick(screen_.NowMs() - acknowledged, code, cap_ms)) {
        case TickVerdict::kAbandonOnError: {
          std::string text = FieldText(kor::CurrentErrorState().text, 80);
          LogEvent(Project(), ErrorLogText(code, text));
          Report(Outcome::kFailed, started, code, text);
          return Next::kProject;
        }
        case TickVerdict::kAbandonOnCap:
          LogEvent(Project(), kOutputMissingText);
          Report(Outcome::kOutputMissing, started, 0, kOutputMissingText);
          return Next::kProject;
        case TickVerdict::kLook: break;
      }
      const bool done = OutputPresent(spec_, DrivePath(), base);
      CheckDdeError(port_, channel_);
      if (done) {
        if (spec_.status_finished != nullptr) {
          screen_.SetLastAction(StatusFinished(spec_, Project()));
        }
        LogEvent(Project(), spec_.log_finished);
        Report(Outcome::kFinished, started);
        return Next::kProject;
      }
    }
    Report(Outcome::kNotProcessed, started, 0, "window closed");
    return Next::kClosed;
  }

  void End() {
    StoreField(d_.temp_record.apps, sizeof d_.temp_record.apps, "");
    StoreField(d_.temp_record.event, sizeof d_.temp_record.event, "");
    d_.temp_record.date = 0;
    d_.temp_record.clock = 0;
    screen_.Beep();
    screen_.SetLastAction(kCompleteText);
    kor::CLOSE(&d_.temp);
    if (channel_ != 0) screen_.DdeClose(channel_);
    screen_.SetConnected(false);
  }

  const BatchOpSpec& spec_;
  BatchScreen& screen_;
  MessagesKept port_;  // the steps' messages pass here
  WarningSink& files_;
  const BatchRunSettings& settings_;
  AppData& d_;
  int32_t channel_ = 0;
};

}  // namespace

void LogEvent(std::string_view project, std::string_view event) {
  AppData& d = Data();
  StoreField(d.temp_record.apps, sizeof d.temp_record.apps, project);
  d.temp_record.date = kor::TODAY();
  d.temp_record.clock = kor::CLOCK();
  StoreField(d.temp_record.event, sizeof d.temp_record.event, event);
  kor::ADD(&d.temp);
}

void RunBatch(const BatchOpSpec& spec, BatchScreen& screen, WarningSink& files,
              const BatchRunSettings& settings) {
  Run(spec, screen, files, settings).Go();
}

}  // namespace mxb
