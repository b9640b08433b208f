#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QLineEdit;

namespace ulv {

// An IP address control of four fields, 0 to 255 each, framed in red. A dot
// or a third digit moves on to the next field; a value above 255 becomes 255.
class CFlatIPAddressCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kFrame = 0xFFFF0000; // COLORREF 0x0000FF

    explicit CFlatIPAddressCtrl(QWidget* parent = nullptr);

    // The number of non-blank fields.
    int GetAddress(std::uint8_t& f0, std::uint8_t& f1, std::uint8_t& f2, std::uint8_t& f3) const;
    int GetAddress(std::uint32_t& address) const;
    void SetAddress(std::uint8_t f0, std::uint8_t f1, std::uint8_t f2, std::uint8_t f3);
    void SetAddress(std::uint32_t address);
    void ClearAddress();
    bool IsBlank() const;
    QLineEdit* Field(int index) const { return m_fields[size_t(index)]; }

Q_SIGNALS:
    // A field's value changed (EN_CHANGE / IPN_FIELDCHANGED).
    void FieldChanged(int field, int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(int field);

    std::array<QLineEdit*, 4> m_fields{};
};

} // namespace ulv
