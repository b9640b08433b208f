#pragma once

#include <QByteArray>
#include <QEvent>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace ulv {

// Notifications a port sends its owner. The numbers are the window-message
// numbers the rest of the program knows them by; as Qt events they are
// QEvent::User + number.
enum SerialMessage : int {
    WM_SERIAL_CTS = 0x402,
    WM_SERIAL_DSR = 0x403,
    WM_SERIAL_RING = 0x405,
    WM_SERIAL_DCD = 0x406,
    WM_SERIAL_DATA = 0x407,
    WM_SERIAL_DATA_SYNC = 0x40A,
    // Our own: the device went away (unplugged module, closed pseudo-terminal).
    // Sent once; the monitor has ended when it arrives.
    WM_SERIAL_HANGUP = 0x40B,
};

inline QEvent::Type MessageEventType(int message)
{
    return static_cast<QEvent::Type>(QEvent::User + message);
}

// One notification. A data chunk travels inside its event and owns its bytes,
// so nothing has to be handed back before the port can read on; destroying the
// event (after it was handled, or when it is dropped) returns its share of the
// port's in-flight budget.
class SerialEvent : public QEvent {
public:
    SerialEvent(int message, long wParam, QString port, std::uint64_t portId, QByteArray data = {},
        std::function<void()> onDestroy = {});
    ~SerialEvent() override;

    int Message() const { return m_message; }
    // WM_SERIAL_DATA*: the chunk length; line messages: 1 when the line is on.
    long WParam() const { return m_wParam; }
    // The device path the port was opened on (the LPARAM of the line messages).
    const QString& Port() const { return m_port; }
    // Identifies the open port the event came from: a notification whose id is
    // not the current port's belongs to a port since closed and is dropped.
    std::uint64_t PortId() const { return m_portId; }
    const QByteArray& Data() const { return m_data; }

private:
    int m_message;
    long m_wParam;
    QString m_port;
    std::uint64_t m_portId;
    QByteArray m_data;
    std::function<void()> m_onDestroy;
};

} // namespace ulv
