#include "TcpIpFixture.h"

#include "core/at/WaitClock.h"

#include "common/CommandsAtBox.h"

#include <gtest/gtest.h>

#include <mutex>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class TcpIpScriptsSim : public test::TcpIpFixture {};

} // namespace

TEST_F(TcpIpScriptsSim, UmtsActivationSetsTheBearerWithoutBlanksAndShowsTheAddress)
{
    Begin(sim::Family::Umts);
    const PdpOutcome out = Activate({" cm net ", "u", "p", 2});
    EXPECT_TRUE(out.active);
    EXPECT_EQ(out.address, "10.1.2.3");
    EXPECT_TRUE(Sent("AT+JICSGP=1,1,\"cmnet\",\"u\",\"p\",2"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(TcpIpScriptsSim, UmtsFailedActivationClosesTheContext)
{
    Begin(sim::Family::Umts);
    AddFault("AT+JIACT=1 | error");
    const PdpOutcome out = Activate();
    EXPECT_FALSE(out.active);
    EXPECT_TRUE(out.address.isEmpty());
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to activate the context!"}));
    EXPECT_TRUE(WaitForCommand("AT+JIDEACT=1", 5s));
}

TEST_F(TcpIpScriptsSim, UmtsOpenOutcomes)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    struct Case {
        const char* reply; // empty: the module's own answer
        bool connected;
    };
    const Case cases[] = {
        {"", true},
        {"\\r\\nOK\\r\\n\\r\\n+JIOPEN: 0,-11\\r\\n", true},
        {"\\r\\nOK\\r\\n\\r\\n+JIOPEN: 0,1\\r\\n", false},
        {"\\r\\nERROR\\r\\n", false},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        if (*c.reply)
            AddFault(std::string("AT+JIOPEN | reply ") + c.reply + " | 1");
        EXPECT_EQ(Connect(), c.connected) << c.reply;
        EXPECT_EQ(boxes.Texts(), c.connected ? QStringList() : QStringList({"Fail to connect to server!"})) << c.reply;
    }
    const std::string open = "AT+JIOPEN=1,0,\"TCP\",\"127.0.0.1\"," + std::to_string(server.Port()) + ",0,1";
    EXPECT_TRUE(Sent(open)) << open;
}

TEST_F(TcpIpScriptsSim, UmtsDataReachTheServerAndComeBackOnceInBothAccessModes)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    for (int mode : {1, 0}) {
        delivered.clear();
        ASSERT_TRUE(Connect(true, mode)) << mode;
        const QByteArray data = "ping CLOSED +JIRD: 3\r\n mode " + QByteArray::number(mode);
        const SendOutcome out = Send(data, true);
        EXPECT_TRUE(out.sent);
        EXPECT_TRUE(out.acknowledged);
        ASSERT_TRUE(Until([&] { return Shown().contains(data); }, 10000)) << mode;
        EXPECT_EQ(Shown().count(data), 1) << mode;
        EXPECT_EQ(closed, 0) << "data that look like a closing are data";
        EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
        ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { CloseConnection(*session, t, moduleType, shared); }));
    }
    EXPECT_TRUE(server.Received().find("mode 0") != std::string::npos);
}

TEST_F(TcpIpScriptsSim, LongDataAreCutToTheLimitAndCtrlZFollowsAfterThePause)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    ASSERT_TRUE(Connect());
    const QByteArray data(1461, 'x');
    const SendOutcome out = Send(data);
    EXPECT_TRUE(out.sent);
    EXPECT_EQ(out.bytesSent, 1460);
    EXPECT_EQ(boxes.Texts(), QStringList({"The maximum length of the data is 1460, the data beyond 1460 will be omitted!"}));
    ASSERT_TRUE(Until([&] { return server.Received().size() >= 1460; }, 10000));
    EXPECT_EQ(server.Received(), std::string(1460, 'x'));
    // When the last data byte and Ctrl-Z arrived.
    sim::SimModule::Clock::time_point lastData {}, ctrlZ {};
    for (const auto& e : ReceivedLog()) {
        if (e.bytes.find('x') != std::string::npos)
            lastData = e.time;
        if (e.bytes.find('\x1a') != std::string::npos)
            ctrlZ = e.time;
    }
    ASSERT_NE(ctrlZ, sim::SimModule::Clock::time_point {});
    EXPECT_GE(ctrlZ - lastData, kDataPause - 5ms);
}

TEST_F(TcpIpScriptsSim, UnacknowledgedSendIsReportedEvenAfterAnEarlierSuccess)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(Send("first", true).acknowledged);
    EXPECT_TRUE(boxes.Texts().isEmpty());
    // A reply without the three counts is no acknowledgement.
    AddFault("AT+JISEND=0,0 | reply \\r\\n+JISEND: 5,5\\r\\n\\r\\nOK\\r\\n");
    const SendOutcome out = Send("second", true);
    EXPECT_TRUE(out.sent);
    EXPECT_FALSE(out.acknowledged);
    EXPECT_EQ(boxes.Texts(), QStringList({"All the data have not been sent out!"}));
}

