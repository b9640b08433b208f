#pragma once

#include <QString>
#include <QWidget>

class QEvent;

namespace ulv {

// A test page: a child of the page host on the program's grey (0xCDCDCD).
// Pages that want the received lines override OnReceivedLine.
class PageDialog : public QWidget {
    Q_OBJECT
public:
    explicit PageDialog(const QString& objectName, QWidget* parent = nullptr);
    // One line of the module's output, without its CR LF (WM_RECEIVED_LINE).
    virtual void OnReceivedLine(const QString& line) { Q_UNUSED(line); }
    // The module's port is gone (unplugged): the page shows its links, calls,
    // cycles and activations as ended. Its running task ends on its own.
    virtual void OnPortLost() {}

protected:
    bool event(QEvent* event) override;
};

} // namespace ulv
