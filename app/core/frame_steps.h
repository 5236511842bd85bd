// The main frame's own steps that decide something: which batch operation a
// button starts, the import confirmation, and the conversation the frame
// holds with the environment (the first attempt at opening, Connect and
// Disconnect). They reach the DDE client and the window's fields through
// BatchScreen, so they run against the real client in mxb.exe and against a
// fake in the native tests.
//
// The frame's link. The frame holds at most one conversation of its own
// (`channel`, 0 = none), apart from the one each batch operation opens and
// closes for itself. The connected flag and "Last Action" show its state:
//   first attempt  one DDEopen, no start of the environment:
//                  open  -> 1, "Connected to Korvane"
//                  none  -> 0, "Not Connected to Korvane"
//   Connect        the batch operations' bounded start-and-retry loop
//                  (ConnectToEnvironment, same bound): open -> 1,
//                  "Connected to Korvane." when the error state is clear
//                  after the open, else without the full stop; a
//                  conversation held before is closed once the new one is
//                  open, so the frame never holds two. Given up -> the
//                  message kConnectFailedText (icon 32514), 0,
//                  "Not Connected to Korvane"; a conversation held before
//                  (its partner is gone) is closed.
//   Disconnect     closes the conversation the frame holds, if any, and
//                  nothing else; 0, "Korvane disconnected"; the error state
//                  is left clear (a partner that went away meanwhile is no
//                  error to the user).
//   Release        at closing: closes the held conversation.
#pragma once

#include <cstdint>
#include <optional>

#include "app/core/batch_run.h"
#include "app/core/batch_texts.h"

namespace mxb {

// Field numbers of the main window "MXB001_RSC" that the frame acts on.
inline constexpr int32_t kFieldProjectList = 1;
inline constexpr int32_t kFieldMakeExe = 3;
inline constexpr int32_t kFieldMakeDll = 4;
inline constexpr int32_t kFieldExportApp = 5;
inline constexpr int32_t kFieldImportApp = 6;
inline constexpr int32_t kFieldImportDct = 8;
inline constexpr int32_t kFieldExportDct = 9;
inline constexpr int32_t kFieldList = 1;
inline constexpr int32_t kFieldConnectionGroup = 10;
inline constexpr int32_t kFieldConnect = 12;
inline constexpr int32_t kFieldDisconnect = 13;
inline constexpr int32_t kFieldTimeoutSpin = 20;
inline constexpr int32_t kFieldLastAction = 22;

inline constexpr const char* kNotConnectedText = "Not Connected to Korvane";
inline constexpr const char* kConnectedStopText = "Connected to Korvane.";
inline constexpr const char* kDisconnectedText = "Korvane disconnected";

// The warning at opening when no conversation could be opened.
inline constexpr const char* kNotRunningText =
    "Korvane is not currently running. For better control over your working environment, "
    "press \"Connect\" now.";
inline constexpr const char* kNotRunningCaption = "Warning";

// The import-application confirmation: Yes and No, No the default.
inline constexpr const char* kConfirmImportText = "Are you sure you want to import .TXA into .APP?";
inline constexpr const char* kConfirmImportCaption = "Confirm";
inline constexpr uint32_t kIconConfirm = 32515;

// The DDE time-out in minutes an operation runs with, from the spin's value
// at the press: at least 1 (a time-out of 0 would end every command at
// once and cap every completion wait at nothing).
uint8_t OperationTimeoutMinutes(uint8_t spin_minutes);

// The operation of a batch button; none for any other field.
std::optional<BatchOp> BatchOpOfField(int32_t field);
// Whether the operation asks the confirmation before anything is touched.
bool NeedsConfirmation(BatchOp op);

struct FrameLink {
  int32_t channel = 0;
  bool connected = false;
};

void FirstConnection(BatchScreen& screen, FrameLink* link);
// `attempts` and `pause_ms` shorten the bound in tests only.
void Connect(BatchScreen& screen, FrameLink* link, int attempts = kConnectAttempts,
             uint32_t pause_ms = kConnectPauseMs);
void Disconnect(BatchScreen& screen, FrameLink* link);
void Release(BatchScreen& screen, FrameLink* link);

}  // namespace mxb
