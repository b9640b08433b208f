#include "serial/SerialMessages.h"

namespace ulv {

SerialEvent::SerialEvent(int message, long wParam, QString port, std::uint64_t portId, QByteArray data,
    std::function<void()> onDestroy)
    : QEvent(MessageEventType(message))
    , m_message(message)
    , m_wParam(wParam)
    , m_port(std::move(port))
    , m_portId(portId)
    , m_data(std::move(data))
    , m_onDestroy(std::move(onDestroy))
{
}

SerialEvent::~SerialEvent()
{
    if (m_onDestroy)
        m_onDestroy();
}

} // namespace ulv
