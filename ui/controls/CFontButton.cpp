#include "ui/controls/CFontButton.h"

#include "ui/controls/ControlResources.h"

#include <QApplication>
#include <QPainter>

namespace ulv {

CFontButton::CFontButton(QWidget* parent)
    : QPushButton(parent)
{
    Init();
}

CFontButton::CFontButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    Init();
}

CFontButton::~CFontButton() = default;

void CFontButton::Init()
{
    m_font = font();
    setAttribute(Qt::WA_Hover, true);
    connect(this, &QAbstractButton::clicked, this, &CFontButton::OnClicked);
}

CFontButton& CFontButton::Done(bool repaint)
{
    if (repaint)
        update();
    return *this;
}

CFontButton& CFontButton::SetShowText(bool show, bool repaint)
{
    m_bShowText = show;
    return Done(repaint);
}

CFontButton& CFontButton::SetBold(bool bold, bool repaint)
{
    m_font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return Done(repaint);
}

CFontButton& CFontButton::SetFaceName(const QString& face, bool repaint)
{
    m_font.setFamily(face.left(31));
    return Done(repaint);
}

CFontButton& CFontButton::SetUnderline(bool underline, bool repaint)
{
    m_font.setUnderline(underline);
    return Done(repaint);
}

CFontButton& CFontButton::SetItalic(bool italic, bool repaint)
{
    m_font.setItalic(italic);
    return Done(repaint);
}

CFontButton& CFontButton::SetPointSize(int points, bool repaint)
{
    // Only the size changes: weight, face and style stay.
    if (points > 0)
        m_font.setPointSize(points);
    return Done(repaint);
}

CFontButton& CFontButton::SetLogFont(const QFont& font, bool repaint)
{
    m_font = font;
    return Done(repaint);
}

CFontButton& CFontButton::SetTextShadow(bool on, int dx, int dy, bool repaint)
{
    m_bShadow = on;
    m_shadowOffset = {dx, dy};
    return Done(repaint);
}

CFontButton& CFontButton::SetShadowColor(COLORREF color, bool repaint)
{
    m_crShadow = color;
    return Done(repaint);
}

CFontButton& CFontButton::SetDisabledEmboss(bool on, bool repaint)
{
    m_bDisabledEmboss = on;
    return Done(repaint);
}

int CFontButton::SetBitmaps(int normal, int pressed, int hover, int disabled)
{
    const auto images = LoadResourceImages(LoadBitmapResource, {normal, pressed, hover, disabled});
    if (!images) {
        SetBitmaps(QImage());
        return 0;
    }
    return SetBitmaps((*images)[0], (*images)[1], (*images)[2], (*images)[3]);
}

int CFontButton::SetBitmaps(const QImage& normal, const QImage& pressed, const QImage& hover,
                            const QImage& disabled)
{
    m_normal = normal;
    m_pressed = normal.isNull() ? QImage() : pressed;
    m_hover = normal.isNull() ? QImage() : hover;
    m_disabled = normal.isNull() ? QImage() : disabled;
    update();
    return 1;
}

int CFontButton::SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hover, bool repaint)
{
    m_crNormal = normal;
    m_crPressed = pressed;
    m_crHover = hover;
    Done(repaint);
    return 1;
}

int CFontButton::SetTextAlign(int align, bool repaint)
{
    if (align < 0 || align > 2)
        return 0;
    m_align = align;
    Done(repaint);
    return 1;
}

int CFontButton::SetFocusRect(bool on, bool repaint)
{
    m_bDrawFocusRect = on;
    Done(repaint);
    return 1;
}

int CFontButton::SetFocusRectInset(int x, int y)
{
    m_focusInset = {x, y};
    return 1;
}

int CFontButton::SetSound(const QString& sound, bool click, bool async)
{
    (click ? m_clickSound : m_hoverSound) = sound.left(259);
    (click ? m_clickAsync : m_hoverAsync) = async;
    return 1;
}

