#pragma once

#include "ui/controls/WinLook.h"

#include <QDialog>
#include <QImage>
#include <QPoint>

namespace ulv {

// Dialog base with a background picture in one of thirteen placements, an
// optional window shape cut from the picture's transparent colour, a drag by
// a click anywhere, and a hook that sees the composed background before the
// controls paint over it.
class CSkinDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr qint64 kNoTransparentColor = -1;

    explicit CSkinDialog(QWidget* parent = nullptr);
    ~CSkinDialog() override;

    // 0 done (also when the picture id names no picture: the dialog then has
    // none); 1 an unreadable picture; 3 the window shape could not be built.
    int SetBitmap(int bitmapId, qint64 transparent = kNoTransparentColor);
    int SetBitmap(const QImage& bitmap, qint64 transparent = kNoTransparentColor);
    // Modes 0..12 (tiled, centred, stretched, edges and corners); 2 above 12.
    int SetBitmapMode(int mode, bool repaint = true);
    int GetBitmapMode() const { return m_byMode; }
    int EnableEasyMove(bool enable = true);
    int SizeToBitmap(bool repaint = true);
    bool HasBitmap() const { return !m_bitmap.isNull(); }

    // Where a picture of size bitmap goes in a client area of size client.
    static QRect PlacementRect(int mode, QSize client, QSize bitmap);
    // The window shape for a picture: everything but the transparent pixels,
    // over a width rounded down to a multiple of 4.
    static QRegion RegionFromBitmap(const QImage& bitmap, COLORREF transparent);

    // The received-line message of the page host; answered with 1.
    virtual long OnReceivedLine(const QString& line);

protected:
    // Called after each repaint of the background with the composed picture
    // (client coordinates). Derived dialogs read it, e.g. for their
    // transparent buttons. Nothing to do in the base.
    virtual void OnDrawBackground(QImage& composed);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FreeBitmap();

    QImage m_bitmap;
    bool m_hasRegion = false;
    int m_byMode = 0;
    bool m_bEasyMove = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace ulv
