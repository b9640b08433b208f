#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class QEvent;

namespace ulv {

// A test page: a child of the page host on the program's grey (0xCDCDCD).
// Pages that want the received lines override OnReceivedLine.
class PageDialog : public QWidget {
    Q_OBJECT
public:
    // The margins kept right of the rightmost control and below the lowest.
    static constexpr int kNeededRightMargin = 19;
    static constexpr int kNeededBottomMargin = 10;
    // The width a laid-out page is given when its layout would like more.
    static constexpr int kLaidOutWidth = 480;

    explicit PageDialog(const QString& objectName, QWidget* parent = nullptr);
    // One line of the module's output, without its CR LF (WM_RECEIVED_LINE).
    virtual void OnReceivedLine(const QString& line) { Q_UNUSED(line); }
    // The room the page needs to show every control whole: the right edge of
    // its rightmost control and the bottom of its lowest, each with the
    // margin the pages keep. The page host sizes its pane and scrolls by it.
    virtual QSize NeededSize() const;
    // The module's port is gone (unplugged): the page shows its links, calls,
    // cycles and activations as ended. Its running task ends on its own.
    virtual void OnPortLost() {}

protected:
    bool event(QEvent* event) override;
};

} // namespace ulv
