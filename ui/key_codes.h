// The runtime's 11-bit key codes: the platform's virtual-key code in bits 0
// to 7 and the modifiers above it. Alert keys, hot keys, PRESS and the key
// code of an event all use this scheme.
//
//   BITS    MEANING
//   0-7     virtual-key code (13 Enter, 45 Insert, 46 Delete, 65 'A' ...)
//   0x100   Shift held
//   0x200   Ctrl held  (Ctrl+Enter is 525)
//   0x400   Alt held
//
// Mouse buttons count as keys too: a press of the left, right or middle
// button is 1, 2 or 4 (their virtual keys) and a double click 5, 6 or 7, each
// with the modifiers held. So an alert key 5 answers a double click with the
// left button.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kor {

inline constexpr uint16_t kKeyShift = 0x100;
inline constexpr uint16_t kKeyCtrl = 0x200;
inline constexpr uint16_t kKeyAlt = 0x400;
inline constexpr uint16_t kKeyCodeMask = 0x7FF;

inline constexpr uint16_t kKeyLeftButton = 1;
inline constexpr uint16_t kKeyRightButton = 2;
inline constexpr uint16_t kKeyMiddleButton = 4;
inline constexpr uint16_t kKeyLeftDouble = 5;
inline constexpr uint16_t kKeyRightDouble = 6;
inline constexpr uint16_t kKeyMiddleDouble = 7;

// The modifier bits of the keys held now (the thread's keyboard state).
uint16_t HeldModifiers();
// The key code a keyboard key-down or mouse-button-down message stands for
// (with the modifiers held now); 0 for any other message.
uint16_t KeyCodeOfMessage(const MSG& msg);
// The character a key code types (its modifiers as the shift state); 0 when
// it types none.
char CharacterOfKey(uint16_t code);
// The key code that types a character on the current keyboard layout; 0 when
// no key does.
uint16_t KeyCodeOfCharacter(char c);

}  // namespace kor
