#include "ui/controls/CLogFileEdit.h"

#include <QDesktopServices>
#include <QUrl>

namespace ulv {

CLogFileEdit::CLogFileEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("1001"));
    setReadOnly(true);
    SetTextColor(0);
}

void CLogFileEdit::SetBkColor(COLORREF color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorRefToQColor(color));
    pal.setColor(QPalette::Window, ColorRefToQColor(color));
    setPalette(pal);
    update();
}

void CLogFileEdit::SetTextColor(COLORREF color)
{
    m_crText = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Text, ColorRefToQColor(color));
    setPalette(pal);
    update();
}

void CLogFileEdit::SetOpener(Opener opener)
{
    m_opener = std::move(opener);
}

QString CLogFileEdit::LogPathFromText(const QString& text)
{
    const int at = text.indexOf(QLatin1String("Log file:"));
    if (at < 0)
        return {};
    // The label, its colon and one separator.
    return text.mid(at + 10).trimmed();
}

void CLogFileEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QString path = LogPathFromText(text());
    if (!path.isEmpty()) {
        if (m_opener)
            m_opener(path);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

} // namespace ulv
