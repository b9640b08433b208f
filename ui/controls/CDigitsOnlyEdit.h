#pragma once

#include <QLineEdit>

namespace ulv {

// An edit that takes only digits (main row or keypad) and the editing keys
// Backspace, Delete, Left and Right. Judged by the character a key produces,
// so Shift+1 ("!") stays out; pasted text is held to digits as well.
class CDigitsOnlyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDigitsOnlyEdit(QWidget* parent = nullptr);

    static bool Accepts(int key, const QString& produced);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ulv
