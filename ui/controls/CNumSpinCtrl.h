#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace ulv {

class CNumEdit;

// An up-down control that steps a CNumEdit buddy: range, step and value live
// in the buddy; each click on the upper or lower arrow moves the buddy's value
// by one step, stopping at the range ends. Holding the button repeats.
class CNumSpinCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CNumSpinCtrl(QWidget* parent = nullptr);

    virtual void SetDelta(float delta);
    virtual float GetDelta() const;
    // Makes the widget the buddy (a CNumEdit buddy is set to 0.0); returns the
    // previous buddy.
    virtual QWidget* SetBuddy(QWidget* buddy);
    virtual QWidget* GetBuddy() const { return m_buddy; }
    virtual void GetRange(float& minimum, float& maximum) const;
    virtual void SetRange(float minimum, float maximum);
    virtual float GetPos() const;
    virtual void SetPos(float value);

    // The spin's own position: it works in 0..1000 and is kept near 500 so
    // that it never meets its ends.
    int OwnPos() const { return m_pos; }

    QSize sizeHint() const override;

protected:
    // One click of the arrows, delta +1 (up) or -1 (down).
    void OnDeltaPos(int delta);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CNumEdit* NumBuddy() const;

    QPointer<QWidget> m_buddy;
    int m_pos = 500;
    int m_pressedDelta = 0;
    QTimer m_repeat;
};

} // namespace ulv
