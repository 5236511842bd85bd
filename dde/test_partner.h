// A DDE partner for the client's tests: windows on a thread of their own in
// the test process that answer the initiate for one service and then play
// the server's part by rule, written straight on the platform's messages.
//
//   EXECUTE "ok..."      positive acknowledgement
//   EXECUTE "late"       no answer now; Late() posts a positive one later
//   EXECUTE "silent"     no answer ever
//   EXECUTE "bye"        positive acknowledgement, then WM_DDE_TERMINATE
//   EXECUTE other        negative acknowledgement
//   REQUEST "known..."   WM_DDE_DATA "42" (fResponse, fRelease, fAckReq as set)
//   REQUEST "binary..."  WM_DDE_DATA in a format other than CF_TEXT
//   REQUEST other        negative acknowledgement, the item atom handed back
//   ADVISE / UNADVISE    positive acknowledgement; the item is (un)advised
//   TERMINATE            answered with WM_DDE_TERMINATE
// Push(value) sends the advised item's new value (fAckReq, fRelease set);
// EndConversation() ends the conversation from the partner's side. Both run
// on the partner's thread (a sent message), so their posts are queued when
// they return. A posted kEchoRequest (wParam: a window) is answered at once
// with kEchoAnswer posted to that window: the raw round trip the benchmarks
// compare with.
#pragma once

#include <windows.h>

#include <dde.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kor::testing {

class TestPartner {
 public:
  // `answers` windows answer each initiate for `service`.
  TestPartner(std::string service, int answers) : service_(std::move(service)) {
    thread_ = std::thread([this, answers] { Run(answers); });
    WaitForSingleObject(ready_, 10000);
  }
  ~TestPartner() {
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
  }
  TestPartner(const TestPartner&) = delete;
  TestPartner& operator=(const TestPartner&) = delete;

  bool data_ack_req = false;  // fAckReq in answers to requests
  bool send_data = false;     // WM_DDE_DATA sent (SendMessage) instead of posted

