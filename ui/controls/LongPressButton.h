#pragma once

#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinButton.h"

#include <QMouseEvent>

#include <cstdint>

namespace ulv {

// A button that tells a long press from a short one. The duration is measured
// from the press to the release that clicks, and is used up by the click that
// asks for it: a later click from the keyboard counts as short.
template <class Button>
class LongPressButton : public Button {
public:
    using Button::Button;

    // Whether the press before this click was held longer than thresholdMs.
    bool WasLongPress(std::uint32_t thresholdMs)
    {
        const std::uint32_t held = m_pressDuration;
        m_pressDuration = 0;
        return held > thresholdMs;
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_pressDownTick = this->NowTicks();
        Button::mousePressEvent(event);
    }
    // Measured before the default handling, which emits the click.
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_pressDuration = this->NowTicks() - m_pressDownTick;
        Button::mouseReleaseEvent(event);
    }

private:
    std::uint32_t m_pressDownTick = 0;
    std::uint32_t m_pressDuration = 0;
};

// The keypad's "0/+" key.
using CLongPressImageButton = LongPressButton<CImageButton>;
// The keypad's "C" key.
using CLongPressSkinButton = LongPressButton<CSkinButton>;

} // namespace ulv
