#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView2.h"
#include "shell/core/SysParams.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace ulv;

namespace {

class TerminalPane : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = g_sysParams;
        g_sysParams.showtime = 1;
        g_sysParams.showsenddata = 1;
        g_sysParams.showCRLF = 0;
        g_sysParams.savelog = 1;
        logDir = test::TempHome() + "/logs-" + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        QDir().mkpath(logDir);
        g_sysParams.logpath = logDir;
        g_sysParams.logname_prefix = "term";
        pane = std::make_unique<CTestView2>();
        pane->resize(600, 400);
        pane->SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(13, 5, 7, 89)); });
        pane->ChooseLogFile();
    }
    void TearDown() override
    {
        pane.reset();
        g_sysParams = saved;
    }
    QByteArray LogBytes()
    {
        QFile f(pane->Log().Path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    SysParams saved;
    QString logDir;
    std::unique_ptr<CTestView2> pane;
};

const QByteArray S = "[2026-12-10 13:05:07:089_S:] ";
const QByteArray R = "[2026-12-10 13:05:07:089_R:] ";

// What the box shows of a record: a CR before an LF adds nothing, any other
// CR ends a line, a CR at the very end waits for what follows.
QByteArray Displayed(const QByteArray& record)
{
    QByteArray out;
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (record[i] != '\r')
            out += record[i];
        else if (i + 1 < record.size() && record[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

} // namespace

TEST_F(TerminalPane, StampsLinesOnceAndLogsExactlyWhatIsShown)
{
    WriteOutputLine(0, QByteArray("AT\r\n"));
    WriteOutputLine(1, QByteArray("\r\nO"));
    WriteOutputLine(1, QByteArray("K\r\n"));
    WriteOutputLine(2, QStringLiteral("/* Use ATE1 to enable echo mode */"));
    WriteOutputLine(1, QByteArray(""));
    const QByteArray expected = S + "AT\r\n" + "\r\n" + R + "OK\r\n" + "\r\n/* Use ATE1 to enable echo mode */\r\n";
    EXPECT_EQ(pane->TerminalText(), expected);
    EXPECT_EQ(LogBytes(), expected);
    pane->FlushPending();
    EXPECT_EQ(pane->Terminal()->toPlainText().toUtf8(), QByteArray(expected).replace("\r", ""));
}

TEST_F(TerminalPane, ACarriageReturnAloneEndsItsLineInTheBox)
{
    g_sysParams.showtime = 0;
    using Outputs = std::vector<std::pair<int, QByteArray>>;
    const struct {
        const char* what;
        Outputs outputs;
        QByteArray shown;
        QByteArray record = {}; // empty: the outputs as they came
    } cases[] = {
        // A sent text starts a line of its own: the CR the module left open
        // gets its LF in the record.
        {"echoes of a module that answers nothing", {{0, "AT\r\n"}, {1, "AT\r"}, {0, "AT\r\n"}, {1, "AT\r"}},
            "AT\nAT\nAT\nAT", "AT\r\nAT\r\nAT\r\nAT\r"},
        {"CR LF cut between two chunks", {{1, "\r\nOK\r"}, {1, "\n"}, {0, "AT\r\n"}}, "\nOK\nAT\n"},
        {"a lone CR before the next output", {{1, "AT\r"}, {2, "/* note */"}}, "AT\n\n/* note */\n"},
        {"CR CR LF", {{1, "OK\r\r\n"}}, "OK\n\n"},
    };
    for (const auto& c : cases) {
        // Shown as each output comes, and shown all at once.
        for (bool each : {true, false}) {
            pane = std::make_unique<CTestView2>();
            pane->ChooseLogFile();
            for (const auto& [kind, text] : c.outputs) {
                WriteOutputLine(kind, text);
                if (each)
                    pane->FlushPending();
            }
            pane->FlushPending();
            EXPECT_EQ(pane->Terminal()->toPlainText().toUtf8(), c.shown) << c.what << (each ? ", each" : ", at once");
            // The record and the log keep the bytes as they came.
            QByteArray record = c.record;
            if (record.isEmpty()) {
                for (const auto& [kind, text] : c.outputs)
                    record += kind == 2 ? "\r\n" + text + "\r\n" : text;
            }
            EXPECT_EQ(pane->TerminalText(), record) << c.what;
        }
    }
}

TEST_F(TerminalPane, CrLfMarkersAndInvalidBytesAreShownAndLoggedAsShown)
{
    g_sysParams.showtime = 0;
    g_sysParams.showCRLF = 1;
    WriteOutputLine(0, QByteArray("AT\r\n"));
    WriteOutputLine(1, QByteArray("\xff\r\n", 3));
    const QByteArray expected = "AT<CR><LF>\r\n\xc3\xbf<CR><LF>\r\n";
    EXPECT_EQ(pane->TerminalText(), expected);
    EXPECT_EQ(LogBytes(), expected);
}

TEST_F(TerminalPane, ACharacterCutBetweenTwoChunksIsLoggedWhole)
{
    g_sysParams.showtime = 0;
    WriteOutputLine(1, QByteArray("\r\n+COPS: 0,0,\"\xe4\xb8"));
    WriteOutputLine(1, QByteArray("\xad\xe5\x9b\xbd\"\r\n"));
    const QByteArray expected = "\r\n+COPS: 0,0,\"\xe4\xb8\xad\xe5\x9b\xbd\"\r\n";
    EXPECT_EQ(pane->TerminalText(), expected);
    EXPECT_EQ(LogBytes(), expected);

    // A character that never finishes is logged as shown once the pane goes.
    WriteOutputLine(1, QByteArray("\xe4"));
    const QString log = pane->Log().Path();
    pane.reset();
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected + "\xc3\xa4");
}

TEST_F(TerminalPane, HexRenderingRoundTripsKeepingEachLinesColour)
{
    g_sysParams.showtime = 0;
    WriteOutputLine(0, QByteArray("AT\r\n"));
    WriteOutputLine(1, QByteArray("\r\nOK\r\n"));
    const QByteArray text = pane->TerminalText();
    ASSERT_EQ(pane->ShowTerminalAsHex(), 1);
    EXPECT_EQ(pane->TerminalText(), "41 54 0d 0a \r\n0d 0a \r\n4f 4b 0d 0a \r\n");
    pane->FlushPending();
    QTextBlock first = pane->Terminal()->document()->firstBlock();
    QTextBlock second = first.next();
    const QColor sent(255, 0, 0), received(0, 0, 255);
    EXPECT_EQ(first.begin().fragment().charFormat().foreground().color().rgb(), sent.rgb());
    EXPECT_EQ(second.begin().fragment().charFormat().foreground().color().rgb(), received.rgb());
    ASSERT_EQ(pane->ShowTerminalAsText(), 1);
    EXPECT_EQ(pane->TerminalText(), text);

    pane->ClearAll();
    EXPECT_EQ(pane->ShowTerminalAsHex(), 0);
}

TEST_F(TerminalPane, SaveLogWritesTheWholeTerminal)
{
    WriteOutputLine(1, QByteArray("\r\n+CSQ: 20,99\r\n"));
    const QString path = logDir + "/saved.txt";
    ASSERT_TRUE(pane->SaveTerminalText(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), pane->TerminalText());
    EXPECT_FALSE(pane->SaveTerminalText("/proc/ulv-no/x.txt"));
}

TEST_F(TerminalPane, KeepsTheNewestOutputInBoxAndRecordWhileTheLogKeepsEverything)
{
    struct Case {
        const char* what;
        bool stamps;
        QByteArray unit; // one output, after its number
        bool wholeLines; // every output ends a line
        int flushEvery;  // outputs between two flushes of the box; 0: none before the end
    } cases[] = {
        {"short lines shown as they come", false, " +CSQ: 20,99\r\n", true, 1},
        {"stamped lines", true, " +CREG: 1,\"00C8\"\r\n", true, 3},
        {"a backlog never shown goes unshown", false, " RING\r\n", true, 0},
        {"one endless line", false, "abcdefghij", false, 5},
        {"characters of three bytes on one endless line", false, "\xe4\xb8\xad\xe5\x9b\xbd", false, 2},
        {"characters of three bytes in lines", false, " \xe4\xb8\xad\xe5\x9b\xbd\r\n", true, 4},
        {"echoes ended by a CR alone", false, " AT\r", false, 3},
    };
    const qsizetype kept = 4096;
    for (const Case& c : cases) {
        g_sysParams.showtime = c.stamps ? 1 : 0;
        pane = std::make_unique<CTestView2>();
        pane->resize(600, 400);
        pane->SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(13, 5, 7, 89)); });
        pane->ChooseLogFile();
        pane->SetKeptBytes(kept);
        const qsizetype logBefore = LogBytes().size();

        QByteArray expected;
        for (int i = 0; i < 3000; ++i) {
            // Sent and received text never share a line: an endless line is
            // the module's alone.
            const int kind = c.wholeLines && i % 3 == 0 ? kTerminalSent : kTerminalReceived;
            const QByteArray text = QByteArray::number(i) + c.unit;
            WriteOutputLine(kind, text);
            if (c.stamps)
                expected += kind == kTerminalSent ? S : R;
            expected += text;
            if (c.flushEvery && i % c.flushEvery == 0)
                pane->FlushPending();
        }
        pane->FlushPending();

        EXPECT_EQ(LogBytes().mid(logBefore), expected) << c.what << ": the log holds every byte";
        EXPECT_EQ(pane->WrittenBytes(), expected.size()) << c.what;
        const QByteArray shown = pane->TerminalText();
        EXPECT_LE(shown.size(), kept + kept / 4) << c.what;
        EXPECT_GE(shown.size(), kept - kept / 4) << c.what;
        EXPECT_TRUE(expected.endsWith(shown)) << c.what << ": the record is the newest output";
        if (c.wholeLines) {
            EXPECT_EQ(expected[expected.size() - shown.size() - 1], '\n') << c.what << ": cut at a line end";
        }
        EXPECT_EQ(pane->Terminal()->toPlainText().toUtf8(), Displayed(shown)) << c.what << ": the box shows the record";
    }
}

