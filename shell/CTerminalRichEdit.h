#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace ulv {

// The terminal's text box: read-only display, and every key typed into it goes
// straight to the module as one byte (the module's echo shows what was typed).
class CTerminalRichEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CTerminalRichEdit(QWidget* parent = nullptr);

    // Where typed bytes go; by default the page host's open port.
    void SetByteSender(std::function<void(unsigned char)> sender) { m_sendByte = std::move(sender); }
    // "C&lear all" empties more than the widget: the pane's own record too.
    void SetClearHandler(std::function<void()> clear) { m_clear = std::move(clear); }

    // The context menu as it is shown now.
    QMenu* BuildContextMenu();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::function<void(unsigned char)> m_sendByte;
    std::function<void()> m_clear;
};

} // namespace ulv