  std::vector<std::string> commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }
  int terminates(int window) const { return terminates_[window].load(); }
  int acks_taken() const { return acks_taken_.load(); }
  int unadvised() const { return unadvised_.load(); }
  HWND window(int i) const { return windows_[i]; }

  static constexpr UINT kEchoRequest = WM_APP + 4, kEchoAnswer = WM_APP + 5;

  void Push(const std::string& value) { SendMessageA(windows_[0], kPush, 0, Text(value)); }
  void EndConversation() { SendMessageA(windows_[0], kEnd, 0, 0); }
  void Late() { SendMessageA(windows_[0], kLate, 0, 0); }

 private:
  static constexpr UINT kPush = WM_APP + 1, kEnd = WM_APP + 2, kLate = WM_APP + 3;
  static constexpr int kMaxWindows = 2;

  static LPARAM Text(const std::string& s) { return reinterpret_cast<LPARAM>(s.c_str()); }

  static std::string AtomName(ATOM atom) {
    char buf[256];
    UINT n = atom != 0 ? GlobalGetAtomNameA(atom, buf, sizeof buf) : 0;
    return std::string(buf, n);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestPartner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->Handle(hwnd, msg, reinterpret_cast<HWND>(wp), lp);
  }

  int IndexOf(HWND hwnd) const { return hwnd == windows_[0] ? 0 : 1; }

  void Ack(HWND hwnd, UINT_PTR status, UINT_PTR second) {
    PostMessageA(client_, WM_DDE_ACK, reinterpret_cast<WPARAM>(hwnd),
                 PackDDElParam(WM_DDE_ACK, status, second));
  }

  void SendData(HWND hwnd, ATOM item, const std::string& text, WORD flags, WORD format) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 4 + text.size() + 1);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    memcpy(bytes, &flags, 2);
    memcpy(bytes + 2, &format, 2);
    memcpy(bytes + 4, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    LPARAM lp = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(block), item);
    if (send_data) {
      SendMessageA(client_, WM_DDE_DATA, reinterpret_cast<WPARAM>(hwnd), lp);
    } else {
      PostMessageA(client_, WM_DDE_DATA, reinterpret_cast<WPARAM>(hwnd), lp);
    }
  }

  void OnInitiate(HWND hwnd, HWND from, LPARAM lp) {
    std::string wanted = AtomName(LOWORD(lp));
    // Only our own service: an initiate for any service ("") may come from
    // another test's client and must not find us.
    if (_stricmp(wanted.c_str(), service_.c_str()) != 0) return;
    client_ = from;
    SendMessageA(from, WM_DDE_ACK, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(GlobalAddAtomA(service_.c_str()), GlobalAddAtomA("Topic")));
  }

  void OnExecute(HWND hwnd, LPARAM lp) {
    auto block = reinterpret_cast<HGLOBAL>(lp);
    std::string text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      commands_.push_back(text);
    }
    if (text == "silent") return;
    if (text == "late") {
      late_ = block;
      return;
    }
    bool ok = text.rfind("ok", 0) == 0 || text == "bye";
    Ack(hwnd, ok ? 0x8000 : 0, reinterpret_cast<UINT_PTR>(block));
    if (text == "bye") PostMessageA(client_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
  }

  void OnRequest(HWND hwnd, LPARAM lp) {
    UINT_PTR format = 0, item = 0;
    UnpackDDElParam(WM_DDE_REQUEST, lp, &format, &item);
    FreeDDElParam(WM_DDE_REQUEST, lp);
    std::string name = AtomName(static_cast<ATOM>(item));
    WORD flags = 0x1000 | 0x2000 | (data_ack_req ? 0x8000 : 0);
    if (name.rfind("known", 0) == 0 && format == CF_TEXT) {
      SendData(hwnd, static_cast<ATOM>(item), "42", flags, CF_TEXT);
    } else if (name.rfind("binary", 0) == 0) {
      SendData(hwnd, static_cast<ATOM>(item), "77", flags, CF_BITMAP);
    } else {
      Ack(hwnd, 0, item);  // the atom goes back with the refusal
    }
  }

  void OnLinkChange(HWND hwnd, UINT msg, LPARAM lp) {
    UINT_PTR first = 0, item = 0;
    UnpackDDElParam(msg, lp, &first, &item);
    FreeDDElParam(msg, lp);
    if (msg == WM_DDE_ADVISE) {
      GlobalFree(reinterpret_cast<HGLOBAL>(first));  // ours after a positive answer
      advised_ = AtomName(static_cast<ATOM>(item));
    } else {
      advised_.clear();
      ++unadvised_;
    }
    Ack(hwnd, 0x8000, item);
  }

  void OnAck(LPARAM lp) {
    UINT_PTR status = 0, item = 0;
    UnpackDDElParam(WM_DDE_ACK, lp, &status, &item);
    FreeDDElParam(WM_DDE_ACK, lp);
    if (item != 0) GlobalDeleteAtom(static_cast<ATOM>(item));
    ++acks_taken_;
  }

  LRESULT Handle(HWND hwnd, UINT msg, HWND from, LPARAM lp) {
    // Answers go to whoever spoke last (several clients may talk to us).
    if (msg > WM_DDE_INITIATE && msg <= WM_DDE_LAST && from != nullptr) client_ = from;
    switch (msg) {
      case WM_DDE_INITIATE: OnInitiate(hwnd, from, lp); return 0;
      case WM_DDE_EXECUTE: OnExecute(hwnd, lp); return 0;
      case WM_DDE_REQUEST: OnRequest(hwnd, lp); return 0;
      case WM_DDE_ADVISE:
      case WM_DDE_UNADVISE: OnLinkChange(hwnd, msg, lp); return 0;
      case WM_DDE_ACK: OnAck(lp); return 0;
      case WM_DDE_TERMINATE:
        ++terminates_[IndexOf(hwnd)];
        if (!ended_) PostMessageA(from, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
        return 0;
      case kPush:
        if (!advised_.empty())
          SendData(hwnd, GlobalAddAtomA(advised_.c_str()), reinterpret_cast<const char*>(lp),
                   0x8000 | 0x2000, CF_TEXT);
        return 0;
      case kEnd:
        ended_ = true;
        PostMessageA(client_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
        return 0;
      case kLate: Ack(hwnd, 0x8000, reinterpret_cast<UINT_PTR>(late_)); return 0;
      case kEchoRequest: PostMessageA(from, kEchoAnswer, 0, lp); return 0;
      default: return DefWindowProcA(hwnd, msg, reinterpret_cast<WPARAM>(from), lp);
    }
  }

  void Run(int answers) {
    thread_id_ = GetCurrentThreadId();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    std::string cls = "KorTestPartner" + std::to_string(GetCurrentThreadId());
    wc.lpszClassName = cls.c_str();
    RegisterClassA(&wc);
    for (int i = 0; i < answers && i < kMaxWindows; ++i) {
      windows_[i] = CreateWindowExA(0, cls.c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    wc.hInstance, nullptr);
      SetWindowLongPtrA(windows_[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists now
    SetEvent(ready_);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    for (HWND w : windows_)
      if (w != nullptr) DestroyWindow(w);
    UnregisterClassA(cls.c_str(), wc.hInstance);
  }

  std::string service_;
  HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread thread_;
  DWORD thread_id_ = 0;
  HWND windows_[kMaxWindows] = {};
  HWND client_ = nullptr;
  std::string advised_;
  HGLOBAL late_ = nullptr;
  bool ended_ = false;
  std::mutex mutex_;
  std::vector<std::string> commands_;
  std::atomic<int> terminates_[kMaxWindows] = {};
  std::atomic<int> acks_taken_{0};
  std::atomic<int> unadvised_{0};
};

}  // namespace kor::testing
