#pragma once

#include "ui/controls/WinLook.h"

#include <QPoint>
#include <QRect>

class QImage;
class QPainter;

namespace ulv {

// A line as the classic MoveTo/LineTo pair draws it: one pixel wide, from
// `from` up to but not including `to`, so that joined lines share no pixel.
void DrawLineTo(QPainter& p, QPoint from, QPoint to, COLORREF color);

// Inverts every pixel of r in the image (the pressed look of a header item).
void InvertImageRect(QImage& image, const QRect& r);

} // namespace ulv