TEST_F(TerminalPane, TheBoxFollowsTheTrimmedRecordOnItsOwnNextFlush)
{
    g_sysParams.showtime = 0;
    struct Case {
        const char* name;
        std::function<void(CTestView2&)> trim;
    } cases[] = {
        // Each output past the kept size trims again before the box is drawn.
        {"several trims between two flushes",
            [](CTestView2&) {
                for (int i = 0; i < 200; ++i)
                    WriteOutputLine(kTerminalReceived, QByteArray("+CREG: 1,") + QByteArray::number(i) + "\r\n");
            }},
        {"a lower kept size and nothing more", [](CTestView2& p) { p.SetKeptBytes(1024); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pane->ClearAll();
        pane->SetKeptBytes(4096);
        for (int i = 0; i < 400; ++i)
            WriteOutputLine(kTerminalReceived, QByteArray("+CSQ: ") + QByteArray::number(i) + ",99\r\n");
        // Drawn by the pane's own flush, which then has nothing left to do.
        const QByteArray shownBefore = pane->TerminalText();
        ASSERT_TRUE(test::RunEventsUntil(
            [&] { return pane->Terminal()->toPlainText().toUtf8() == Displayed(shownBefore); }, 10000));

        c.trim(*pane);
        const QByteArray record = pane->TerminalText();
        ASSERT_FALSE(record.startsWith(shownBefore.left(1024))) << "the text the box showed first was trimmed";
        EXPECT_TRUE(test::RunEventsUntil(
            [&] { return pane->Terminal()->toPlainText().toUtf8() == Displayed(record); }, 10000))
            << pane->Terminal()->toPlainText().left(200).toStdString();
    }
}

TEST_F(TerminalPane, SaveLogAndHexViewWorkOnWhatTheTrimmedTerminalShows)
{
    g_sysParams.showtime = 0;
    pane->SetKeptBytes(2048);
    for (int i = 0; i < 1000; ++i) {
        WriteOutputLine(kTerminalSent, QByteArray("AT+CSQ\r\n"));
        WriteOutputLine(kTerminalReceived, QByteArray("\r\n+CSQ: ") + QByteArray::number(i % 32) + ",99\r\n\r\nOK\r\n");
    }
    pane->FlushPending();
    const QByteArray shown = pane->TerminalText();
    ASSERT_LE(shown.size(), 2048 + 512);

    const QString path = logDir + "/saved.txt";
    ASSERT_TRUE(pane->SaveTerminalText(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), shown);

    ASSERT_EQ(pane->ShowTerminalAsHex(), 1);
    pane->FlushPending();
    const QByteArray hex = pane->TerminalText();
    EXPECT_TRUE(hex.endsWith("0d 0a \r\n4f 4b 0d 0a \r\n"));
    EXPECT_EQ(pane->Terminal()->toPlainText().toUtf8(), QByteArray(hex).replace("\r", ""));
    ASSERT_EQ(pane->ShowTerminalAsText(), 1);
    EXPECT_EQ(pane->TerminalText(), shown);

    // More output trims the record again, and the box with it.
    WriteOutputLine(kTerminalSent, QByteArray(3000, 'x') + "\r\n");
    pane->FlushPending();
    EXPECT_LE(pane->RecordedBytes(), 2048 + 512);
    EXPECT_EQ(pane->Terminal()->toPlainText().toUtf8(), pane->TerminalText().replace("\r", ""));
    EXPECT_TRUE(LogBytes().endsWith(pane->TerminalText()));
}

TEST(TerminalEdit, KeysBecomeBytesForThePort)
{
    CTerminalRichEdit edit;
    QByteArray sent;
    edit.SetByteSender([&](unsigned char b) { sent.append(char(b)); });
    struct Key {
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
    } keys[] = {
        {Qt::Key_A, Qt::NoModifier, "a"},
        {Qt::Key_T, Qt::NoModifier, "t"},
        {Qt::Key_Return, Qt::NoModifier, "\r"},
        {Qt::Key_2, Qt::ShiftModifier, "@"},
        {Qt::Key_Z, Qt::ControlModifier, QString(QChar(0x1A))},
        {Qt::Key_Left, Qt::NoModifier, ""},
        {Qt::Key_Home, Qt::NoModifier, ""},
        {Qt::Key_Tab, Qt::NoModifier, "\t"},
        {Qt::Key_Delete, Qt::NoModifier, ""},
        {Qt::Key_X, Qt::ControlModifier, QString(QChar(0x18))},
        {Qt::Key_F5, Qt::NoModifier, ""},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier, "\""},
        {Qt::Key_7, Qt::KeypadModifier, "7"},
        {Qt::Key_Backspace, Qt::NoModifier, "\b"},
    };
    for (const Key& k : keys) {
        QKeyEvent e(QEvent::KeyPress, k.key, k.mods, k.text);
        QApplication::sendEvent(&edit, &e);
    }
    EXPECT_EQ(sent.toHex(' '), QByteArray("61 74 0d 40 1a 22 37 08"));
}

TEST(TerminalEdit, ContextMenuGreysCopyWithoutSelectionAndClearsAll)
{
    CTerminalRichEdit edit;
    bool cleared = false;
    edit.SetClearHandler([&] { cleared = true; });
    edit.setPlainText("OK");
    std::unique_ptr<QMenu> menu(edit.BuildContextMenu());
    QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0]->text(), "C&opy");
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_EQ(actions[2]->text(), "C&lear all");
    EXPECT_EQ(actions[4]->text(), "Select &All");
    actions[2]->trigger();
    EXPECT_TRUE(cleared);
    edit.selectAll();
    menu.reset(edit.BuildContextMenu());
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
}

