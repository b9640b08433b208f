#include "shell/core/FileSender.h"
#include "shell/core/SendPanelRules.h"

#include <gtest/gtest.h>

#include <deque>

using namespace ulv;
using namespace ulv::SendPanelRules;

TEST(SendPanelRules, SpecialCharactersSendTheirBytes)
{
    const QStringList names = SpecialCharNames();
    ASSERT_EQ(names.size(), 37);
    EXPECT_EQ(names[kDefaultSpecialChar], "CTRL+Z");
    const struct {
        const char* name;
        unsigned char byte;
    } cases[] = {{"CTRL+A", 0x01}, {"CTRL+Z", 0x1A}, {"NULL", 0x00}, {"SOH", 0x01}, {"BEL", 0x07},
        {"BACKSPACE", 0x08}, {"NAK", 0x15}, {"ESC", 0x1B}};
    for (const auto& c : cases)
        EXPECT_EQ(SpecialCharByte(int(names.indexOf(c.name))), c.byte) << c.name;
    EXPECT_EQ(SpecialCharByte(-1), 0x00);
    EXPECT_EQ(SpecialCharByte(37), 0x00);
}

TEST(SendPanelRules, PayloadsOfTextAndHexViews)
{
    EXPECT_EQ(TextPayload("AT", true), QByteArray("AT\r\n"));
    EXPECT_EQ(TextPayload("AT", false), QByteArray("AT"));
    EXPECT_EQ(TextPayload(QString::fromUtf8("\xC3\xA9"), false), QByteArray("\xC3\xA9"));

    const struct {
        const char* view;
        bool enter;
        QByteArray bytes;
        QByteArray display;
    } cases[] = {
        {"41 00 42", true, QByteArray("A\0B\r\n", 5), "A B\r\n"},
        {"41 54 ", false, "AT", "AT"},
        {"", true, "\r\n", "\r\n"},
    };
    for (const auto& c : cases) {
        QByteArray bytes, display;
        HexPayload(c.view, c.enter, bytes, display);
        EXPECT_EQ(bytes.toHex(' '), c.bytes.toHex(' ')) << c.view;
        EXPECT_EQ(display, c.display) << c.view;
    }
}

TEST(SendPanelRules, TheHexKeyFilter)
{
    const struct {
        int vk;
        bool ctrl, shift;
        KeyVerdict verdict;
    } cases[] = {
        {'0', false, false, KeyVerdict::Pass},
        {'9', false, false, KeyVerdict::Pass},
        {'A', false, false, KeyVerdict::Pass},
        {'F', false, true, KeyVerdict::Pass},
        {'G', false, false, KeyVerdict::Discard},
        {0x08, false, false, KeyVerdict::Pass},
        {0x20, false, false, KeyVerdict::Pass},
        {0x2E, false, false, KeyVerdict::Pass},  // delete
        {0xBE, false, false, KeyVerdict::Discard}, // full stop
        {0x25, false, false, KeyVerdict::Discard}, // left arrow
        {0x60, false, false, KeyVerdict::Pass},
        {0x69, false, true, KeyVerdict::Discard},
        {'C', true, false, KeyVerdict::Copy},
        {'V', true, false, KeyVerdict::Paste},
        {'X', true, false, KeyVerdict::Discard},
        {'A', true, false, KeyVerdict::Discard},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexKeyVerdict(c.vk, c.ctrl, c.shift), c.verdict) << std::hex << c.vk;

    // Qt keys reach the filter as virtual keys; the full stop must not pass as
    // delete although Qt gives it the same number.
    EXPECT_EQ(VirtualKeyFromQt(0x2e, false), 0);
    EXPECT_EQ(VirtualKeyFromQt(0x01000007, false), 0x2E);
    EXPECT_EQ(VirtualKeyFromQt(0x35, true), 0x65);
    EXPECT_EQ(VirtualKeyFromQt(0x35, false), 0x35);
    EXPECT_EQ(VirtualKeyFromQt(0x01000012, false), 0);
}

TEST(SendPanelRules, ProgressArithmeticForShortAndLongFiles)
{
    const struct {
        std::int64_t sent, length;
        int position;
    } cases[] = {{64, 80, 80}, {0, 80, 0}, {80, 80, 100}, {0, 0, 100}, {2048, 5000, 40},
        {std::int64_t(3) << 40, std::int64_t(4) << 40, 75}};
    for (const auto& c : cases)
        EXPECT_EQ(ProgressPosition(c.sent, c.length), c.position) << c.sent << "/" << c.length;
    EXPECT_EQ(ProgressCaption(4096), "4096 Bytes");
    EXPECT_EQ(SizeLabel(5000), "(size: 5000 Bytes)");
}

