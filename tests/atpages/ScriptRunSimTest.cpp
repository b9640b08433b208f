#include "SessionSim.h"

#include "atlib/core/ScriptRun.h"
#include "platform/MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <mutex>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class ScriptRun : public test::SessionSim {
protected:
    void SetUp() override
    {
        SessionSim::SetUp();
        ASSERT_TRUE(Open());
        // A line reaches the listeners after the reply buffers had it.
        session->AddLineListener([this](const QString& line) {
            if (line == "OK")
                ++okLines;
        });
    }
    void TearDown() override
    {
        session->Gate().Stop();
        Until([this] { return !session->Gate().Running(); });
        SessionSim::TearDown();
    }
    // Starts the run on a worker of the session.
    void Start(int cycles, int intervalMs)
    {
        ScriptRunSink sink;
        sink.row = [this](int r) {
            std::lock_guard lock(m_lock);
            return rows[size_t(r)];
        };
        sink.mark = [this](int r, bool on) {
            std::lock_guard lock(m_lock);
            marks << QString("%1%2").arg(on ? '+' : '-').arg(r + 1);
        };
        sink.subtitle = [this](const QString& t) {
            std::lock_guard lock(m_lock);
            subtitles << t;
        };
        sink.replied = [this](int, const QString& reply) {
            std::lock_guard lock(m_lock);
            replies << reply;
        };
        ASSERT_TRUE(session->Workers().Start([this, cycles, intervalMs, sink](TaskGate::Token& token) {
            RunScriptCycles(*session, token, {cycles, intervalMs}, sink);
        }));
    }
    // The flag clears at Stop already; the run has ended once its worker has.
    bool Ended()
    {
        return Until([this] { return !session->Gate().Running() && session->Workers().Running() == 0; }, 30000);
    }
    // The command lines the module received, with the moment each began.
    std::vector<std::pair<std::string, sim::SimModule::Clock::time_point>> Commands()
    {
        std::vector<std::pair<std::string, sim::SimModule::Clock::time_point>> out;
        std::string line;
        sim::SimModule::Clock::time_point began{};
        for (const auto& entry : ReceivedLog()) {
            for (char ch : entry.bytes) {
                if (line.empty())
                    began = entry.time;
                if (ch == '\n') {
                    if (line.ends_with('\r'))
                        line.pop_back();
                    out.emplace_back(line, began);
                    line.clear();
                } else {
                    line += ch;
                }
            }
        }
        return out;
    }
    QStringList CommandTexts()
    {
        QStringList out;
        for (const auto& c : Commands())
            out << QString::fromStdString(c.first);
        return out;
    }
    QStringList Replies()
    {
        std::lock_guard lock(m_lock);
        return replies;
    }

    MessageBoxRecorder boxes;
    std::array<ScriptRow, kScriptRunRows> rows{};
    QStringList marks, subtitles, replies;
    int okLines = 0;
    std::mutex m_lock;
};

} // namespace

TEST_F(ScriptRun, ThreeCyclesSendTheChosenRowsInOrderEachAfterItsWholeWindow)
{
    rows[0] = {"1", "AT+CSQ", "0", "1", "300", " +csq: ", ""};
    rows[1] = {"1", "ATI", "0", "1", "200", "ok", ""};
    rows[2] = {"0", "AT+CGMR", "0", "1", "100", "", ""};
    Start(3, 0);
    ASSERT_TRUE(Ended());
    const auto sent = Commands();
    EXPECT_EQ(CommandTexts(), QStringList({"AT+CSQ", "ATI", "AT+CSQ", "ATI", "AT+CSQ", "ATI"}));
    // The module answers within milliseconds; the next row still waits out the
    // window. (The module's own arrival times wobble a little with scheduling.)
    ASSERT_EQ(sent.size(), 6u);
    for (size_t i = 1; i < sent.size(); ++i) {
        const auto window = (i % 2 == 1) ? 300ms : 200ms;
        EXPECT_GE(sent[i].second - sent[i - 1].second, window - 100ms) << i;
    }
    // A first command that reaches the module late (a busy machine) shortens
    // the span by as much: the same allowance as for each step.
    EXPECT_GE(sent.back().second - sent.front().second, 1300ms - 100ms);
    EXPECT_EQ(subtitles, QStringList({"(1/3)in testing ...", "(2/3)in testing ...", "(3/3)in testing ...", ""}));
    EXPECT_EQ(marks.size(), 12);
    EXPECT_EQ(marks.mid(0, 4), QStringList({"+1", "-1", "+2", "-2"}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Test finished!"}));
    EXPECT_FALSE(session->Gate().Running());
}

TEST_F(ScriptRun, ExpectedResultThatDoesNotComeStopsTheRun)
{
    rows[0] = {"1", "AT+CSQ", "0", "1", "100", "+CSQ:", ""};
    rows[1] = {"1", "ATI", "0", "1", "100", "NOT THERE", ""};
    rows[2] = {"1", "AT+CGMR", "0", "1", "100", "", ""};
    Start(3, 0);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(CommandTexts(), QStringList({"AT+CSQ", "ATI"}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Fail to execute the command!", "Test stopped!"}));
    EXPECT_EQ(subtitles.last(), "");
}

TEST_F(ScriptRun, StopDuringAWindowEndsTheRunAfterThatRowsComparison)
{
    struct Case {
        const char* expected;
        QStringList boxes;
    };
    const Case cases[] = {
        {"OK", {"Test stopped!"}},
        {"NOT THERE", {"Fail to execute the command!", "Test stopped!"}},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        const qsizetype before = CommandTexts().size();
        const int oks = okLines;
        rows[0] = {"1", "AT", "0", "1", "50000", c.expected, ""};
        rows[1] = {"1", "ATI", "0", "1", "100", "", ""};
        Start(3, 0);
        // The reply is in before the stop, so the comparison has something to judge.
        ASSERT_TRUE(Until([&] { return okLines > oks; }));
        session->Gate().Stop();
        ASSERT_TRUE(Ended());
        EXPECT_EQ(CommandTexts().mid(before), QStringList({"AT"})) << c.expected;
        EXPECT_EQ(boxes.Texts(), c.boxes) << c.expected;
    }
}

TEST_F(ScriptRun, TextArrivingBetweenRowsIsNotCreditedToTheNextRow)
{
    rows[0] = {"1", "AT", "0", "1", "100", "", ""};
    Start(2, 1500);
    ASSERT_TRUE(Until([this] { return Replies().size() == 1; }));
    InjectLine("+LATE: 1");
    ASSERT_TRUE(Ended());
    const QStringList got = Replies();
    ASSERT_EQ(got.size(), 2);
    EXPECT_TRUE(got[0].contains("OK"));
    EXPECT_TRUE(got[1].contains("OK"));
    EXPECT_FALSE(got[1].contains("+LATE")) << got[1].toStdString();
}

TEST_F(ScriptRun, NoChosenRowRunsItsCyclesSendingNothing)
{
    rows[0] = {"0", "AT", "0", "1", "100", "", ""};
    Start(2, 10);
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(CommandTexts().isEmpty());
    EXPECT_EQ(subtitles, QStringList({"(1/2)in testing ...", "(2/2)in testing ...", ""}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Test finished!"}));
}
