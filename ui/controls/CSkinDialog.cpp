#include "ui/controls/CSkinDialog.h"

#include "ui/controls/ControlResources.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

CSkinDialog::CSkinDialog(QWidget* parent)
    : QDialog(parent)
{
}

CSkinDialog::~CSkinDialog() = default;

void CSkinDialog::FreeBitmap()
{
    if (m_hasRegion)
        clearMask();
    m_hasRegion = false;
    m_bitmap = QImage();
}

int CSkinDialog::SetBitmap(int bitmapId, qint64 transparent)
{
    ResourceStatus st = ResourceStatus::Missing;
    const QImage img = LoadBitmapResource(bitmapId, &st);
    if (st == ResourceStatus::Missing) {
        FreeBitmap();
        update();
        return 0;
    }
    if (st == ResourceStatus::Unreadable) {
        FreeBitmap();
        return 1;
    }
    return SetBitmap(img, transparent);
}

int CSkinDialog::SetBitmap(const QImage& bitmap, qint64 transparent)
{
    FreeBitmap();
    if (bitmap.isNull())
        return 1;
    m_bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    if (transparent != kNoTransparentColor) {
        const QRegion region = RegionFromBitmap(m_bitmap, COLORREF(transparent));
        if (region.isEmpty()) {
            FreeBitmap();
            return 3;
        }
        setMask(region);
        m_hasRegion = true;
    }
    update();
    return 0;
}

int CSkinDialog::SetBitmapMode(int mode, bool repaint)
{
    if (mode < 0 || mode > 12)
        return 2;
    m_byMode = mode;
    if (repaint)
        update();
    return 0;
}

int CSkinDialog::EnableEasyMove(bool enable)
{
    m_bEasyMove = enable;
    return 0;
}

int CSkinDialog::SizeToBitmap(bool repaint)
{
    m_byMode = 1;
    if (!m_bitmap.isNull())
        resize(m_bitmap.size());
    if (repaint)
        update();
    return 0;
}

QRect CSkinDialog::PlacementRect(int mode, QSize client, QSize bitmap)
{
    const int W = client.width(), H = client.height(), bw = bitmap.width(), bh = bitmap.height();
    switch (mode) {
    case 1: return QRect((W - bw) / 2, (H - bh) / 2, bw, bh);
    case 2: return QRect(0, 0, W, H);
    case 4: return QRect(0, H - bh, bw, bh);
    case 6: return QRect(W - bw, 0, bw, bh);
    case 8: return QRect(W - bw, 0, bw, bh);
    case 9: return QRect((W - bw) / 2, 0, bw, bh);
    case 10: return QRect(0, H - bh, bw, bh);
    case 11: return QRect(W - bw, H - bh, bw, bh);
    case 12: return QRect((W - bw) / 2, H - bh, bw, bh);
    default: return QRect(0, 0, bw, bh);
    }
}

QRegion CSkinDialog::RegionFromBitmap(const QImage& bitmap, COLORREF transparent)
{
    const QImage img = bitmap.convertToFormat(QImage::Format_RGB32);
    const int width = img.width() / 4 * 4;
    const QRgb key = ColorRefToRgb(transparent);
    QRegion region;
    // One rectangle per run of kept pixels gives the same shape as removing
    // the transparent pixels one by one.
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < width) {
            while (x < width && (line[x] | 0xFF000000u) == key)
                ++x;
            const int start = x;
            while (x < width && (line[x] | 0xFF000000u) != key)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

long CSkinDialog::OnReceivedLine(const QString&)
{
    return 1;
}

void CSkinDialog::OnDrawBackground(QImage&)
{
}

void CSkinDialog::paintEvent(QPaintEvent* event)
{
    if (m_bitmap.isNull() || width() <= 0 || height() <= 0) {
        QDialog::paintEvent(event);
        return;
    }
    QImage composed(size(), QImage::Format_RGB32);
    composed.fill(palette().color(backgroundRole()));
    {
        QPainter p(&composed);
        const int W = width(), H = height(), bw = m_bitmap.width(), bh = m_bitmap.height();
        auto tile = [&](int x0, int y0, bool acrossX, bool acrossY) {
            for (int y = y0; acrossY ? y < H : y == y0; y += bh)
                for (int x = x0; acrossX ? x < W : x == x0; x += bw)
                    p.drawImage(x, y, m_bitmap);
        };
        switch (m_byMode) {
        case 0: tile(0, 0, true, true); break;
        case 2: p.drawImage(QRect(0, 0, W, H), m_bitmap); break;
        case 3: tile(0, 0, true, false); break;
        case 4: tile(0, H - bh, true, false); break;
        case 5: tile(0, 0, false, true); break;
        case 6: tile(W - bw, 0, false, true); break;
        default: p.drawImage(PlacementRect(m_byMode, size(), m_bitmap.size()).topLeft(), m_bitmap); break;
        }
    }
    QPainter(this).drawImage(0, 0, composed);
    OnDrawBackground(composed);
}

void CSkinDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_bitmap.isNull())
        update();
}

void CSkinDialog::mousePressEvent(QMouseEvent* event)
{
    if (m_bEasyMove && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void CSkinDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void CSkinDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}

} // namespace ulv
