#pragma once

#include <QTextEdit>

namespace ulv {

// A rich edit box that can be switched to hex-only input: key presses that
// cannot be part of hex text are dropped before the box sees them. Text set
// by the program or pasted is not filtered.
class CHexRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CHexRichEdit(QWidget* parent = nullptr);

    void SetHexOnly(bool hexOnly) { m_hexOnly = hexOnly; }
    bool IsHexOnly() const { return m_hexOnly; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_hexOnly = false;
};

} // namespace ulv
