#pragma once

#include "ui/controls/WinLook.h"

#include <QStatusBar>
#include <array>

namespace ulv {

// The main window's status bar: five sunken panes, the first stretching over
// whatever the other four leave. Those four keep their widths unless a text
// needs more (a long port path), then they widen to show it whole. The
// program writes the panes by number.
class FrameStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 5;
    static constexpr std::array<int, kPaneCount> kPaneIds { 59146, 51, 52, 53, 54 };
    static constexpr std::array<int, kPaneCount> kPaneWidths { 0, 250, 170, 180, 120 };
    static constexpr int kPaneGap = 2;
    // Room between a pane's edge and its text.
    static constexpr int kTextMargin = 2;

    explicit FrameStatusBar(QWidget* parent = nullptr);

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    // What a pane shows now: the first one shows a menu prompt while it lasts.
    QString ShownText(int pane) const;
    // A pane's rectangle in the bar's coordinates; empty for a bad index.
    QRect PaneRect(int pane) const;
    // The width of pane 1 to 4 now.
    int PaneWidth(int pane) const;
    void SetBkColor(COLORREF color);
    COLORREF BkColor() const { return m_crBack; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::array<QString, kPaneCount> m_texts;
    mutable std::array<int, kPaneCount> m_widths {-1, -1, -1, -1, -1};
    COLORREF m_crBack;
};

} // namespace ulv