TEST(TcpIpParsers, QueryRepliesAndAddresses)
{
    EXPECT_EQ(ParseJisendQuery("\r\n+JISEND: 10,10,0\r\n\r\nOK\r\n"), std::optional<bool>(true));
    EXPECT_EQ(ParseJisendQuery("\r\n+JISEND: 10,4,6\r\n\r\nOK\r\n"), std::optional<bool>(false));
    EXPECT_EQ(ParseJisendQuery("\r\n+JISEND: 10,10\r\n\r\nOK\r\n"), std::optional<bool>(false));
    EXPECT_EQ(ParseJisendQuery("\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(ParseJisackQuery("+JISACK: 5,5,0\r\n"), std::optional<bool>(true));
    EXPECT_EQ(ParseJiactAddress("\r\n+JIACT: 1,1,1,\"10.1.2.3\"\r\n\r\nOK\r\n"), "10.1.2.3");
    EXPECT_EQ(ParseJiactAddress("\r\n+JIACT: 1,0,1,\"0.0.0.0\"\r\n"), "");
    EXPECT_EQ(ParseJiactAddress("\r\n+JIACT: 1,1,1,\"10.1\"\r\n"), "");
    EXPECT_EQ(ParseImei("AT+GSN\r\r\n356938035643809\r\n\r\nOK\r\n"), "356938035643809");
    EXPECT_EQ(ParseImei("\r\nERROR\r\n"), "");
    EXPECT_EQ(EchoRequest(""), "$ECHO&IMEI=000000000000001\r\n");
}

TEST_F(TcpIpScriptsSim, GsmActivationRunsTheDialectAndTrimsTheAddress)
{
    Begin(sim::Family::Gsm);
    const PdpOutcome out = Activate({"cm net", {}, {}, 0});
    EXPECT_TRUE(out.active);
    EXPECT_EQ(out.address, "10.1.2.3");
    for (const char* c : {"AT+JIMODE=0", "AT+JICSGP=1,\"cmnet\"", "AT+JIREGAPP", "AT+JICSGP?", "AT+JIACT", "AT+JILOCIP"})
        EXPECT_TRUE(Sent(c)) << c;
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(TcpIpScriptsSim, GsmSimWaitingForItsPinEndsTheActivationAfterTheWait)
{
    Begin(sim::Family::Gsm);
    sim().With([](sim::ModemEngine& e) { e.State().sim = sim::SimState::PinRequired; });
    const auto start = std::chrono::steady_clock::now();
    const PdpOutcome out = Activate();
    EXPECT_FALSE(out.active);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 4000ms);
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to query PIN status,please check the module."}));
    EXPECT_EQ(sim().Commands(), std::vector<std::string>({"AT+CPIN?"})) << "nothing after the PIN query";
}

TEST_F(TcpIpScriptsSim, GsmDataComeBackAsPushedPacketsAndAreAcknowledged)
{
    Begin(sim::Family::Gsm);
    ASSERT_TRUE(Activate().active);
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(Sent("AT+JIOPEN=\"TCP\",\"127.0.0.1\",\"" + std::to_string(server.Port()) + "\""));
    const QByteArray data = "IPD3:no header\r\nCLOSED?";
    const SendOutcome out = Send(data, true);
    EXPECT_TRUE(out.acknowledged);
    EXPECT_TRUE(Sent("AT+JISACK"));
    ASSERT_TRUE(Until([&] { return Shown().contains(data); }, 10000));
    EXPECT_EQ(Shown().count(data), 1);
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(TcpIpScriptsSim, FarEndClosingIsReportedInBothFamilies)
{
    for (sim::Family family : {sim::Family::Umts, sim::Family::Gsm}) {
        server.Stop();
        closed = 0;
        Begin(family);
        ASSERT_TRUE(Activate().active);
        ASSERT_TRUE(Connect());
        ASSERT_TRUE(Until([&] { return server.Connections() == 1; }));
        server.DropClients();
        EXPECT_TRUE(Until([&] { return closed == 1; })) << int(family);
    }
}

TEST_F(TcpIpScriptsSim, AnAddressOutsideTheMachineIsNeverReached)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    EXPECT_FALSE(Connect(true, 1, "192.0.2.1", server.Port()));
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to connect to server!"}));
    // The module's table sends the address to the local server.
    sim().With([&](sim::ModemEngine& e) { e.MapAddress("192.0.2.1", 6003, server.Port()); });
    EXPECT_TRUE(Connect(true, 1, "192.0.2.1", 6003));
    EXPECT_TRUE(Until([&] { return server.Connections() == 1; }));
}

TEST_F(TcpIpScriptsSim, EchoRequestCarriesTheImeiAndItsEchoComesBack)
{
    struct Case {
        sim::Family family;
        int accessMode;
        bool imeiFails;
    };
    const Case cases[] = {
        {sim::Family::Umts, 1, false},
        {sim::Family::Umts, 0, false},
        {sim::Family::Gsm, 1, false},
        {sim::Family::Umts, 1, true},
    };
    for (const Case& c : cases) {
        server.Stop();
        Begin(c.family);
        if (c.imeiFails)
            AddFault("AT+GSN | error");
        sim().With([&](sim::ModemEngine& e) { e.MapAddress(kEchoServerAddress, 6003, server.Port()); });
        ASSERT_TRUE(Activate().active);
        ASSERT_TRUE(Connect(true, c.accessMode, kEchoServerAddress, 6003));
        bool echoed = false;
        ASSERT_TRUE(RunTask([&](TaskGate::Token& t) { echoed = SendEchoRequest(*session, t, moduleType, shared); }));
        EXPECT_TRUE(echoed) << int(c.family) << c.accessMode;
        const std::string imei = c.imeiFails ? "000000000000001" : "356938035643809";
        EXPECT_EQ(server.Received(), "$ECHO&IMEI=" + imei + "\r\n");
    }
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
}

TEST_F(TcpIpScriptsSim, EchoRequestEndsOnStop)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Activate().active);
    // A listener that takes the connection and never answers.
    const int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof at;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(silent, 1), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&at), &len), 0);
    ASSERT_TRUE(Connect(true, 1, "127.0.0.1", ntohs(at.sin_port)));
    bool echoed = true;
    auto done = std::make_shared<std::atomic<bool>>(false);
    ASSERT_TRUE(session->Workers().Start([&, done](TaskGate::Token& t) {
        echoed = SendEchoRequest(*session, t, moduleType, shared);
        *done = true;
    }));
    ASSERT_TRUE(Until([&] { return sim().Sent().find("SEND OK") != std::string::npos; }));
    const auto stopped = std::chrono::steady_clock::now();
    session->Gate().Stop();
    ASSERT_TRUE(Until([&] { return done->load(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 3s);
    EXPECT_FALSE(echoed);
    ::close(silent);
}

TEST_F(TcpIpScriptsSim, UdpDatagramsComeBackAndAreNeverQueried)
{
    for (sim::Family family : {sim::Family::Umts, sim::Family::Gsm}) {
        server.Stop();
        delivered.clear();
        Begin(family);
        ASSERT_TRUE(Activate().active);
        ASSERT_TRUE(Connect(false));
        const SendOutcome out = Send("datagram", true, false);
        EXPECT_TRUE(out.sent);
        ASSERT_TRUE(Until([&] { return Shown().contains("datagram"); }, 10000)) << int(family);
        EXPECT_EQ(Shown().count("datagram"), 1);
        if (family == sim::Family::Gsm) {
            EXPECT_FALSE(Sent("AT+JISACK")) << "UDP is not acknowledged";
        }
    }
}

TEST_F(TcpIpScriptsSim, DataGoOutOnlyAfterTheModulesPromptAndOnlySendOkCountsAsSent)
{
    struct Case {
        sim::Family family;
        const char* fault; // on the send command; empty for the second half of the table
        bool promptCame;
    };
    const Case cases[] = {
        // No prompt: nothing of the data reaches the module's command line.
        {sim::Family::Umts, "AT+JISEND=0 | silent", false},
        {sim::Family::Umts, "AT+JISEND=0 | error", false},
        {sim::Family::Gsm, "AT+JISEND | silent", false},
        {sim::Family::Gsm, "AT+JISEND | error", false},
        // A prompt but no SEND OK after the data: not sent.
        {sim::Family::Umts, "AT+JISEND=0 | reply \\r\\n> ", true},
        {sim::Family::Gsm, "AT+JISEND | reply \\r\\n> ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        server.Stop();
        Begin(c.family);
        ASSERT_TRUE(Activate().active);
        ASSERT_TRUE(Connect());
        boxes.Clear();
        AddFault(c.fault);
        const SendOutcome out = Send("AT+CFUN=0\r");
        EXPECT_FALSE(out.sent);
        EXPECT_EQ(boxes.Texts(), QStringList({"All the data have not been sent out!"}));
        EXPECT_EQ(Received().find("AT+CFUN=0") != std::string::npos, c.promptCame) << Received();
        EXPECT_TRUE(server.Received().empty());
        if (!c.promptCame)
            EXPECT_EQ(State().fun, 1) << "the payload was taken as a command";
    }
}

TEST_F(TcpIpScriptsSim, TheLengthWarningComesBeforeTheSendCommand)
{
    for (sim::Family family : {sim::Family::Umts, sim::Family::Gsm}) {
        server.Stop();
        Begin(family);
        ASSERT_TRUE(Activate().active);
        ASSERT_TRUE(Connect());
        const test::CommandsAtBox watch(sim());
        const SendOutcome out = Send(QByteArray(1461, 'x'));
        EXPECT_TRUE(out.sent);
        ASSERT_EQ(watch.Texts(),
            QStringList({"The maximum length of the data is 1460, the data beyond 1460 will be omitted!"}));
        for (const std::string& c : watch.Commands())
            EXPECT_EQ(c.rfind("AT+JISEND", 0), std::string::npos) << "the module was at its prompt: " << c;
    }
}
