#pragma once

#include <QLineEdit>

namespace ulv {

// An overtype edit for fixed time and date layouts. The mask's low bits admit
// character classes (1 digits, 2 letters, 4 other printable characters); the
// layouts 9 (hh:mm:ss), 241 (yyyy-mm-dd) and 209 (four pairs) have fixed
// separators that nothing is typed into and the caret jumps over. Enter and
// Escape close a pop-up editor or are reported to the owner.
class CMaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr unsigned kTime = 9;
    static constexpr unsigned kDate = 241;
    static constexpr unsigned kPairs = 209;
    // The number of the owner report.
    static constexpr int WM_MASKEDEDIT_KEY = 0x4C8;

    explicit CMaskedEdit(QWidget* parent = nullptr);

    bool Create(const QRect& rect, QWidget* parent, int id);
    void SetMask(unsigned mask);
    unsigned GetMask() const { return m_mask; }
    // 1 while the edit is used as a pop-up editor: Enter and Escape hide it.
    int m_bPopup = 0;
    int m_nPopupResult = 0;

    // Whether the layout has a separator at this position.
    static bool IsSeparator(unsigned mask, int position);
    static bool IsLayout(unsigned mask);
    static int LastTypingPosition(unsigned mask);

Q_SIGNALS:
    // WM_MASKEDEDIT_KEY: wParam 13 for Enter, 27 for Escape; lParam the repeat
    // count (low word) and key flags (high word).
    void MaskedEditKey(long wParam, long lParam);

protected:
    virtual void OnBadChar() {}
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void TypeChar(QChar c);
    void MoveCaret(int step);

    unsigned m_mask = 0;
    bool m_bDeleteAllowed = false;
};

} // namespace ulv
