// The program's serial port driving the simulated module.

#include "sim/SimFixture.h"

#include "platform/MessageBox.h"
#include "serial/CSerialPort.h"
#include "common/EventLoopWait.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace ulv;

namespace {

// Keeps every notification the port sends, in order.
class Owner : public QObject {
public:
    std::vector<QByteArray> chunks;
    QByteArray received;
    bool hungUp = false;

    bool event(QEvent* e) override
    {
        if (e->type() < QEvent::User)
            return QObject::event(e);
        auto* se = static_cast<SerialEvent*>(e);
        if (se->Message() == WM_SERIAL_DATA && !se->Data().isEmpty()) {
            chunks.push_back(se->Data());
            received += se->Data();
        } else if (se->Message() == WM_SERIAL_HANGUP) {
            hungUp = true;
        }
        return true;
    }

    template <class Pred>
    bool WaitFor(Pred done, int timeoutMs = 30000)
    {
        return ::ulv::test::RunEventsUntil(done, timeoutMs);
    }

    QByteArray Exchange(CSerialPort& port, const QByteArray& command, const QByteArray& end)
    {
        received.clear();
        chunks.clear();
        port.PostWrite(command);
        WaitFor([&] { return received.endsWith(end); });
        return received;
    }
};

class SerialPortAgainstSim : public sim::SimFixture {
protected:
    void OpenPort()
    {
        ASSERT_EQ(m_port.OpenPort(&m_owner, QString::fromStdString(SlavePath()), 115200, 'N', 8, 1, 0x1FD, 2048, 0), 1);
        ASSERT_EQ(m_port.StartMonitor(), 1);
    }

    MessageBoxRecorder m_boxes;
    Owner m_owner;
    CSerialPort m_port;
};

} // namespace

TEST_F(SerialPortAgainstSim, EchoOnAndOff)
{
    OpenPort();
    EXPECT_EQ(m_owner.Exchange(m_port, "AT\r\n", "OK\r\n"), QByteArray("AT\r\r\nOK\r\n"));
    EXPECT_EQ(m_owner.Exchange(m_port, "ATE0\r\n", "OK\r\n"), QByteArray("ATE0\r\r\nOK\r\n"));
    EXPECT_EQ(m_owner.Exchange(m_port, "AT\r\n", "OK\r\n"), QByteArray("\r\nOK\r\n"));
    EXPECT_TRUE(WaitForCommand("AT", 1s));
    EXPECT_EQ(Received(), "AT\r\nATE0\r\nAT\r\n");
}

TEST_F(SerialPortAgainstSim, ReplyCutBetweenCrAndLfArrivesInTwoChunks)
{
    AddFault("AT+CSQ | split 1; gap 100");
    OpenPort();
    m_owner.Exchange(m_port, "ATE0\r\n", "OK\r\n");
    EXPECT_EQ(m_owner.Exchange(m_port, "AT+CSQ\r\n", "OK\r\n"), QByteArray("\r\n+CSQ: 20,99\r\n\r\nOK\r\n"));
    ASSERT_EQ(m_owner.chunks.size(), 2u);
    EXPECT_EQ(m_owner.chunks[0], QByteArray("\r"));
}

TEST_F(SerialPortAgainstSim, DroppedLineReachesThePortAsHangUp)
{
    AddFault("AT+CFUN | hangup");
    OpenPort();
    m_port.PostWrite(QByteArray("AT+CFUN=0\r\n"));
    EXPECT_TRUE(m_owner.WaitFor([&] { return m_owner.hungUp; }));
    EXPECT_EQ(m_owner.received, QByteArray("AT+CFUN=0\r"));
}
