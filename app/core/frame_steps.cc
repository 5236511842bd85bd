// The main frame's buttons and the conversation it holds.
#include "app/core/frame_steps.h"

#include <string>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace mxb {

namespace {

struct ButtonOp {
  int32_t field;
  BatchOp op;
};
constexpr ButtonOp kButtonOps[] = {
    {kFieldMakeExe, BatchOp::kMakeExe},     {kFieldMakeDll, BatchOp::kMakeDll},
    {kFieldExportApp, BatchOp::kExportApp}, {kFieldImportApp, BatchOp::kImportApp},
    {kFieldImportDct, BatchOp::kImportDct}, {kFieldExportDct, BatchOp::kExportDct},
};
static_assert(sizeof kButtonOps / sizeof kButtonOps[0] == kBatchOpCount);

void Show(BatchScreen& screen, const FrameLink& link, const char* text) {
  screen.SetConnected(link.connected);
  screen.SetLastAction(text);
}

void CloseHeld(BatchScreen& screen, FrameLink* link) {
  if (link->channel != 0) screen.DdeClose(link->channel);
  link->channel = 0;
  link->connected = false;
}

}  // namespace

std::optional<BatchOp> BatchOpOfField(int32_t field) {
  for (const ButtonOp& b : kButtonOps) {
    if (b.field == field) return b.op;
  }
  return std::nullopt;
}

uint8_t OperationTimeoutMinutes(uint8_t spin_minutes) {
  return spin_minutes == 0 ? 1 : spin_minutes;
}

bool NeedsConfirmation(BatchOp op) { return op == BatchOp::kImportApp; }

void FirstConnection(BatchScreen& screen, FrameLink* link) {
  link->channel = screen.DdeOpen();
  link->connected = link->channel != 0;
  Show(screen, *link, link->connected ? kConnectedText : kNotConnectedText);
}

void Connect(BatchScreen& screen, FrameLink* link, int attempts, uint32_t pause_ms) {
  const int32_t channel = ConnectToEnvironment(screen, attempts, pause_ms);
  if (channel == 0) {
    screen.Message(kConnectFailedText, std::string(), kIconError);
    CloseHeld(screen, link);
    Show(screen, *link, kNotConnectedText);
    return;
  }
  const bool clear = kor::ERRORCODE() == kor::kErrNone;
  if (link->channel != 0 && link->channel != channel) screen.DdeClose(link->channel);
  link->channel = channel;
  link->connected = true;
  Show(screen, *link, clear ? kConnectedStopText : kConnectedText);
}

void Disconnect(BatchScreen& screen, FrameLink* link) {
  CloseHeld(screen, link);
  kor::ClearError();
  Show(screen, *link, kDisconnectedText);
}

void Release(BatchScreen& screen, FrameLink* link) {
  CloseHeld(screen, link);
  kor::ClearError();
}

}  // namespace mxb
