#pragma once

#include "ui/chrome/CCaptionButton.h"

#include <QFont>
#include <QTimer>
#include <QWidget>

namespace ulv {

class AutoHideGroup;
struct AutoHideTabItem;

// The window that slides out of an auto-hide strip with one page of a pinned
// bar and slides back once the cursor has left it.
class CAutoHideFloatWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSlideIn = 1;
    static constexpr int kSlideOut = 2;
    static constexpr int kStepMs = 50;
    static constexpr int kHideCheckMs = 400;
    static constexpr int kCaptionBand = 16;

    explicit CAutoHideFloatWnd(QWidget* parent = nullptr);

    void SetSide(unsigned sideStyle) { m_dwStyle = sideStyle; }
    unsigned Side() const { return m_dwStyle; }
    // Starts sliding in (1) or out (2) over duration ms, in 50 ms steps.
    void StartSlide(int direction, int duration);
    bool IsSliding() const { return m_bSliding; }
    int StepCount() const { return m_nSteps; }
    // The rectangle where the window rests when fully out (parent coordinates).
    QRect m_rcFull;
    bool m_bHoverLock = false;
    AutoHideGroup* m_pGroup = nullptr;
    AutoHideTabItem* m_pShowing = nullptr;
    QString m_Title;
    bool m_bActive = false;

    // Border widths (left, top, right, bottom) for the side.
    QMargins Borders() const;
    // The page area inside borders and caption.
    QRect ClientRect() const;
    QRect CaptionRect() const;
    CCaptionCloseButton m_closeButton;
    CCaptionFlatButton m_pinButton;
    // Whether the window is wide enough to carry its caption buttons.
    bool ShowsButtons() const;

    // Hit codes of the window's frame.
    static constexpr int HTNOWHERE = 0;
    static constexpr int HTCLIENT = 1;
    static constexpr int HTLEFT = 10;
    static constexpr int HTRIGHT = 11;
    static constexpr int HTTOP = 12;
    static constexpr int HTBOTTOM = 15;
    static constexpr int HTPINBUTTON = 22;
    static constexpr int HTCLOSEBUTTON = 23;
    static constexpr int HTCAPTIONBAND = 26;
    // The caption buttons, the caption, then the one sizing edge: the edge
    // that faces the frame's centre. The other edges size nothing.
    int HitTest(const QPoint& pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void PlaceButtons();
    void PlaceStep();
    void OnSlideTimer();
    void OnHideCheck();

    unsigned m_dwStyle = 0;
    int m_nStep = 0;
    int m_nSteps = 1;
    int m_direction = 0;
    bool m_bSliding = false;
    QTimer m_slideTimer;
    QTimer m_hideTimer;
    QFont m_font;
    // An inner-edge drag: its hit code (0 when none), where it began and the
    // window's rectangle then.
    int m_sizing = 0;
    QPoint m_sizeFrom;
    QRect m_sizeStart;
};

} // namespace ulv
