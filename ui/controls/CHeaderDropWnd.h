#pragma once

#include <QWidget>

namespace ulv {

// The drop marker of a column drag: a downward arrow over an upward arrow,
// 12 pixels wide and the header's height + 20 high, in a solid colour.
class CHeaderDropWnd : public QWidget {
    Q_OBJECT
public:
    explicit CHeaderDropWnd(QRgb color);
    bool Create(int headerHeight);
    // Centres the marker's gap on (x, y), screen coordinates.
    void SetPosition(int x, int y);
    QRgb Color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRgb m_color;
    int m_height = 0;
};

} // namespace ulv
