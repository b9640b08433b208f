#include "ui/controls/CTransparentLabel.h"

#include "ui/controls/WinLook.h"

#include <QPainter>

namespace ulv {

CTransparentLabel::CTransparentLabel(QWidget* parent)
    : QLabel(parent)
{
    Init();
}

CTransparentLabel::CTransparentLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    Init();
}

void CTransparentLabel::Init()
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground, false);
    setFont(LogFont(QStringLiteral("Arial Unicode MS"), -12, 500));
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CTransparentLabel::paintEvent(QPaintEvent*)
{
    // No fill: what lies under the label is the parent's own painting.
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    int flags = int(alignment());
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    p.drawText(contentsRect(), flags, text());
}

} // namespace ulv
