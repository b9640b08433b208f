#include "ui/controls/CNumEdit.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace ulv {

CNumEdit::CNumEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void CNumEdit::GetRange(float& minimum, float& maximum) const
{
    minimum = m_minimum;
    maximum = m_maximum;
}

void CNumEdit::SetRange(float minimum, float maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

int CNumEdit::IsValid(const QString& text) const
{
    const int code = CheckNumText(text, m_minimum, m_maximum);
    if (m_showErrors && (code == NumTextOutOfRange || code == NumTextNotANumber))
        ShowMessageBox(NumTextMessage(code), MB_OK | MB_ICONERROR);
    return code;
}

int CNumEdit::IsValid() const
{
    return IsValid(text());
}

float CNumEdit::GetValue() const
{
    float value = 0;
    if (CheckNumText(text(), m_minimum, m_maximum, &value) != NumTextValid)
        return m_minimum;
    return value;
}

bool CNumEdit::SetValue(float value)
{
    if (value > m_maximum || !(value >= m_minimum))
        return false;
    BuildFormat(value);
    setText(FormatFixed(value, m_decimalPlaces));
    return true;
}

QString CNumEdit::BuildFormat(float value)
{
    m_decimalPlaces = std::max(m_decimalPlaces, DecimalPlacesOf(value));
    return FixedFormat(m_decimalPlaces);
}

bool CNumEdit::ChangeAmount(int steps)
{
    float value = GetValue() + static_cast<float>(steps) * m_delta;
    if (value > m_maximum)
        value = m_maximum;
    else if (value < m_minimum)
        value = m_minimum;
    return SetValue(value);
}

void CNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QLatin1String(" ")) {
        event->accept();
        return;
    }
    const float old = GetValue();
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    // Keys that neither type nor change anything (cursor moves) are not checked.
    if (text() == before && (event->text().isEmpty() || !event->text()[0].isPrint()))
        return;
    float value = 0;
    const int code = CheckNumText(text(), m_minimum, m_maximum, &value);
    if (code == NumTextValid) {
        BuildFormat(value);
        return;
    }
    if (code == NumTextLoneSign)
        return;
    IsValid(); // the message, when errors are shown
    SetValue(old);
    selectAll();
    // The rest of a fast typed sequence would only build on the rejected text.
    QCoreApplication::removePostedEvents(this, QEvent::KeyPress);
}

} // namespace ulv
