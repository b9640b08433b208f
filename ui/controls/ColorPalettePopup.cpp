#include "ui/controls/ColorPalettePopup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace ulv {

namespace {

constexpr int kGreys[12] = {255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};
const QColor kStrip(192, 192, 192);

// The colour of the pixel at a global position, read from whichever of the
// program's windows lies there.
bool PixelAt(const QPoint& global, COLORREF* out)
{
    QWidget* w = QApplication::widgetAt(global);
    if (!w)
        return false;
    const QPoint local = w->mapFromGlobal(global);
    const QImage px = w->grab(QRect(local, QSize(1, 1))).toImage();
    if (px.isNull())
        return false;
    *out = ColorRefFromRgb(px.pixel(0, 0));
    return true;
}

} // namespace

QString ColorPalettePopup::ColorText(COLORREF c)
{
    return QStringLiteral("#%1%2%3")
        .arg(GetRValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(c), 2, 16, QLatin1Char('0'))
        .toUpper();
}

ColorPalettePopup::ColorPalettePopup(COLORREF initial, const QPoint& pressGlobal, QWidget* owner)
    : QWidget(owner, Qt::Popup)
    , m_initial(initial)
    , m_current(initial)
    , m_pressPoint(pressGlobal)
{
    setWindowTitle(QStringLiteral("Palatte"));
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose);
}

COLORREF ColorPalettePopup::CellColor(int cell)
{
    if (cell < 0 || cell >= kColumns * kRows)
        return 0;
    const int col = cell % kColumns, row = cell / kColumns;
    if (col == 0)
        return Rgb(kGreys[row], kGreys[row], kGreys[row]);
    const int block = (col - 1) / 6;
    const int red = (row < 6 ? block : block + 3) * 51;
    const int green = ((col - 1) % 6) * 51;
    const int blue = (row % 6) * 51;
    return Rgb(red, green, blue);
}

int ColorPalettePopup::CellAt(const QPoint& pos)
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= kColumns * 10 || pos.y() >= kRows * 10)
        return -1;
    if (pos.x() % 10 == 9 || pos.y() % 10 == 9)
        return -1;
    return pos.x() / 10 + (pos.y() / 10) * kColumns;
}

void ColorPalettePopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    for (int cell = 0; cell < kColumns * kRows; ++cell) {
        const QRect r((cell % kColumns) * 10, (cell / kColumns) * 10, 9, 9);
        FillSolidRect(p, r, CellColor(cell));
    }
    for (int x = 9; x <= 179; x += 10)
        p.fillRect(QRect(x, 0, 1, 120), Qt::black);
    for (int y = 9; y <= 119; y += 10)
        p.fillRect(QRect(0, y, 190, 1), Qt::black);
    if (m_selected >= 0)
        DrawFocusRect(p, QRect((m_selected % kColumns) * 10 - 1, (m_selected / kColumns) * 10 - 1, 11, 11));

    p.fillRect(QRect(0, 120, kWidth, 30), kStrip);
    const QRect well(5, 125, 35, 18);
    p.fillRect(well, Qt::black);
    FillSolidRect(p, well.adjusted(1, 1, -1, -1), m_current);
    p.setFont(LogFont(QString::fromUtf8("宋体"), -12, 400));
    p.setPen(Qt::black);
    p.drawText(QRect(80, 127, 80, 16), Qt::AlignLeft | Qt::AlignTop, ColorText(m_current));

    const QRect button = DialogButtonRect();
    p.fillRect(button, kStrip);
    if (m_dialogDown)
        Draw3dRect(p, button, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else
        Draw3dRect(p, button, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    const QPoint o = button.topLeft() + QPoint(3, 3) + (m_dialogDown ? QPoint(1, 1) : QPoint());
    p.fillRect(QRect(o, QSize(5, 5)), Qt::red);
    p.fillRect(QRect(o + QPoint(2, 2), QSize(5, 5)), Qt::green);
    p.fillRect(QRect(o + QPoint(4, 4), QSize(5, 5)), Qt::yellow);
}

void ColorPalettePopup::Track(const QPoint& global)
{
    if (global != m_pressPoint)
        m_moved = true;
    const QPoint pos = mapFromGlobal(global);
    if (rect().contains(pos) && pos.y() < 120) {
        const int cell = CellAt(pos);
        if (cell != m_selected) {
            m_selected = cell;
            if (cell >= 0)
                m_current = CellColor(cell);
        }
        unsetCursor();
    } else if (rect().contains(pos)) {
        m_current = m_initial;
        m_selected = -1;
        setCursor(Qt::ArrowCursor);
    } else {
        COLORREF picked;
        if (PixelAt(global, &picked))
            m_current = picked;
        m_selected = -1;
        setCursor(Qt::CrossCursor);
    }
    update();
}

void ColorPalettePopup::mousePressEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (!rect().contains(event->position().toPoint())) {
        // A press outside ends the palette like a loss of activation.
        Finish(m_moved);
        return;
    }
    if (DialogButtonRect().contains(event->position().toPoint())) {
        m_dialogDown = true;
        update();
        return;
    }
    m_pressPoint = global;
    m_moved = false;
    m_pressedHere = true;
}

void ColorPalettePopup::mouseMoveEvent(QMouseEvent* event)
{
    Track(event->globalPosition().toPoint());
}

void ColorPalettePopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dialogDown) {
        m_dialogDown = false;
        if (DialogButtonRect().contains(event->position().toPoint())) {
            m_finished = true;
            Q_EMIT DialogRequested();
            close();
        }
        update();
        return;
    }
    Track(event->globalPosition().toPoint());
    // Released right where the opening press was: keep the palette open for
    // a click on a cell.
    if (m_moved || m_pressedHere)
        Finish(true);
}

void ColorPalettePopup::Finish(bool choose)
{
    if (m_finished)
        return;
    m_finished = true;
    if (choose)
        Q_EMIT Chosen(m_current);
    else
        Q_EMIT Cancelled();
    close();
}

void ColorPalettePopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    Finish(m_moved);
}

} // namespace ulv
