#pragma once

#include "ui/controls/CFlatComboBox.h"

#include <functional>

namespace ulv {

// A combo box that runs a hook just before its list drops down (the port
// lists refill themselves there, so a port plugged in meanwhile shows).
class DropDownComboBox : public CFlatComboBox {
public:
    using CFlatComboBox::CFlatComboBox;
    void SetDropDownHook(std::function<void()> hook) { m_onDropDown = std::move(hook); }
    void showPopup() override
    {
        if (m_onDropDown)
            m_onDropDown();
        CFlatComboBox::showPopup();
    }

private:
    std::function<void()> m_onDropDown;
};

} // namespace ulv
