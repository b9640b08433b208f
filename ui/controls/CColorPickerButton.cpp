#include "ui/controls/CColorPickerButton.h"

#include "ui/controls/ColorPalettePopup.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace ulv {

CColorPickerButton::CColorPickerButton(QWidget* parent)
    : QPushButton(parent)
    , m_color(GetSysColor(COLOR_BTNFACE))
{
}

CColorPickerButton::~CColorPickerButton()
{
    if (m_palette)
        m_palette->deleteLater();
}

void CColorPickerButton::SetColor(COLORREF color)
{
    m_color = color & 0xFFFFFF;
    Q_EMIT ColorChanged(m_color);
    if (m_buddy)
        m_buddy->setProperty("text", ColorText());
    update();
}

QWidget* CColorPickerButton::SetBuddy(QWidget* buddy)
{
    m_buddy = buddy;
    return buddy;
}

void CColorPickerButton::GetColorText(QString& out) const
{
    out = ColorText();
}

QString CColorPickerButton::ColorText() const
{
    return ColorPalettePopup::ColorText(m_color);
}

QPoint CColorPickerButton::PalettePosition(const QRect& button, const QRect& screen)
{
    const int w = ColorPalettePopup::kWidth, h = ColorPalettePopup::kHeight;
    int left = std::min(button.left(), screen.right() + 1 - w);
    left = std::max(left, screen.left());
    const int bottom = button.bottom() + 1;
    int top = bottom - 1;
    if (top + h > screen.bottom() + 1)
        top = bottom - 151;
    return {left, top};
}

void CColorPickerButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_palette) {
        QPushButton::mousePressEvent(event);
        return;
    }
    OpenPalette(event->globalPosition().toPoint());
}

void CColorPickerButton::OpenPalette(const QPoint& pressGlobal)
{
    auto* palette = new ColorPalettePopup(m_color, pressGlobal, this);
    m_palette = palette;
    const QRect global(mapToGlobal(QPoint(0, 0)), size());
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    palette->move(PalettePosition(global, area));
    connect(palette, &ColorPalettePopup::Chosen, this, &CColorPickerButton::OnChosen);
    connect(palette, &ColorPalettePopup::DialogRequested, this, &CColorPickerButton::OnDialogRequested,
            Qt::QueuedConnection);
    connect(palette, &ColorPalettePopup::Cancelled, this, [this] { update(); });
    palette->show();
    update();
}

void CColorPickerButton::OnChosen(COLORREF color)
{
    m_palette = nullptr;
    if (color != m_color)
        SetColor(color);
    else
        update();
}

void CColorPickerButton::OnDialogRequested()
{
    m_palette = nullptr;
    const QColor chosen = QColorDialog::getColor(ColorRefToQColor(m_color), this, QString(),
                                                 QColorDialog::DontUseNativeDialog);
    if (chosen.isValid())
        SetColor(ColorRefFromQColor(chosen));
    update();
}

void CColorPickerButton::paintEvent(QPaintEvent*)
{
    const int W = width(), H = height();
    if (W < 8 || H < 8)
        return;
    QPainter p(this);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF white = 0xFFFFFF;
    FillSolidRect(p, rect(), face);
    Draw3dRect(p, rect(), white, dark);
    Draw3dRect(p, rect().adjusted(1, 1, -1, -1), face, face);
    FillSolidRect(p, QRect(3, 3, W - 6, H - 6), m_color);
    // One pixel outside the well: dark along top and left, white along the
    // bottom and right with a notch for the arrow at the bottom-right.
    const int xr = W - 3, yb = H - 3;
    FillSolidRect(p, QRect(2, 2, xr - 2, 1), dark);
    FillSolidRect(p, QRect(2, 2, 1, yb - 2), dark);
    FillSolidRect(p, QRect(xr - 5, yb - 3, 6, 4), face);
    FillSolidRect(p, QRect(2, yb, xr - 6 - 2 + 1, 1), white);
    FillSolidRect(p, QRect(xr - 6, yb - 4, 1, 5), white);
    FillSolidRect(p, QRect(xr - 6, yb - 4, 7, 1), white);
    FillSolidRect(p, QRect(xr, 2, 1, yb - 4 - 2), white);
    FillSolidRect(p, QRect(xr - 5, yb - 3, 5, 1), 0);
    FillSolidRect(p, QRect(xr - 4, yb - 2, 3, 1), 0);
    FillSolidRect(p, QRect(xr - 3, yb - 1, 1, 1), 0);
}

} // namespace ulv
