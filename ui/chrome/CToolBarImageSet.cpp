#include "ui/chrome/CToolBarImageSet.h"

#include "ui/controls/WinLook.h"

#include <QPainter>
#include <cmath>

namespace ulv {

bool CToolBarImageSet::Create(int imageWidth, int imageHeight, int trueColor, int initialCount)
{
    m_width = -1;
    m_height = -1;
    m_normal.clear();
    m_hot.clear();
    m_disabled.clear();
    if (imageWidth < 1 || imageHeight < 1)
        return false;
    m_trueColor = trueColor == 1;
    m_normal.reserve(std::size_t(std::max(0, initialCount)));
    m_width = imageWidth;
    m_height = imageHeight;
    return true;
}

int CToolBarImageSet::DarkChannel(int c) { return int(255.0 * std::pow(c / 255.0, 1.4)); }

int CToolBarImageSet::GreyLevel(int r, int g, int b)
{
    const double l = 0.587 * g + 0.114 * b + 0.299 * r;
    return int(255.0 * std::pow(l / 255.0, 0.5));
}

bool CToolBarImageSet::Load(const QString& bitmapPath)
{
    if (m_width < 1)
        return false;
    const QImage strip(bitmapPath);
    if (strip.isNull())
        return false;
    return Load(strip);
}

bool CToolBarImageSet::Load(const QImage& source)
{
    if (m_width < 1 || source.isNull())
        return false;
    // A strip without alpha marks its transparent pixels with the mask colour.
    const bool masked = !source.hasAlphaChannel();
    const QImage strip = source.convertToFormat(QImage::Format_ARGB32);
    const int count = strip.width() / m_width;
    for (int i = 0; i < count; ++i) {
        QImage normal = strip.copy(i * m_width, 0, m_width, std::min(m_height, strip.height()));
        if (normal.height() < m_height) {
            QImage full(m_width, m_height, QImage::Format_ARGB32);
            full.fill(Qt::transparent);
            QPainter(&full).drawImage(0, 0, normal);
            normal = full;
        }
        QImage hot = normal;
        QImage disabled = normal;
        for (int y = 0; y < m_height; ++y) {
            auto* n = reinterpret_cast<QRgb*>(normal.scanLine(y));
            auto* h = reinterpret_cast<QRgb*>(hot.scanLine(y));
            auto* d = reinterpret_cast<QRgb*>(disabled.scanLine(y));
            for (int x = 0; x < m_width; ++x) {
                const QRgb p = n[x];
                if (masked && (p | 0xFF000000) == kMaskColor) {
                    n[x] = h[x] = d[x] = 0;
                    continue;
                }
                const int a = qAlpha(p);
                h[x] = qRgba(DarkChannel(qRed(p)), DarkChannel(qGreen(p)), DarkChannel(qBlue(p)), a);
                const int g = GreyLevel(qRed(p), qGreen(p), qBlue(p));
                d[x] = qRgba(g, g, g, a);
            }
        }
        m_normal.push_back(normal);
        if (m_trueColor) {
            m_hot.push_back(hot);
            m_disabled.push_back(disabled);
        }
    }
    return true;
}

const std::vector<QImage>* CToolBarImageSet::GetImageList(int state) const
{
    if (m_width < 1)
        return nullptr;
    switch (state) {
    case 0:
        return &m_normal;
    case 1:
        return m_trueColor ? &m_hot : nullptr;
    case 2:
        return m_trueColor ? &m_disabled : nullptr;
    default:
        return nullptr;
    }
}

QPixmap CToolBarImageSet::Pixmap(int state, int index) const
{
    const std::vector<QImage>* list = GetImageList(state);
    if (!list && state >= 0 && state <= 2)
        list = GetImageList(0);
    if (!list || index < 0 || index >= int(list->size()))
        return {};
    return QPixmap::fromImage((*list)[std::size_t(index)]);
}

bool CToolBarImageSet::Draw(QPainter& painter, int x, int y, int state, int index) const
{
    if (state < 0 || state > 2 || m_width < 1)
        return false;
    if (index < 0 || index >= int(m_normal.size()))
        return true; // the list gives no picture: nothing to draw
    // Popup pictures always go into a 16 x 15 box, whatever the set's size.
    const QRect box(x, y, 16, 15);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_trueColor) {
        painter.drawImage(box, (*GetImageList(state))[std::size_t(index)]);
    } else if (state != 2) {
        painter.drawImage(box, m_normal[std::size_t(index)]);
    } else {
        const QImage small
            = m_normal[std::size_t(index)].scaled(16, 15, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        DrawDisabledImage(painter, box.topLeft(), small);
    }
    painter.restore();
    return true;
}

} // namespace ulv
