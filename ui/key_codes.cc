// Key codes from platform messages and the keyboard layout.
#include "ui/key_codes.h"

namespace kor {

uint16_t HeldModifiers() {
  uint16_t bits = 0;
  if (GetKeyState(VK_SHIFT) < 0) bits |= kKeyShift;
  if (GetKeyState(VK_CONTROL) < 0) bits |= kKeyCtrl;
  if (GetKeyState(VK_MENU) < 0) bits |= kKeyAlt;
  return bits;
}

namespace {

uint16_t ButtonCode(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: return kKeyLeftButton;
    case WM_RBUTTONDOWN: return kKeyRightButton;
    case WM_MBUTTONDOWN: return kKeyMiddleButton;
    case WM_LBUTTONDBLCLK: return kKeyLeftDouble;
    case WM_RBUTTONDBLCLK: return kKeyRightDouble;
    case WM_MBUTTONDBLCLK: return kKeyMiddleDouble;
    default: return 0;
  }
}

}  // namespace

uint16_t KeyCodeOfMessage(const MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
    return static_cast<uint16_t>((msg.wParam & 0xFF) | HeldModifiers());
  uint16_t button = ButtonCode(msg.message);
  return button == 0 ? 0 : static_cast<uint16_t>(button | HeldModifiers());
}

char CharacterOfKey(uint16_t code) {
  BYTE state[256] = {};
  if (code & kKeyShift) state[VK_SHIFT] = 0x80;
  if (code & kKeyCtrl) state[VK_CONTROL] = 0x80;
  if (code & kKeyAlt) state[VK_MENU] = 0x80;
  UINT vk = code & 0xFF;
  WORD out[2] = {0, 0};
  int n = ToAscii(vk, MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */), state, out, 0);
  return n == 1 ? static_cast<char>(out[0] & 0xFF) : 0;
}

uint16_t KeyCodeOfCharacter(char c) {
  SHORT scan = VkKeyScanA(c);
  if (scan == -1) return 0;
  // VkKeyScanA gives the shift state in its high byte with the same bit order
  // as the key code's modifiers (1 Shift, 2 Ctrl, 4 Alt).
  return static_cast<uint16_t>(((scan & 0x0700) | (scan & 0xFF)) & kKeyCodeMask);
}

}  // namespace kor
