#include "ui/Keys.h"

#include "forms/Control.h"
#include "forms/Form.h"

#include <QKeyEvent>

namespace tesmira::ui {

int vbKeyCode(int qtKey)
{
    // Letters and digits share their codes with VB.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash: return 191;
    default: break;
    }
    if (qtKey > 32 && qtKey < 127)
        return qtKey;
    return 0;
}

int vbShift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int vbKeyAscii(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    default: break;
    }
    const QString text = event.text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return 0;
    return text.at(0).unicode();
}

bool deliverKey(forms::Form* form, forms::Control& control, int keyCode, int keyAscii, int shift)
{
    if (keyCode == 0 && keyAscii == 0)
        return true;
    if (form && form->onKeyDown)
        form->onKeyDown(keyCode, shift);
    const int original = keyCode;
    if (keyCode != 0 && control.onKeyDown)
        control.onKeyDown(keyCode, shift);
    bool through = keyCode != 0 || original == 0;
    if (through && keyAscii != 0 && control.onKeyPress) {
        control.onKeyPress(keyAscii);
        through = keyAscii != 0;
    }
    if (original != 0 && control.onKeyUp)
        control.onKeyUp(original, shift);
    return through;
}

} // namespace tesmira::ui
