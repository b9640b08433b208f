#pragma once

#include "ui/controls/WinLook.h"

#include <QImage>
#include <QPushButton>
#include <QRegion>

namespace ulv {

// A button skinned entirely with pictures: normal, pressed, hovered, focused
// and disabled faces, and a mask whose white pixels are cut out of the
// window so that the button can have any shape. It behaves as a push button,
// a check box or a radio button (radio buttons of one parent uncheck each
// other).
class CMaskBitmapButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kPush = 0;
    static constexpr int kCheckBox = 2;
    static constexpr int kRadio = 4;
    // The draw modes of the faces.
    static constexpr short kNormal = 0;
    static constexpr short kStretch = 1;
    static constexpr short kTile = 2;

    explicit CMaskBitmapButton(const QString& text = {}, QWidget* parent = nullptr);

    // Takes the kind from button style bits: an auto check box (both low bits)
    // or an auto radio button (bits 0 and 3).
    void PreSubclassWindow(unsigned style);
    int Kind() const { return m_kind; }

    // Null images are missing faces; a missing disabled face uses the normal
    // one. Without a mask the result is false and the window keeps its shape;
    // with one, the window takes the mask's shape (and its size in draw mode 0).
    bool SetSkin(const QImage& normal, const QImage& pressed, const QImage& hover, const QImage& disabled,
        const QImage& focus, const QImage& mask, short drawMode = kStretch, short edge = 0, short margin = 0);
    COLORREF SetTextColor(COLORREF color);
    void SetToolTipText(const QString& text);

    // BM_SETCHECK / BM_GETCHECK.
    void SetCheck(bool checked);
    bool GetCheck() const { return m_checked; }
    bool IsHovered() const { return m_hovered; }
    bool IsHeld() const { return m_held; }
    short DrawMode() const { return m_drawMode; }
    short Margin() const { return m_margin; }

    // The window shape of a mask: every run of non-white pixels of a row.
    static QRegion RegionFromMask(const QImage& mask);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawFace(QPainter& p, const QImage& face, const QRect& r) const;
    void Uncheck();

    bool m_checked = false;
    int m_kind = kPush;
    bool m_hovered = false;
    bool m_held = false;
    QImage m_normal, m_pressed, m_disabled, m_mask, m_hover, m_focus;
    short m_margin = 0;
    COLORREF m_textColor;
    short m_edge = 0;
    short m_drawMode = kStretch;
};

} // namespace ulv
