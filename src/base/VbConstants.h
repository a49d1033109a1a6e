#pragma once
// VB's named constants the screen's handlers use: key codes and shift masks of the key
// events (key press gets the character, which for Enter and Tab is the same number), and the
// message-box flags (buttons + icon + default button, added together).
namespace tesmira::vb {

inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeyDelete = 46;
inline constexpr int vbKeyF2 = 113;
inline constexpr int vbKeyF7 = 118;
inline constexpr int vbKeyF10 = 121;

inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

} // namespace tesmira::vb
