#pragma once

#include <QTextEdit>

namespace ulv {

// A diagnostic rich edit box that reports, in a message box, the screen
// position of every mouse hit test (each move of the mouse over it).
class CHitTestRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CHitTestRichEdit(QWidget* parent = nullptr);

protected:
    void OnNcHitTest(const QPoint& screen);
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace ulv