int CFontButton::SetButtonCursor(int cursorId, bool repaint)
{
    if (cursorId == 0) {
        unsetCursor();
        Done(repaint);
        return 1;
    }
    const QImage img = LoadIconResource(cursorId);
    if (img.isNull())
        return 0;
    setCursor(QCursor(QPixmap::fromImage(img), 0, 0));
    Done(repaint);
    return 1;
}

int CFontButton::SizeToBitmap()
{
    if (m_normal.isNull())
        return 0;
    resize(m_normal.size());
    return 1;
}

void CFontButton::OnClicked()
{
    setFocus(Qt::MouseFocusReason);
    if (!m_clickSound.isEmpty())
        PlaySoundFile(m_clickSound, m_clickAsync);
}

void CFontButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (m_bHover || (QApplication::mouseButtons() & Qt::LeftButton))
        return;
    m_bHover = true;
    update();
    if (!m_hoverSound.isEmpty())
        PlaySoundFile(m_hoverSound, m_hoverAsync);
}

void CFontButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    if (m_bHover) {
        m_bHover = false;
        update();
    }
}

void CFontButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    if (m_bHover) {
        m_bHover = false;
        update();
    }
}

void CFontButton::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    const QRect item = rect();
    m_bPressed = isDown();
    m_bFocused = hasFocus();
    m_bDisabled = !isEnabled();
    if (!m_normal.isNull())
        DrawBitmap(p, item);
    if (m_bShowText && !text().isEmpty())
        DrawCaption(p, item, text());
    if (m_bDrawFocusRect && m_bFocused) {
        QRect focus = item.adjusted(m_focusInset.x(), m_focusInset.y(), -m_focusInset.x(), -m_focusInset.y());
        if (m_bPressed)
            focus.translate(m_pressedShift);
        DrawFocusRect(p, focus);
    }
}

void CFontButton::DrawBitmap(QPainter& p, const QRect& item)
{
    if (m_bDisabled && !m_disabled.isNull()) {
        p.drawImage(item.topLeft(), m_disabled);
    } else if (m_bDisabled) {
        DrawDisabledImage(p, item.topLeft(), m_normal);
    } else if (m_bPressed && !m_pressed.isNull()) {
        p.drawImage(item.topLeft(), m_pressed);
    } else if (m_bPressed) {
        p.drawImage(item.topLeft() + m_pressedShift, m_normal);
    } else if (m_bHover && !m_hover.isNull()) {
        p.drawImage(item.topLeft(), m_hover);
    } else {
        p.drawImage(item.topLeft(), m_normal);
    }
}

void CFontButton::DrawCaption(QPainter& p, QRect item, const QString& text)
{
    if (m_bPressed)
        item.translate(m_pressedShift);
    p.save();
    p.setFont(m_font);
    const int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;
    QRect block = p.fontMetrics().boundingRect(QRect(0, 0, std::max(1, item.width()), 100000), flags, text);
    const int freeW = item.width() - block.width(), freeH = item.height() - block.height();
    const int dx = m_align == 0 ? freeW / 5 : m_align == 1 ? freeW * 4 / 5 : freeW / 2;
    block.moveTo(item.left() + dx, item.top() + freeH / 2 - 1);
    if (m_bDisabled && m_bDisabledEmboss) {
        DrawEmbossedText(p, block, flags, text);
    } else if (m_bPressed) {
        p.setPen(ColorRefToQColor(m_crPressed));
        p.drawText(block, flags, text);
    } else {
        if (m_bShadow) {
            p.setPen(ColorRefToQColor(m_crShadow));
            p.drawText(block.translated(m_shadowOffset), flags, text);
        }
        p.setPen(ColorRefToQColor(m_bHover ? m_crHover : m_crNormal));
        p.drawText(block, flags, text);
    }
    p.restore();
}

} // namespace ulv
