#include "ui/core/KeyFilters.h"

namespace ulv {

namespace {

bool IsEditingKey(int key)
{
    return key == Qt::Key_Backspace || key == Qt::Key_Delete;
}

bool IsCursorKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

// The one printable character a key press produces, or a null QChar.
QChar TypedChar(Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    if (text.size() != 1 || !text[0].isPrint())
        return {};
    return text[0];
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsHexChar(QChar c)
{
    const char16_t u = c.unicode();
    return IsAsciiDigit(c) || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

} // namespace

bool HexKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (IsEditingKey(key) || IsCursorKey(key))
        return true;
    if (modifiers & Qt::ControlModifier)
        return !(modifiers & (Qt::AltModifier | Qt::MetaModifier))
            && (key == Qt::Key_V || key == Qt::Key_C || key == Qt::Key_A);
    const QChar c = TypedChar(modifiers, text);
    return c == QLatin1Char(' ') || IsHexChar(c);
}

bool DialKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (IsEditingKey(key) || key == Qt::Key_Left || key == Qt::Key_Right)
        return true;
    const QChar c = TypedChar(modifiers, text);
    return IsAsciiDigit(c) || c == QLatin1Char('+');
}

} // namespace ulv
