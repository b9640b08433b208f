#pragma once

#include <QPushButton>

namespace ulv {

// An owner-drawn push button with a thin 3-D frame, a centred caption and a
// grey background; every other paint has the parent redraw under it.
class CMyFlatButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr unsigned kBackground = 0xCDCDCD;

    explicit CMyFlatButton(const QString& text = QString(), QWidget* parent = nullptr);

    bool AlwaysRaised() const { return m_alwaysRaised; }
    void SetAlwaysRaised(bool on)
    {
        m_alwaysRaised = on;
        update();
    }
    bool PaintToggle() const { return m_paintToggle; }

protected:
    virtual void DrawButton(QPainter& p, const QRect& r, bool selected, bool focused, bool disabled);
    virtual void DrawFrame(QPainter& p, QRect& r, bool selected, bool focused);
    virtual void DrawCaption(QPainter& p, const QRect& r, const QString& text, bool disabled);

    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_alwaysRaised = true;
    bool m_paintToggle = false;
};

} // namespace ulv