TEST_F(TerminalPane, AnEndlessLineIsShownInBoundedPiecesWhileTheLogKeepsItWhole)
{
    g_sysParams.showtime = 0;
    g_sysParams.logfilesize_limited = 1 << 30;
    const QString note = QStringLiteral("/* This line is longer than 64 KiB: it is shown in pieces; the log holds it whole */");
    struct Case {
        const char* name;
        qsizetype kept;      // the box keeps the newest this many bytes
        bool noteShown;      // the start of the line is still in the box
        bool shownAsItComes; // else the whole line waits for the box in one backlog
    };
    const Case cases[] = {
        {"all kept", 16 << 20, true, true},
        {"older part trimmed", 300 << 10, false, true},
        {"all kept, drawn from a backlog", 16 << 20, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pane->ClearAll();
        pane->SetKeptBytes(c.kept);
        const QByteArray before = LogBytes();
        const QByteArray piece(4096, 'z');
        // Shown as it comes, so that trimming meets pieces already in the box,
        // or left to wait as one backlog.
        for (int i = 0; i < 256; ++i) {
            WriteOutputLine(1, piece);
            if (c.shownAsItComes)
                pane->FlushPending();
        }
        WriteOutputLine(1, QByteArray("\r\nOK\r\n"));
        for (int i = 0; i < 1000; ++i)
            pane->FlushPending();
        // The log: every byte, as received.
        EXPECT_EQ(LogBytes().mid(before.size()), piece.repeated(256) + "\r\nOK\r\n");
        const QTextDocument* doc = pane->Terminal()->document();
        int longest = 0;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            longest = std::max(longest, b.length());
        EXPECT_LE(longest, CTestView2::kShownLineChars + 1);
        QString shown = pane->Terminal()->toPlainText();
        if (c.kept >= piece.size() * 256) {
            // Pieces of the same length, the note after the first, however
            // the text came into the box.
            QStringList lines(16, QString(CTestView2::kShownLineChars, 'z'));
            lines.insert(1, note);
            EXPECT_EQ(shown, lines.join('\n') + "\nOK\n");
        }
        EXPECT_EQ(shown.indexOf(note) >= 0, c.noteShown);
        EXPECT_EQ(shown.indexOf(note), shown.lastIndexOf(note)) << "said once";
        // Apart from the breaks and the note the box shows what the record holds.
        shown.remove(note).remove('\n');
        EXPECT_EQ(shown, QString::fromUtf8(pane->TerminalText()).remove('\r').remove('\n'));
        EXPECT_TRUE(shown.endsWith("zzzOK"));
    }
}

TEST_F(TerminalPane, SentAndReceivedBytesNeverShareALine)
{
    struct Out {
        int kind;
        QByteArray text;
    };
    struct Case {
        const char* name;
        std::vector<Out> outs;
        QByteArray expected;
    };
    const Case cases[] = {
        {"a line split across reads", {{1, "+CS"}, {1, "Q: 1"}, {1, "4,99\r\n"}}, R + "+CSQ: 14,99\r\n"},
        {"a send after a prompt", {{1, "\r\n> "}, {0, "hello"}}, "\r\n" + R + "> \r\n" + S + "hello"},
        {"an answer after a send without line end", {{0, "abc"}, {1, "\r\nOK\r\n"}},
            S + "abc\r\n\r\n" + R + "OK\r\n"},
        {"a note closes the line it follows", {{1, "AT\r"}, {2, "/* n */"}, {1, "\r\nOK\r\n"}},
            R + "AT\r\r\n/* n */\r\n\r\n" + R + "OK\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pane->ClearAll();
        const QByteArray before = LogBytes();
        for (const Out& o : c.outs)
            WriteOutputLine(o.kind, o.text);
        EXPECT_EQ(pane->TerminalText(), c.expected);
        EXPECT_EQ(LogBytes().mid(before.size()), c.expected);
    }
}

TEST_F(TerminalPane, SwitchingBackToTextComesAfterWhatWasWrittenBefore)
{
    g_sysParams.showtime = 0;
    // The frame's hex display is on when a dial starts from a worker's side.
    WriteOutputLine(0, QByteArray("AT\r\n"));
    ASSERT_EQ(pane->ShowTerminalAsHex(), 1);
    pane->m_bHexMode = 1;
    std::thread worker([] {
        QueueOutputLine(1, QByteArray("\r\nOK\r\n"));
        SwitchTerminalToText();
        QueueOutputLine(0, QByteArray("ATD*99#\r\n"));
    });
    worker.join();
    FlushTerminalOutput();
    EXPECT_EQ(pane->m_bHexMode.load(), 0);
    // The answer came in hex display and is text again; the dial after it is text.
    EXPECT_EQ(pane->TerminalText(), "AT\r\n\r\nOK\r\nATD*99#\r\n");
}