TEST(SendPanelRules, FlowControlBytesAreFoundOnlyAtPairPositions)
{
    const struct {
        const char* hex;
        unsigned char byte;
        bool holds;
    } cases[] = {{"13", 0x13, true}, {"0D13", 0x13, true}, {"413F", 0x13, false}, {"31 33", 0x13, false},
        {"0d 0a 13 ", 0x13, true}, {"4F4B11", 0x11, true}, {"0111", 0x11, true}, {"1", 0x01, false},
        {"", 0x13, false}};
    for (const auto& c : cases)
        EXPECT_EQ(HexTextHoldsByte(c.hex, c.byte), c.holds) << c.hex;
    EXPECT_EQ(FilePieceSize(2, 2048), 64);
    EXPECT_EQ(FilePieceSize(0, 4096), 4096);
    EXPECT_EQ(FilePieceSize(1, 0), 2048);
}

namespace {

// A port that takes pieces at once and an XOFF/XON script for the receive side.
struct FakeLink {
    std::vector<QByteArray> pieces;
    std::deque<QString> receivedHex;
    std::vector<std::pair<int, QString>> progress;
    int stopAfterPieces = -1;
    int sleeps = 0;

    FileSender::Hooks Hooks()
    {
        FileSender::Hooks h;
        h.running = [this] { return stopAfterPieces < 0 || int(pieces.size()) < stopAfterPieces; };
        h.write = [this](const QByteArray& p) {
            pieces.push_back(p);
            return true;
        };
        h.pendingBytes = [] { return std::int64_t(0); };
        h.takeReceivedHex = [this] {
            if (receivedHex.empty())
                return QString();
            QString s = receivedHex.front();
            receivedHex.pop_front();
            return s;
        };
        h.progress = [this](int pos, const QString& caption) { progress.emplace_back(pos, caption); };
        h.wait = [this] { ++sleeps; };
        return h;
    }
    std::vector<int> Sizes() const
    {
        std::vector<int> s;
        for (const auto& p : pieces)
            s.push_back(int(p.size()));
        return s;
    }
};

QByteArray Content(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char(i & 0xFF));
    return b;
}

} // namespace

TEST(FileSender, PiecesFollowTheFlowMode)
{
    const struct {
        int flow, portBuffer, length;
        std::vector<int> sizes;
    } cases[] = {
        {2, 2048, 200, {64, 64, 64, 8}},
        {2, 2048, 128, {64, 64}},
        {2, 2048, 80, {64, 16}},
        {0, 2048, 5000, {2048, 2048, 904}},
        {1, 1000, 2000, {1000, 1000}},
        {0, 2048, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flow " << c.flow << " length " << c.length);
        FakeLink link;
        FileSender sender(c.flow, c.portBuffer, link.Hooks());
        const QByteArray content = Content(c.length);
        EXPECT_EQ(sender.Send(content), FileSender::Result::Sent);
        EXPECT_EQ(link.Sizes(), c.sizes);
        QByteArray joined;
        for (const auto& p : link.pieces)
            joined += p;
        EXPECT_EQ(joined, content);
        ASSERT_FALSE(link.progress.empty());
        EXPECT_EQ(link.progress.back().first, 100);
        EXPECT_EQ(link.progress.back().second, QString::number(c.length) + " Bytes");
    }
}

TEST(FileSender, AnEightyByteFileReportsProgressWithoutDividingByZero)
{
    FakeLink link;
    FileSender sender(2, 2048, link.Hooks());
    ASSERT_EQ(sender.Send(Content(80)), FileSender::Result::Sent);
    ASSERT_EQ(link.progress.size(), 2u);
    EXPECT_EQ(link.progress[0], std::make_pair(80, QString("64 Bytes")));
    EXPECT_EQ(link.progress[1], std::make_pair(100, QString("80 Bytes")));
}

TEST(FileSender, XoffHoldsTheNextByteUntilXonArrives)
{
    FakeLink link;
    // The first byte finds an XOFF; three empty takes later the XON comes.
    link.receivedHex = {"0D0A13", "", "", "4F", "11"};
    FileSender sender(2, 2048, link.Hooks());
    ASSERT_EQ(sender.Send(Content(10)), FileSender::Result::Sent);
    EXPECT_EQ(link.sleeps, 3);
    EXPECT_EQ(link.Sizes(), std::vector<int>{10});
}

TEST(FileSender, AStopLeavesTheRestUnsent)
{
    FakeLink link;
    link.stopAfterPieces = 2;
    FileSender sender(2, 2048, link.Hooks());
    EXPECT_EQ(sender.Send(Content(300)), FileSender::Result::Stopped);
    EXPECT_EQ(link.Sizes(), (std::vector<int>{64, 64}));
    EXPECT_EQ(link.progress.back().second, "128 Bytes");
}

TEST(FileSender, HardwareFlowWaitsForClearToSend)
{
    FakeLink link;
    int asks = 0;
    auto hooks = link.Hooks();
    hooks.ctsClear = [&] { return ++asks > 5; };
    FileSender sender(1, 2048, hooks);
    ASSERT_EQ(sender.Send(Content(3)), FileSender::Result::Sent);
    EXPECT_EQ(link.sleeps, 5);
    EXPECT_EQ(link.Sizes(), std::vector<int>{3});
}
