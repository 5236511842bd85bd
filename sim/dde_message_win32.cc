// Posts the server's DDE messages (ownership rules in dde_message.h).
#include "sim/dde_message.h"

#include <dde.h>

#include <cstring>

namespace sim {
namespace {

// The first word of a DDEDATA block: fResponse is bit 12, fRelease bit 13,
// fAckReq bit 15; the clipboard format follows as a second word, then the
// value with its terminating zero.
constexpr WORD kDataResponse = 0x1000;
constexpr WORD kDataRelease = 0x2000;
constexpr size_t kDataHeader = 2 * sizeof(WORD);

HGLOBAL MakeTextBlock(std::string_view text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, kDataHeader + text.size() + 1);
  if (block == nullptr) return nullptr;
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  if (bytes == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  WORD words[2] = {kDataResponse | kDataRelease, CF_TEXT};
  std::memcpy(bytes, words, kDataHeader);
  std::memcpy(bytes + kDataHeader, text.data(), text.size());
  bytes[kDataHeader + text.size()] = 0;
  GlobalUnlock(block);
  return block;
}

}  // namespace

std::string AtomName(ATOM atom) {
  if (atom == 0) return std::string();
  char buf[256];
  UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
  return std::string(buf, n);
}

void UnpackAndFree(UINT msg, LPARAM lparam, UINT_PTR* low, UINT_PTR* high) {
  *low = 0;
  *high = 0;
  UnpackDDElParam(msg, lparam, low, high);
  FreeDDElParam(msg, lparam);
}

bool PostAck(HWND to, HWND from, WORD status, UINT_PTR second) {
  LPARAM lparam = PackDDElParam(WM_DDE_ACK, status, second);
  if (PostMessageA(to, WM_DDE_ACK, reinterpret_cast<WPARAM>(from), lparam)) return true;
  FreeDDElParam(WM_DDE_ACK, lparam);
  return false;
}

bool PostTextData(HWND to, HWND from, ATOM item, std::string_view text) {
  HGLOBAL block = MakeTextBlock(text);
  if (block == nullptr) return false;
  LPARAM lparam = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(block), item);
  if (PostMessageA(to, WM_DDE_DATA, reinterpret_cast<WPARAM>(from), lparam)) return true;
  FreeDDElParam(WM_DDE_DATA, lparam);
  GlobalFree(block);
  return false;
}

bool PostTerminate(HWND to, HWND from) {
  return PostMessageA(to, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(from), 0) != FALSE;
}

}  // namespace sim
