#pragma once

#include <QComboBox>
#include <functional>

namespace ulv {

// A combo box that runs a hook just before its list drops down (the port
// lists refill themselves there, so a port plugged in meanwhile shows).
class DropDownComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void SetDropDownHook(std::function<void()> hook) { m_onDropDown = std::move(hook); }
    void showPopup() override
    {
        if (m_onDropDown)
            m_onDropDown();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_onDropDown;
};

} // namespace ulv
