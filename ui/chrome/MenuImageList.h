#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

class QPainter;

namespace ulv {

// A masked image list of equally sized pictures, as the menu classes keep
// their item pictures: strips are cut into pictures of the list's size and a
// mask colour becomes transparent.
class MenuImageList {
public:
    MenuImageList() = default;
    MenuImageList(int width, int height) { Create(width, height); }

    void Create(int width, int height);
    bool IsCreated() const { return m_width > 0 && m_height > 0; }
    void Clear() { m_images.clear(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return int(m_images.size()); }

    // Adds every picture of a strip, cut at the list's width (a strip narrower
    // than one picture gives one); pixels of the mask colour become
    // transparent. Index of the first added picture; -1 for a null strip or a
    // list never created.
    int AddMasked(const QImage& strip, QRgb mask);
    // Adds one picture as it is (an icon), cropped or padded to the size.
    int Add(const QImage& picture);
    bool Replace(int index, const QImage& picture);
    // The picture at an index; null when out of range.
    QImage Image(int index) const;
    // Draws a picture transparently with its top-left corner at (x, y);
    // false when the index is out of range.
    bool Draw(QPainter& p, int index, int x, int y) const;

private:
    QImage Fit(const QImage& picture) const;

    int m_width = 0;
    int m_height = 0;
    std::vector<QImage> m_images;
};

} // namespace ulv
