#include "core/at/PortTransmitter.h"
#include "PtyPair.h"
#include "serial/CSerialPort.h"

#include <gtest/gtest.h>
#include <vector>

using namespace ulv;

namespace {

QByteArray Pattern(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char('a' + (i * 7 + i / 26) % 26);
    return data;
}

} // namespace

TEST(PortTransmitter, PacesFullPiecesAndStopsOnceThePortRefuses)
{
    PtyPair pty;
    auto port = std::make_shared<CSerialPort>();
    ASSERT_EQ(port->OpenPort(nullptr, pty.SlavePath(), 115200, 'N', 8, 1, 0x1FD, 2048, 0), 1);
    ASSERT_EQ(port->StartMonitor(), 1);
    PortTransmitter tx;
    tx.SetPort(port);
    std::vector<std::chrono::milliseconds> pauses;
    tx.SetPauseHook([&pauses](std::chrono::milliseconds d) { pauses.push_back(d); });

    const QByteArray text = Pattern(2 * PortTransmitter::kPieceSize + 300);
    tx.SendRawBytes(text);
    EXPECT_EQ(pty.Read(text.size(), 3000), text);
    EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(2, PortTransmitter::kPiecePause));

    // A closed port takes nothing: the writer drops the text at its first
    // refused piece instead of sitting out a pause per piece.
    port->ClosePort();
    pauses.clear();
    tx.SendRawBytes(Pattern(20 * PortTransmitter::kPieceSize));
    EXPECT_TRUE(tx.WaitUntilWritten(std::chrono::seconds(5)));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(tx.QueuedBytes(), 0);
}
