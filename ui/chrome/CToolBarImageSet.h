#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <vector>

class QPainter;

namespace ulv {

// One strip of equally sized button pictures as three lists: the pictures as
// drawn, a darker copy for the hot look and a light grey copy for disabled
// commands. Pixels of the mask colour (0, 128, 0) in a strip without alpha are
// transparent in all three lists.
class CToolBarImageSet {
public:
    static constexpr QRgb kMaskColor = 0xFF008000;

    CToolBarImageSet() = default;
    virtual ~CToolBarImageSet() = default;

    // Empties the lists and sizes them; trueColor 1 gives the three lists,
    // anything else one list whose disabled pictures are embossed when drawn.
    bool Create(int imageWidth, int imageHeight, int trueColor, int initialCount);
    // Adds every picture of a strip; false before Create or when the strip
    // cannot be read.
    bool Load(const QString& bitmapPath);
    bool Load(const QImage& strip);
    // Draws one picture into a 16 x 15 box at (x, y); state 0 normal, 1 hot,
    // 2 disabled. False for another state or a set never created.
    bool Draw(QPainter& painter, int x, int y, int state, int index) const;
    // The list of a state; null for a state outside 0..2 or a list this set
    // does not have.
    const std::vector<QImage>* GetImageList(int state) const;

    int ImageWidth() const { return m_width; }
    int ImageHeight() const { return m_height; }
    int Count() const { return int(m_normal.size()); }
    // A picture of a state as a pixmap (empty when out of range).
    QPixmap Pixmap(int state, int index) const;

    // The per-channel transforms of the hot and the disabled copies.
    static int DarkChannel(int c);
    static int GreyLevel(int r, int g, int b);

private:
    std::vector<QImage> m_normal;
    std::vector<QImage> m_hot;
    std::vector<QImage> m_disabled;
    bool m_trueColor = false;
    int m_width = -1;
    int m_height = -1;
};

} // namespace ulv
