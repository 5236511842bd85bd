// Posting the server's side of DDE messages, with the ownership rules of the
// protocol: what a successful post hands to the partner, and what the sender
// must free again when a post fails.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace sim {

// The status words of WM_DDE_ACK.
constexpr WORD kAckPositive = 0x8000;  // fAck
constexpr WORD kAckNegative = 0x0000;

// The text of a global atom; "" for atom 0, which stands for an empty name.
std::string AtomName(ATOM atom);

// Splits a DDE message's lParam into its two values and frees the packed
// form (a no-op for the messages that are not packed).
void UnpackAndFree(UINT msg, LPARAM lparam, UINT_PTR* low, UINT_PTR* high);

// Posts WM_DDE_ACK carrying `second` (the item atom, or the command handle
// of an execute). On failure the packed lParam is freed and false returned;
// `second` then still belongs to the caller.
bool PostAck(HWND to, HWND from, WORD status, UINT_PTR second);

// Posts WM_DDE_DATA with CF_TEXT `text` for `item`, fResponse and fRelease
// set and fAckReq clear: on success the partner frees the block and deletes
// the atom. On failure the block is freed here and false returned; the atom
// still belongs to the caller.
bool PostTextData(HWND to, HWND from, ATOM item, std::string_view text);

// Posts WM_DDE_TERMINATE.
bool PostTerminate(HWND to, HWND from);

}  // namespace sim
