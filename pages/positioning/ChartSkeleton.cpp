#include "pages/positioning/ChartSkeleton.h"

#include "ui/controls/WinLook.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace ulv {

namespace {

constexpr unsigned kWsVisible = 0x10000000;

void PutLe16(QByteArray& out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void PutLe32(QByteArray& out, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

ChartSkeleton::ChartSkeleton(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

bool ChartSkeleton::Create(const QString& windowName, unsigned style, const QRect& rect, QWidget* parent, int id)
{
    if (parent && parentWidget() != parent)
        setParent(parent);
    setWindowTitle(windowName);
    setObjectName(QString::number(id));
    setGeometry(rect);
    UpdateClientRect();
    OnChartCreated();
    setVisible((style & kWsVisible) != 0);
    return true;
}

void ChartSkeleton::UpdateClientRect()
{
    m_rectClient = {0, 0, width(), height()};
}

QImage ChartSkeleton::Render()
{
    UpdateClientRect();
    QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    QPainter p(&image);
    PaintAll(p);
    p.end();
    return image;
}

void ChartSkeleton::PaintAll(QPainter& p)
{
    // The skeleton's frame: the client rectangle filled in the background grey.
    p.fillRect(QRect(0, 0, std::max(1, width()), std::max(1, height())), ColorRefToQColor(kBackground));
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(Qt::white));
    DrawChart(p);
}

void ChartSkeleton::paintEvent(QPaintEvent* /*event*/)
{
    // The widget's own back buffer keeps this flicker-free.
    UpdateClientRect();
    QPainter p(this);
    PaintAll(p);
}

void ChartSkeleton::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
    setFocus(Qt::OtherFocusReason);
}

bool ChartSkeleton::SaveAsBitmap(const QString& path)
{
    const QImage image = Render().convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    const int stride = ((24 * w + 31) / 32) * 4;
    const qint64 imageSize = qint64(h) * stride;

    QByteArray bmp;
    bmp.reserve(int(54 + imageSize));
    bmp.append("BM", 2);
    PutLe32(bmp, imageSize + 54);
    PutLe32(bmp, 0);
    PutLe32(bmp, 54);
    PutLe32(bmp, 40);
    PutLe32(bmp, w);
    PutLe32(bmp, h);
    PutLe16(bmp, 1);
    PutLe16(bmp, 24);
    PutLe32(bmp, 0); // no compression
    PutLe32(bmp, imageSize);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    // Rows bottom-up, blue green red, each padded to four bytes.
    for (int y = h - 1; y >= 0; --y) {
        const uchar* row = image.constScanLine(y);
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            line[3 * x] = char(row[3 * x + 2]);
            line[3 * x + 1] = char(row[3 * x + 1]);
            line[3 * x + 2] = char(row[3 * x]);
        }
        bmp.append(line);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bmp) == bmp.size() && file.flush();
}

QFont ChartFont(const QString& face, int pixelHeight, int weight)
{
    QFont f(face);
    // The height is the character cell's, internal leading included.
    f.setPixelSize(std::max(1, int(pixelHeight / 1.15 + 0.5)));
    f.setWeight(weight >= 700 ? QFont::Black : QFont::Normal);
    return f;
}

QRect EdgeRect(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect EdgeRect(const ChartRect& r)
{
    return EdgeRect(r.left, r.top, r.right, r.bottom);
}

} // namespace ulv
