#pragma once

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QWidget>

#include <functional>

namespace ulv::test {

// The widget as a user would see it, as 32-bit pixels.
inline QImage Grab(QWidget& w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// True when some pixel inside r matches.
inline bool HasPixelMatching(const QImage& img, const QRect& r, const std::function<bool(QRgb)>& match)
{
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(img.pixel(x, y)))
                return true;
    return false;
}

// True when some pixel inside r has exactly this colour.
inline bool HasPixel(const QImage& img, const QRect& r, QRgb color)
{
    return HasPixelMatching(img, r, [color](QRgb c) { return c == color; });
}

inline QImage Solid(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

inline void SendEnter(QWidget& w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w.mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(&w, &e);
}

inline void SendLeave(QWidget& w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(&w, &e);
}

} // namespace ulv::test
