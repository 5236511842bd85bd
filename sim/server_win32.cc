// The stand-in's main window: initiates, outputs, housekeeping and closing.
#include "sim/server.h"

#include <dde.h>

#include <algorithm>

#include "sim/dde_message.h"

namespace sim {
namespace {

constexpr UINT kReapMessage = WM_APP + 1;  // a conversation ended: drop it
constexpr UINT_PTR kHousekeepingTimer = 1;
constexpr UINT kHousekeepingMs = 100;
constexpr UINT_PTR kCloseTimer = 2;
constexpr UINT kCloseWaitMs = 3000;  // for the clients' answers to terminate
constexpr char kDefaultService[] = "KorvaneWin";

}  // namespace

bool Server::SameService(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string Server::TitleFor(const std::string& service) {
  std::string title = "Korvane (stand-in)";
  return SameService(service, kDefaultService) ? title : title + " [" + service + "]";
}

Server::Server(const Settings& settings, EventLog& log)
    : settings_(settings), log_(log), outputs_(settings, log) {}

Server::~Server() { log_.SetListener(nullptr); }

bool Server::Create(int show) {
  started_ = last_activity_ = GetTickCount();
  if (!CreateWindowFor(TitleFor(settings_.service).c_str(), WS_OVERLAPPEDWINDOW, nullptr, 520, 150))
    return false;
  log_.SetListener([this](const std::string& line) { ShowStatus(line); });
  ShowWindow(hwnd(), settings_.minimized ? SW_SHOWMINNOACTIVE : show);
  UpdateWindow(hwnd());
  SetTimer(hwnd(), kHousekeepingTimer, kHousekeepingMs, nullptr);
  Housekeeping();
  return true;
}

LRESULT Server::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: OnSize(LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_DDE_INITIATE:
      OnInitiate(reinterpret_cast<HWND>(wparam), LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_TIMER: OnTimer(wparam); return 0;
    case kReapMessage: OnReap(); return 0;
    case WM_CLOSE: OnClose("closed"); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    default: return Default(msg, wparam, lparam);
  }
}

void Server::OnCreate() {
  status_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 0, 0, hwnd(),
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
}

void Server::OnSize(int width, int height) {
  if (status_ != nullptr)
    MoveWindow(status_, 8, 8, std::max(0, width - 16), std::max(0, height - 16), TRUE);
}

// The client's atoms stay the client's; the answer carries new ones, which
// the client owns once it has them.
void Server::OnInitiate(HWND client, ATOM service_atom, ATOM topic_atom) {
  std::string service = AtomName(service_atom);
  std::string topic = AtomName(topic_atom);
  if (!service.empty() && !SameService(service, settings_.service)) return;  // not for us
  NoteActivity();
  std::string detail = "service=\"" + service + "\" topic=\"" + topic + "\"";
  if (closing_ != nullptr || !ready_ || !IsWindow(client)) {
    log_.Write("initiate", 0,
               closing_  ? "ignored (closing)"
               : !ready_ ? "ignored (starting)"
                         : "ignored (no client window)",
               detail);
    return;
  }
  auto conversation = std::make_unique<Conversation>(*this, ++last_number_, client);
  if (!conversation->Create()) {
    log_.Write("initiate", 0, "failed " + std::to_string(GetLastError()), detail);
    return;
  }
  HWND answer_from = conversation->hwnd();
  conversations_.push_back(std::move(conversation));
  log_.Write("initiate", last_number_, "answered", detail);
  // Which program the conversation is with: a broadcast initiate reaches
  // every stand-in that runs, so a test tells its own program's
  // conversations from those of programs other tests run beside it.
  DWORD client_process = 0;
  GetWindowThreadProcessId(client, &client_process);
  log_.Write("client", last_number_, "process " + std::to_string(client_process), "");
  ATOM our_service = GlobalAddAtomA(settings_.service.c_str());
  ATOM our_topic = topic.empty() ? 0 : GlobalAddAtomA(topic.c_str());
  SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(answer_from),
               MAKELPARAM(our_service, our_topic));
}

void Server::ScheduleOutputs(int conversation, const Command& command, const std::string& text) {
  // CountCommand(true) came first: accepted_ numbers this command.
  outputs_.Schedule(hwnd(), conversation, OutputFiles(command, settings_.make),
                    OutputContent(text, accepted_));
}

void Server::CountCommand(bool accepted) { ++(accepted ? accepted_ : refused_); }

void Server::Reap() { PostMessageA(hwnd(), kReapMessage, 0, 0); }

void Server::OnReap() {
  std::erase_if(conversations_, [](const auto& c) { return c->done(); });
  ShowStatus(std::string());
  if (closing_ != nullptr && OpenConversations() == 0) DestroyWindow(hwnd());
}

size_t Server::OpenConversations() const {
  return std::count_if(conversations_.begin(), conversations_.end(),
                       [](const auto& c) { return !c->done(); });
}

void Server::OnTimer(UINT_PTR id) {
  if (id == kHousekeepingTimer) {
    Housekeeping();
  } else if (id == kCloseTimer) {
    for (auto& c : conversations_) c->Abandon("no answer to terminate");
    DestroyWindow(hwnd());
  } else {
    outputs_.OnTimer(hwnd(), id);
  }
}

void Server::Housekeeping() {
  DWORD now = GetTickCount();
  if (!ready_ && now - started_ >= settings_.slow_start_ms) {
    ready_ = true;
    log_.Write("ready", 0, "ok", "after " + std::to_string(now - started_) + " ms");
  }
  for (auto& c : conversations_)
    if (!c->done() && !IsWindow(c->client())) c->ClientGone();
  if (settings_.idle_quit_ms != 0 && closing_ == nullptr && outputs_.empty() &&
      now - last_activity_ >= settings_.idle_quit_ms)
    OnClose("idle");
}

void Server::OnClose(const char* reason) {
  if (closing_ != nullptr) {  // asked again while waiting: go now
    DestroyWindow(hwnd());
    return;
  }
  closing_ = reason;
  for (auto& c : conversations_) c->Terminate("closing");
  if (OpenConversations() == 0) {
    DestroyWindow(hwnd());
    return;
  }
  SetTimer(hwnd(), kCloseTimer, kCloseWaitMs, nullptr);
}

void Server::OnDestroy() {
  KillTimer(hwnd(), kHousekeepingTimer);
  KillTimer(hwnd(), kCloseTimer);
  outputs_.Abandon();
  log_.Write("quit", 0, closing_ ? closing_ : "destroyed", "");
  PostQuitMessage(0);
}

void Server::ShowStatus(const std::string& last_line) {
  if (status_ == nullptr) return;
  if (!last_line.empty()) last_line_ = last_line;
  std::string shown = last_line_;
  std::replace(shown.begin(), shown.end(), '\t', ' ');
  std::string text = "Serving DDE service \"" + settings_.service +
                     "\"\r\nConversations: " + std::to_string(OpenConversations()) +
                     "    Commands accepted: " + std::to_string(accepted_) +
                     ", refused: " + std::to_string(refused_) + "\r\nLast event: " + shown;
  SetWindowTextA(status_, text.c_str());
}

}  // namespace sim
