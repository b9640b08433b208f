// The control of a running module: each command's answer and what the module
// then sends, and the control socket that carries the commands.

#include "sim/ControlClient.h"
#include "sim/EngineDriver.h"
#include "sim/SimControl.h"
#include "sim/SimFixture.h"

#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>

using namespace ulv::sim;
using namespace ulv::sim::test;
using namespace std::chrono_literals;

namespace {

class Control : public SimFixture {};

// SMS-DELIVER of "hello" from +8613912345678 stamped 24/01/25 13:45:32 +8 h,
// and an SMS-SUBMIT of "hello" to 12345.
const std::string kDeliver = "0891683108100005F0040D91683119325476F8000042105231542323" "05E8329BFD06";
const std::string kSubmit = "0891683108100005F0110005812143F50000AA05E8329BFD06";

std::string Path(const std::string& name)
{
    return ulv::test::TempHome().toStdString() + "/" + name;
}

} // namespace

TEST_F(Control, EachCommandAnswersALineAndTheModuleSendsWhatFollows)
{
    sim().With([](ModemEngine& e) {
        FixClock(e);
        e.State().cregMode = 1;
    });
    struct Row {
        std::string line;
        std::string answer;
        std::string sent; // what the module then sends the host ("" nothing to wait for)
    };
    const Row rows[] = {
        {"help", "ok ring hangup sms pdu signal reg unplug help", ""},
        {"frobnicate", "error unknown command (help lists them)", ""},
        {"ring", "error ring wants a number (digits, * and #, a leading +)", ""},
        {"ring 12a", "error ring wants a number (digits, * and #, a leading +)", ""},
        {"hangup", "error no call", ""},
        {"ring +8613912345678", "ok ringing", "\r\nRING\r\n"},
        {"ring 5551234", "error a call is already up", ""},
        {"hangup now", "error hangup takes nothing", ""},
        {"hangup\r", "ok", "\r\nNO CARRIER\r\n"},
        {"sms +8613912345678 hello there", "ok stored at 1", "\r\n+CMTI: \"SM\",1\r\n"},
        {"pdu " + kDeliver, "ok stored at 2", "\r\n+CMTI: \"SM\",2\r\n"},
        {"pdu " + kSubmit, "error not an SMS-DELIVER", ""},
        {"pdu 0891", "error not a PDU", ""},
        {"pdu " + kDeliver.substr(0, kDeliver.size() - 4), "error not a PDU: user data shorter than its length", ""},
        {"sms 123*4 hi", "error sms wants a number and the text", ""},
        {"sms 123 " + std::string(161, 'a'), "error the text is longer than one message", ""},
        {"signal 5 3", "ok", ""},
        {"signal 32", "error signal wants RSSI 0-31 or 99 and BER 0-7 or 99", ""},
        {"signal 9 8", "error signal wants RSSI 0-31 or 99 and BER 0-7 or 99", ""},
        {"reg 6", "error reg wants STAT 0-5 and GPRS 0-5", ""},
        {"reg 5", "ok", "\r\n+CREG: 5\r\n"},
        {"reg 0 1", "ok", "\r\n+CREG: 0\r\n"},
        {"sms 123 hi", "error not registered: nothing arrives", ""},
        {"ring 123", "error not registered: no call reaches the module", ""},
        {"unplug now", "error unplug takes nothing", ""},
        {"unplug", "ok", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(sim().Control(r.line), r.answer) << r.line;
        if (!r.sent.empty()) {
            EXPECT_TRUE(sim().WaitForSent(r.sent, 10s)) << r.line << ": " << sim().Sent();
        }
    }
    ASSERT_TRUE(sim().WaitForHangUp(10s));
    EXPECT_EQ(sim().Control("ring 1"), "error the module is unplugged");

    const ModemState s = State();
    EXPECT_EQ(s.rssi, 5);
    EXPECT_EQ(s.ber, 3);
    EXPECT_EQ(s.cgregStat, 1);
    ASSERT_EQ(s.store.size(), 2u);
    // A text arrives stamped with the module's clock; a PDU keeps its own stamp.
    EXPECT_EQ(s.store.at(1).text, u"hello there");
    EXPECT_EQ(s.store.at(1).timestamp, "26/12/10,13:45:32+32");
    EXPECT_EQ(s.store.at(2).timestamp, "24/01/25,13:45:32+32");
    EXPECT_EQ(s.store.at(2).status, 0);
}

TEST_F(Control, ADeliveryFollowsCnmiAndAFullStore)
{
    struct Row {
        std::function<void(ModemState&)> setup;
        std::string answer;
        std::string sent;
    };
    const Row rows[] = {
        {[](ModemState& s) { s.cnmi[1] = 2; }, "ok shown as +CMT", "\r\n+CMT: ,"},
        {[](ModemState& s) { s.textMode = true; }, "ok stored at 1", "\r\n+CMTI: \"SM\",1\r\n"},
        {[](ModemState& s) { s.capacity = 0; }, "error the message store is full", ""},
        {[](ModemState& s) { s.sim = SimState::PinRequired; }, "error no SIM ready: nothing arrives", ""},
        // UCS2 for a text outside the GSM alphabet, 70 characters at the most
        {[](ModemState&) {}, "ok stored at 0", "\r\n+CMTI: \"SM\",0\r\n"},
    };
    const std::string texts[] = {"hi", "hi", "hi", "hi", "\xE4\xBD\xA0\xE5\xA5\xBD"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        StartSim(i == 4 ? Family::Umts : Family::Gsm);
        sim().With([&](ModemEngine& e) { rows[i].setup(e.State()); });
        EXPECT_EQ(sim().Control("sms 10086 " + texts[i]), rows[i].answer) << i;
        if (!rows[i].sent.empty()) {
            EXPECT_TRUE(sim().WaitForSent(rows[i].sent, 10s)) << i << ": " << sim().Sent();
        }
    }
    EXPECT_EQ(State().store.at(0).dcs, 8);
    EXPECT_EQ(State().store.at(0).text, u"\u4F60\u597D");
    std::string longest;
    for (int i = 0; i < 70; ++i)
        longest += "\xE4\xBD\xA0";
    EXPECT_EQ(sim().Control("sms 10086 " + longest + "\xE4\xBD\xA0"), "error the text is longer than one message");
    EXPECT_EQ(sim().Control("sms 10086 " + longest), "ok stored at 1");
}

TEST_F(Control, TheSocketAnswersEveryLineOnItsOwnConnection)
{
    const std::string path = Path("control-socket");
    ControlSocket control([this](std::string_view line) { return sim().Control(line); });
    std::string why;
    ASSERT_TRUE(control.Start(path, &why)) << why;

    ControlClient first(path);
    ControlClient second(path);
    ASSERT_TRUE(first.Connected());
    ASSERT_TRUE(second.Connected());
    // Two lines in one write, a CR LF line end, and an empty line (no answer).
    ASSERT_TRUE(first.Write("signal 7\r\n\nbogus\n"));
    EXPECT_EQ(first.ReadLine(), "ok");
    EXPECT_EQ(first.ReadLine(), "error unknown command (help lists them)");
    EXPECT_EQ(second.Send("ring 5551234"), "ok ringing");
    ASSERT_TRUE(sim().WaitForSent("\r\nRING\r\n", 10s));
    // An endless line is answered once it ends, and the next line is served.
    ASSERT_TRUE(first.Write(std::string(ControlSocket::kMaxLine * 3, 'x') + "\n"));
    EXPECT_EQ(first.ReadLine(), "error line longer than 4096 bytes");
    EXPECT_EQ(first.Send("hangup"), "ok");
    EXPECT_EQ(State().rssi, 7);
}

TEST_F(Control, TheSocketReplacesAStaleSocketButNoOtherFile)
{
    const std::string stale = Path("stale-socket");
    {
        // A socket file left by a module that was killed.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        stale.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    auto handler = [this](std::string_view line) { return sim().Control(line); };
    {
        ControlSocket control(handler);
        std::string why;
        EXPECT_TRUE(control.Start(stale, &why)) << why;
        ControlClient client(stale);
        EXPECT_EQ(client.Send("signal 1"), "ok");
    }
    EXPECT_NE(::access(stale.c_str(), F_OK), 0) << "the socket is removed at the end";

    const std::string file = Path("not-a-socket");
    std::ofstream(file) << "keep me\n";
    struct Row {
        std::string path;
        std::string why;
    };
    for (const Row& r : {Row {file, file + " exists and is not a socket"},
             Row {"", "control path empty or longer than 107 bytes"},
             Row {"/tmp/" + std::string(120, 'p'), "control path empty or longer than 107 bytes"}}) {
        ControlSocket control(handler);
        std::string why;
        EXPECT_FALSE(control.Start(r.path, &why));
        EXPECT_EQ(why, r.why);
    }
    std::ifstream in(file);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "keep me");
}
