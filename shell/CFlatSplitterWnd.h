#pragma once

#include <QBrush>
#include <QSplitter>
#include <functional>

namespace ulv {

// The main window's 1 x 3 splitter: flat 4-pixel bars filled with a pattern,
// no border around the panes. The bar between the navigation pane and the page
// host stays put, and the page host never stays narrower than its width: once
// the splitter was pressed, passing the mouse over a bar left of that limit
// brings the default widths back.
class CFlatSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 4;
    static constexpr int kLeftWidth = 107;

    explicit CFlatSplitterWnd(QWidget* parent = nullptr);

    // Width of the page host (m_nWidthMidView); read each time it is needed.
    void SetMidWidthSource(std::function<int()> source) { m_midWidth = std::move(source); }
    int MidWidth() const;
    // Columns 107 / the page host's width / the rest (at least 0).
    void SetDefaultWidths();
    bool Pressed() const { return m_bPressed; }
    const QBrush& BarBrush() const { return m_barBrush; }

    // The handle's press and move, in splitter coordinates; true when the
    // handle may go on with its own drag processing.
    bool HandlePress(int x);
    void HandleMove(int x);

protected:
    QSplitterHandle* createHandle() override;

private:
    std::function<int()> m_midWidth;
    QBrush m_barBrush;
    bool m_bPressed = false;
};

} // namespace ulv
