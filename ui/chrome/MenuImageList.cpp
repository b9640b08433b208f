#include "ui/chrome/MenuImageList.h"

#include <QPainter>

namespace ulv {

void MenuImageList::Create(int width, int height)
{
    m_width = width;
    m_height = height;
    m_images.clear();
}

QImage MenuImageList::Fit(const QImage& picture) const
{
    QImage out(m_width, m_height, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, picture.convertToFormat(QImage::Format_ARGB32));
    return out;
}

int MenuImageList::AddMasked(const QImage& strip, QRgb mask)
{
    if (strip.isNull() || !IsCreated())
        return -1;
    QImage src = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = mask | 0xFF000000u;
    for (int y = 0; y < src.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(src.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key && qAlpha(line[x]) == 255)
                line[x] = 0;
        }
    }
    const int first = Count();
    const int count = std::max(1, src.width() / m_width);
    for (int i = 0; i < count; ++i)
        m_images.push_back(Fit(src.copy(i * m_width, 0, m_width, std::min(m_height, src.height()))));
    return first;
}

int MenuImageList::Add(const QImage& picture)
{
    if (picture.isNull() || !IsCreated())
        return -1;
    m_images.push_back(Fit(picture));
    return Count() - 1;
}

bool MenuImageList::Replace(int index, const QImage& picture)
{
    if (index < 0 || index >= Count() || picture.isNull())
        return false;
    m_images[std::size_t(index)] = Fit(picture);
    return true;
}

QImage MenuImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_images[std::size_t(index)];
}

bool MenuImageList::Draw(QPainter& p, int index, int x, int y) const
{
    if (index < 0 || index >= Count())
        return false;
    p.drawImage(x, y, m_images[std::size_t(index)]);
    return true;
}

} // namespace ulv
