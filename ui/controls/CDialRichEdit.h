#pragma once

#include <QTextEdit>

namespace ulv {

// The number box of the voice keypad: only digits, '+', Backspace, Delete,
// Left and Right get through from the keyboard.
class CDialRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CDialRichEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ulv
