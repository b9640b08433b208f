#pragma once

#include <QString>

#include <cstdint>

namespace ulv {

// One accelerator table entry.
struct ACCEL {
    std::uint8_t fVirt = 0;
    std::uint16_t key = 0;
    std::uint16_t cmd = 0;
};
constexpr std::uint8_t FVIRTKEY = 0x01;
constexpr std::uint8_t FSHIFT = 0x04;
constexpr std::uint8_t FCONTROL = 0x08;
constexpr std::uint8_t FALT = 0x10;

// Formats an accelerator as menu shortcut text: "Ctrl+", "Shift+", "Alt+"
// and the key's name ("Ctrl+Shift+S", "Alt+F4", "Ctrl+Del").
class CAccelText {
public:
    CAccelText() = default;
    explicit CAccelText(const ACCEL* accel)
        : m_pAccel(accel)
    {
    }

    void GetKeyText(QString& out) const;
    // Appends the name of a virtual key, with "+" unless it is the last.
    static void FormatKeyName(QString& out, int virtualKey, bool isLast);
    // The keyboard's name of a virtual key ("S", "F4", "Page Up", "Num 5").
    static QString KeyName(int virtualKey);

private:
    const ACCEL* m_pAccel = nullptr;
};

} // namespace ulv
