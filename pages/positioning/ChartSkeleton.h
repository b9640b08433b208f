#pragma once

#include "core/gnss/ChartRect.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

namespace ulv {

// What the three GNSS charts share: a child window that paints its own
// drawing over a grey (0xCDCDCD) background in one step, takes the keyboard
// focus on a key press, and can write what it shows to a BMP file.
class ChartSkeleton : public QWidget {
    Q_OBJECT
public:
    // The background of every chart.
    static constexpr unsigned kBackground = 0xCDCDCD;

    explicit ChartSkeleton(QWidget* parent = nullptr);

    // Creates the window at rect (parent coordinates) with the id as its object
    // name; visible when style says so (WS_VISIBLE). Returns true.
    virtual bool Create(const QString& windowName, unsigned style, const QRect& rect, QWidget* parent, int id);
    // Called once the window exists; nothing by default.
    virtual void OnChartCreated() {}

    // Writes the client area as an uncompressed 24-bit BMP, always a new file.
    // False when the file cannot be written.
    bool SaveAsBitmap(const QString& path);

    // The whole client area as it is painted now.
    QImage Render();

    const ChartRect& ClientRect() const { return m_rectClient; }

protected:
    // The chart's own drawing over the background, in client coordinates.
    virtual void DrawChart(QPainter& p) = 0;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    void UpdateClientRect();
    void PaintAll(QPainter& p);

    ChartRect m_rectClient;
};

// A chart font: the system's face, a pixel height and a weight (400 normal, 900 heavy).
QFont ChartFont(const QString& face, int pixelHeight, int weight);

// Windows' rectangle (left, top, right, bottom; right and bottom excluded) as a QRect.
QRect EdgeRect(const ChartRect& r);
QRect EdgeRect(int left, int top, int right, int bottom);

} // namespace ulv
