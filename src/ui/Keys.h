#pragma once
// Qt key events as the form model's handlers expect them: VB key codes for key down and up,
// the character code for key press, and the shift mask (1 Shift, 2 Ctrl, 4 Alt).
#include <Qt>

class QKeyEvent;

namespace tesmira::forms {
class Control;
class Form;
} // namespace tesmira::forms

namespace tesmira::ui {

// VB's key code of the key (vbKeyF2 = 113, vbKeyDelete = 46, "." = 190 ...); 0 for keys VB has
// no code for (modifier keys alone).
int vbKeyCode(int qtKey);
int vbShift(Qt::KeyboardModifiers modifiers);
// What key press receives: the character typed, 13 for Enter, 8 Backspace, 27 Esc, 9 Tab;
// 0 when the key types nothing (function and arrow keys raise no key press).
int vbKeyAscii(const QKeyEvent& event);

// Raises a key stroke as the form does: the form's key down (key preview; form may be null), then the control's
// key down, key press (only when the key types something and key down let it through) and key up.
// Answers false when a handler ate the key (set it to 0), so the widget must not act on it.
bool deliverKey(forms::Form* form, forms::Control& control, int keyCode, int keyAscii, int shift);

} // namespace tesmira::ui
