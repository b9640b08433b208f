#pragma once

#include "ui/controls/WinLook.h"

#include <QProgressBar>
#include <QString>

#include <atomic>
#include <functional>

namespace ulv {

// Progress bar that paints itself: a colour gradient from the start colour at
// the left edge to the end colour at the right edge of the full bar, of which
// the done part is shown, the rest in the background colour, and an optional
// caption centred over the bar while the position lies strictly inside the
// range. Workers may call every setter: changes are queued to the UI thread.
class CTextProgressCtrl : public QProgressBar {
    Q_OBJECT
public:
    explicit CTextProgressCtrl(QWidget* parent = nullptr);

    // Each returns the previous value: the range as lower | upper << 16, the
    // position, the step.
    int SetRange(int lower, int upper);
    int SetPos(int position);
    int SetStep(int step);
    int StepIt();

    int GetPos() const { return m_nPos; }
    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }
    int GetStep() const { return m_nStep; }

    void SetCaption(const QString& caption);
    void SetBarColors(COLORREF start, COLORREF end);
    void SetBkColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetShowText(bool show);

    QString Caption() const { return m_strCaption; }
    bool ShowsText() const { return m_bShowText; }

    // Width of the done part for a client width (0 when the position is at
    // or outside the range).
    int FillWidth(int clientWidth) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnUiThread(std::function<void()> fn);

    QString m_strCaption;
    std::atomic<int> m_nLower{0};
    std::atomic<int> m_nUpper{100};
    std::atomic<int> m_nStep{10};
    std::atomic<int> m_nPos{0};
    COLORREF m_crStart = 0x0000FF;
    COLORREF m_crEnd = 0xFF0000;
    COLORREF m_crBk;
    COLORREF m_crText = 0xFFFFFF;
    bool m_bShowText = false;
};

} // namespace ulv
