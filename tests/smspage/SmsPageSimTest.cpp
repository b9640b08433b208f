// The SMS page as a user drives it through its own buttons, list and timer,
// against the simulated module of both families.

#include "sim/SimFixture.h"

#include "common/EventLoopWait.h"
#include "common/SimPageHost.h"
#include "common/WireFence.h"
#include "core/at/CommandQueue.h"
#include "core/at/WaitClock.h"
#include "pages/module/CReadMessageDlg.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/core/EnvCheckScript.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CHexRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

struct Family {
    sim::Family family;
    const char* revision;
    int moduleType;
    int subModel;
    const char* name;
};

const Family kGsm{sim::Family::Gsm, "TZ20A01", 0, 0, "GSM"};
const Family kUmts{sim::Family::Umts, "KV33D01", 1, 2, "UMTS"};

class SmsPageSim : public test::PageHostSim {
protected:
    void SetUp() override
    {
        test::PageHostSim::SetUp();
        savedCapacity = g_nSmsStorageCapacity.load();
        g_nSmsStorageCapacity = 50;
    }
    void TearDown() override
    {
        Close();
        SetWaitClockSpeed(1);
        g_nSmsStorageCapacity = savedCapacity;
        test::PageHostSim::TearDown();
    }
    // A fresh module of the family and the page host on it with the SMS page shown.
    void Use(const Family& f)
    {
        Close();
        // Each module gets a fresh terminal, so what it shows is this module's.
        terminal.reset();
        terminal = std::make_unique<CTestView2>();
        StartSim(f.family, f.revision);
        host = test::OpenSimPageHost(SlavePath(), f.moduleType, f.subModel, 520, 900);
        ASSERT_TRUE(host);
        host->show();
        host->SwitchPage(1);
        ASSERT_TRUE(Page()->isVisible());
        boxes.Clear();
    }
    void Close()
    {
        if (!host)
            return;
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        host.reset();
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CTestItemDlg_sms* Page() { return host->SmsPage(); }
    // Presses a button of the page and waits until its work is over.
    bool Press(CSkinButton* button)
    {
        button->click();
        return Until([button] { return !AppTaskGate().Running() && button->isEnabled(); }, 60000);
    }
    void ChooseType(int type)
    {
        Page()->m_cmbType->setCurrentIndex(type);
        Q_EMIT Page()->m_cmbType->activated(type);
    }
    bool TerminalShows(const QByteArray& text)
    {
        return Until([&] { return terminal->TerminalText().contains(text); });
    }
    // The list's rows as "index|time|addresser|status|content".
    QStringList Rows()
    {
        QStringList rows;
        CFlatHeaderListCtrl* list = Page()->m_listMessages;
        for (int r = 0; r < list->GetItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << list->GetItemText(r, c);
            rows << cells.join('|');
        }
        return rows;
    }
    // Waits for the read dialog that shows the content, checks where it lives
    // and closes it; its fields as "addresser|time|status|content".
    QString TakeReadDialog(const QString& content)
    {
        CReadMessageDlg* shown = nullptr;
        if (!Until([&] {
                shown = Page()->ReadDialog();
                return shown && shown->isVisible() && shown->m_richContent->toPlainText() == content;
            }))
            return QStringLiteral("no dialog showing ") + content;
        EXPECT_EQ(shown->thread(), QApplication::instance()->thread());
        const QString fields = QStringList{shown->m_labelAddresser->text(), shown->m_labelTime->text(),
            shown->m_labelStatus->text(), shown->m_richContent->toPlainText()}
                                   .join('|');
        shown->reject();
        return fields;
    }
    static sim::SmsMessage Message(const std::u16string& text, int status = 0)
    {
        sim::SmsMessage m;
        m.text = text;
        m.status = status;
        m.timestamp = "24/01/25,13:45:32+08";
        return m;
    }

    MessageBoxRecorder boxes;
    int savedCapacity = 0;
    std::unique_ptr<CTestView1> host;
};

TEST_F(SmsPageSim, SendsEveryTypeFromTheSendButton)
{
    const struct {
        Family family;
        int type;
        const char* commands; // from AT+CMGF on
        std::u16string delivered;
    } cases[] = {
        {kGsm, 0, "AT+CMGF=1\r\nAT+CSMP=17,167,0,0\r\nAT+CSCS=\"GSM\"\r\nAT+CMGS=\"12345\"\r\nhello\x1a", u"hello"},
        {kUmts, 0, "AT+CMGF=1\r\nAT+CSMP=17,167,0,0\r\nAT+CSCS=\"GSM\"\r\nAT+CMGS=\"12345\"\r\nhello\x1a", u"hello"},
        {kUmts, 1, "AT+CMGF=1\r\nAT+CSMP=17,167,0,0\r\nAT+CSCS=\"IRA\"\r\nAT+CMGS=\"12345\"\r\nhello\x1a", u"hello"},
        {kGsm, 1, "AT+CMGF=1\r\nAT+CSMP=17,167,0,4\r\nAT+CSCS=\"HEX\"\r\nAT+CMGS=\"3132333435\"\r\n68656c6c6f\x1a",
            u"hello"},
        {kGsm, 2, "AT+CMGF=1\r\nAT+CSMP=17,167,0,8\r\nAT+CSCS=\"UCS2\"\r\nAT+CMGS=\"00310032003300340035\"\r\n4F60597D\x1a",
            u"\u4F60\u597D"},
        {kUmts, 2, "AT+CMGF=1\r\nAT+CSMP=17,167,0,8\r\nAT+CSCS=\"UCS2\"\r\nAT+CMGS=\"00310032003300340035\"\r\n4F60597D\x1a",
            u"\u4F60\u597D"},
        {kGsm, 3, "AT+CMGF=0\r\nAT+CMGS=", u"hello"},
        {kUmts, 3, "AT+CMGF=0\r\nAT+CMGS=", u"hello"},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.family.name) + " type " + std::to_string(c.type);
        Use(c.family);
        Page()->m_editReceiver->setText("12345");
        ChooseType(c.type);
        ASSERT_TRUE(Press(Page()->m_btnSend)) << what;
        EXPECT_EQ(boxes.Texts(), QStringList{"Success to send a message!"}) << what;
        EXPECT_EQ(Page()->m_labelStatus->text(), "Send finished") << what;
        const std::string heard = Received();
        EXPECT_EQ(heard.rfind("ATE1\r\n", 0), 0u) << what << ": " << heard;
        EXPECT_NE(heard.find(c.commands), std::string::npos) << what << ": " << heard;
        if (c.type == 3) {
            // The PDU follows its TPDU length and ends with Ctrl-Z.
            const std::string pdu = Page()->m_editMessage->toPlainText().toStdString();
            EXPECT_NE(heard.find("\r\n" + pdu + "\x1a"), std::string::npos) << what << ": " << heard;
        }
        const auto sent = State().sent;
        ASSERT_FALSE(sent.empty()) << what;
        EXPECT_EQ(sent.back().text, c.delivered) << what;
    }
}

TEST_F(SmsPageSim, ReceiverNumbersAreCheckedBeforeAnythingGoesOut)
{
    Use(kGsm);
    const struct {
        const char* number;
        const char* box;
    } refused[] = {
        {"86+13", "Recipient number is invalid!"},
        {"12a", "Recipient number is invalid!"},
        {"123456789012345678901", "Recipient number is invalid!"},
        {"", "There is no sending number!"},
    };
    for (const auto& c : refused) {
        boxes.Clear();
        Page()->m_editReceiver->setText(c.number);
        ASSERT_TRUE(Press(Page()->m_btnSend)) << c.number;
        EXPECT_EQ(boxes.Texts(), QStringList{c.box}) << c.number;
    }
    EXPECT_EQ(Received().find("AT+CMGS"), std::string::npos) << Received();

    boxes.Clear();
    Page()->m_editReceiver->setText("+8613912345678");
    ASSERT_TRUE(Press(Page()->m_btnSend));
    EXPECT_EQ(boxes.Texts(), QStringList{"Success to send a message!"});
    EXPECT_NE(Received().find("AT+CMGS=\"+8613912345678\"\r"), std::string::npos);
}

TEST_F(SmsPageSim, SilenceOrAnErrorAfterCtrlZFailsTheSend)
{
    SetWaitClockSpeed(10);
    for (const char* fault : {"<sms> | silent", "<sms> | cms 500"}) {
        Use(kUmts);
        AddFault(fault);
        Page()->m_editReceiver->setText("12345");
        ASSERT_TRUE(Press(Page()->m_btnSend)) << fault;
        EXPECT_EQ(boxes.Texts(), QStringList{"Fail to send message!"}) << fault;
        EXPECT_NE(Page()->m_labelStatus->text(), "Send finished") << fault;
        EXPECT_TRUE(Page()->m_btnSend->isEnabled()) << fault;
    }
}

TEST_F(SmsPageSim, StopEndsEveryWorkerWithNothingMoreSentOrShown)
{
    const struct {
        const char* fault;
        const char* waitFor;
        const char* never;
        CSkinButton* CTestItemDlg_sms::*button;
    } cases[] = {
        {"AT+CSCS | silent", "AT+CSCS=\"GSM\"", "AT+CMGS", &CTestItemDlg_sms::m_btnSend},
        {"AT+CPMS | silent", "AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGL", &CTestItemDlg_sms::m_btnReadAll},
        {"AT+CMGF | silent", "AT+CMGF=0", "AT+CMGR", &CTestItemDlg_sms::m_btnRead},
        {"ATE1 | silent", "ATE1", "AT+CMGD", &CTestItemDlg_sms::m_btnDelete},
    };
    for (const auto& c : cases) {
        Use(kUmts);
        StoreSms(Message(u"kept"), false);
        AddFault(c.fault);
        Page()->m_editIndex->setText("1");
        CSkinButton* button = Page()->*c.button;
        button->click();
        ASSERT_TRUE(WaitForCommand(c.waitFor, 10s)) << c.fault;
        AppTaskGate().Stop();
        ASSERT_TRUE(Until([&] { return !AppTaskGate().Running() && button->isEnabled(); })) << c.fault;
        // What the worker would still have posted has reached the page by now.
        QApplication::processEvents();
        EXPECT_EQ(boxes.Count(), 0) << c.fault << ": " << boxes.Texts().join(';').toStdString();
        EXPECT_EQ(Received().find(c.never), std::string::npos) << c.fault;
        EXPECT_NE(Page()->m_labelStatus->text(), "Send finished") << c.fault;
        EXPECT_EQ(Page()->ReadDialog(), nullptr) << c.fault;
    }
}

TEST_F(SmsPageSim, ThreeNotificationsMakeOneQuestionAndYesReadsThemInOrder)
{
    for (const Family& f : {kGsm, kUmts}) {
        Use(f);
        // The three arrive between two ticks: the timer waits until they are in.
        Page()->m_timer->stop();
        std::vector<int> at;
        for (const char16_t* text : {u"one", u"two", u"three"})
            at.push_back(StoreSms(Message(text), true));
        ASSERT_TRUE(TerminalShows("index number is " + QByteArray::number(at[2]))) << f.name;
        boxes.Answer(IDYES);
        Page()->m_timer->start();
        ASSERT_TRUE(boxes.WaitForCount(1, 30000)) << f.name;
        EXPECT_EQ(boxes.Texts(), QStringList{"Received 3 message,do you read it?"}) << f.name;
        for (const char* text : {"one", "two", "three"})
            EXPECT_EQ(TakeReadDialog(text), QString("8613912345678|2024/01/25  13:45:32+08|REC READ|") + text)
                << f.name;
        ASSERT_TRUE(Until([] { return !AppTaskGate().Running(); })) << f.name;
        // The last row may still be on its way from the worker when the task ends.
        Until([&] { return Rows().size() >= 3; });
        const std::string heard = Received();
        const auto read = [&](int i) { return heard.find("AT+CMGR=" + std::to_string(at[i]) + "\r"); };
        EXPECT_TRUE(read(0) < read(1) && read(1) < read(2) && read(2) != std::string::npos) << heard;
        const QString row = "|2024/01/25  13:45:32+08|8613912345678|REC READ|";
        EXPECT_EQ(Rows(),
            QStringList({QString::number(at[0]) + row + "one", QString::number(at[1]) + row + "two",
                QString::number(at[2]) + row + "three"}))
            << f.name;
        EXPECT_EQ(boxes.Count(), 1) << boxes.Texts().join(';').toStdString();
    }
}

TEST_F(SmsPageSim, NotificationsForAnotherPageAreNotQueuedAndNoDropsTheRest)
{
    Use(kGsm);
    host->SwitchPage(0);
    ASSERT_FALSE(Page()->isVisible());
    StoreSms(Message(u"while away"), true);
    ASSERT_TRUE(TerminalShows("+CMTI: \"SM\",1"));
    host->SwitchPage(1);
    ASSERT_TRUE(Page()->isVisible());
    StoreSms(Message(u"back"), true);
    ASSERT_TRUE(boxes.WaitForCount(1, 30000));
    EXPECT_EQ(boxes.Texts(), QStringList{"Received 1 message,do you read it?"});
    ASSERT_TRUE(Until([] { return !AppTaskGate().Running(); }));
    EXPECT_EQ(Received().find("AT+CMGR"), std::string::npos) << "No reads nothing";

    // No drops the taken indexes: a later notification asks about itself alone.
    boxes.Clear();
    StoreSms(Message(u"later"), true);
    ASSERT_TRUE(boxes.WaitForCount(1, 30000));
    EXPECT_EQ(boxes.Texts(), QStringList{"Received 1 message,do you read it?"});
}

TEST_F(SmsPageSim, AFullQueueReportsTheIndexItCannotHold)
{
    Use(kUmts);
    Page()->m_timer->stop();
    for (int i = 1; i <= 51; ++i)
        InjectLine("+CMTI: \"SM\"," + std::to_string(i));
    ASSERT_TRUE(TerminalShows("the message at index 51 is not queued, read it by its index"));
    Page()->m_timer->start();
    ASSERT_TRUE(boxes.WaitForCount(1, 30000));
    EXPECT_EQ(boxes.Texts(), QStringList{"Received 50 message,do you read it?"});
}

TEST_F(SmsPageSim, ReadsOneByIndexInTextAndPduMode)
{
    for (const Family& f : {kGsm, kUmts}) {
        Use(f);
        const int index = StoreSms(Message(u"ERROR and OK"), false);
        const int unsent = StoreSms(Message(u"draft", 2), false);
        Page()->m_editIndex->setText(QStringLiteral(" %1 ").arg(index));
        Page()->m_radioCurrentSelect->setChecked(true);
        ASSERT_TRUE(Press(Page()->m_btnRead)) << f.name;
        // With the full header the time is the time-stamp field, not a run into the header.
        EXPECT_EQ(TakeReadDialog("ERROR and OK"), "8613912345678|24/01/25,13:45:32+08|REC READ|ERROR and OK")
            << f.name;
        EXPECT_NE(Received().find("AT+CSDH=1\r"), std::string::npos) << f.name;
        // A stored message keeps the status the module gave it.
        Page()->m_editIndex->setText(QString::number(unsent));
        ASSERT_TRUE(Press(Page()->m_btnRead)) << f.name;
        EXPECT_EQ(TakeReadDialog("draft").section('|', 2, 2), "STO UNSENT") << f.name;
        Page()->m_editIndex->setText(QString::number(index));

        Page()->m_radioPdu->setChecked(true);
        ASSERT_TRUE(Press(Page()->m_btnRead)) << f.name;
        EXPECT_EQ(TakeReadDialog("ERROR and OK"), "8613912345678|2024/01/25  13:45:32+08|REC READ|ERROR and OK")
            << f.name;
        Page()->m_editIndex->setText(QString::number(unsent));
        ASSERT_TRUE(Press(Page()->m_btnRead)) << f.name;
        EXPECT_EQ(TakeReadDialog("draft").section('|', 2, 2), "STO UNSENT") << f.name;
        // The read index's row was updated in place; the other came after it.
        const QStringList rows = Rows();
        ASSERT_EQ(rows.size(), 2) << f.name;
        EXPECT_EQ(rows[0], QStringLiteral("%1|2024/01/25  13:45:32+08|8613912345678|REC READ|ERROR and OK").arg(index));
        EXPECT_TRUE(rows[1].startsWith(QString::number(unsent) + "|")) << rows[1].toStdString();
        EXPECT_EQ(boxes.Count(), 0) << boxes.Texts().join(';').toStdString();

        for (const char* bad : {"501", "1,4", "x"}) {
            boxes.Clear();
            Page()->m_editIndex->setText(bad);
            ASSERT_TRUE(Press(Page()->m_btnRead)) << bad;
            EXPECT_EQ(boxes.Texts(), QStringList{"The index number is invalid!"}) << bad;
        }
        boxes.Clear();
        Page()->m_editIndex->clear();
        ASSERT_TRUE(Press(Page()->m_btnRead));
        EXPECT_EQ(boxes.Texts(), QStringList{"Please input the index!"});
    }
}

TEST_F(SmsPageSim, ReadAllListsBothDialectsAndModes)
{
    const struct {
        Family family;
        bool pdu;
        const char* command;
    } cases[] = {
        {kGsm, false, "AT+CMGL=\"ALL\",1\r"},
        {kUmts, false, "AT+CMGL=\"ALL\"\r"},
        {kGsm, true, "AT+CMGL=4,1\r"},
        {kUmts, true, "AT+CMGL=4\r"},
    };
    for (const auto& c : cases) {
        Use(c.family);
        const int first = StoreSms(Message(u"BOOK"), false);
        StoreSms(Message(u"ERROR and OK\nOK"), false);
        const int last = StoreSms(Message(u"kept", 2), false);
        // A stale row goes: the list shows what the SIM holds.
        Page()->AppendEntry({"9", "t", "a", "REC READ", "stale"});
        Page()->m_radioPdu->setChecked(c.pdu);
        Page()->m_radioCurrentSelect->setChecked(!c.pdu);
        ASSERT_TRUE(Press(Page()->m_btnReadAll)) << c.command;
        EXPECT_NE(Received().find(c.command), std::string::npos) << c.command;
        EXPECT_EQ(boxes.Count(), 0) << c.command << boxes.Texts().join(';').toStdString();
        const QStringList rows = Rows();
        ASSERT_EQ(rows.size(), 3) << c.command << rows.join('\n').toStdString();
        const QString stamp = c.pdu ? "2024/01/25  13:45:32+08" : "24/01/25,13:45:32+08";
        EXPECT_EQ(rows[0], QString::number(first) + "|" + stamp + "|8613912345678|REC UNREAD|BOOK") << c.command;
        EXPECT_TRUE(rows[1].endsWith("|ERROR and OK\nOK") || rows[1].endsWith("|ERROR and OK\r\nOK"))
            << c.command << rows[1].toStdString();
        EXPECT_TRUE(rows[2].startsWith(QString::number(last) + "|")) << c.command;
        EXPECT_EQ(rows[2].section('|', 3, 3), "STO UNSENT") << c.command;
    }
}

TEST_F(SmsPageSim, ReadAllLeavesOutRowsNoMessageCanHaveAndSaysSo)
{
    Use(kUmts);
    StoreSms(Message(u"real"), false);
    const char* header = R"(+CMGL: %1,\"%2\",\"+8613912345678\",,\"24/01/25,13:45:32+08\",145,4\r\n%3\r\n)";
    auto row = [&](const char* index, const char* status, const char* text) {
        return QString::fromLatin1(header).arg(QLatin1String(index), QLatin1String(status), QLatin1String(text));
    };
    const QString listing = "\\r\\n" + row("-5", "REC READ", "NEG1") + row("99999999999999999999", "REC READ", "BIG1")
        + row("7", "ALL", "ALL1") + row("3", "REC UNREAD", "GOOD") + "\\r\\nOK\\r\\n";
    AddFault(("AT+CMGL | reply " + listing).toStdString());
    Page()->m_radioPdu->setChecked(false);
    Page()->m_radioCurrentSelect->setChecked(true);
    ASSERT_TRUE(Press(Page()->m_btnReadAll));
    EXPECT_EQ(boxes.Count(), 0) << boxes.Texts().join(';').toStdString();
    EXPECT_EQ(Rows(), QStringList{"3|24/01/25,13:45:32+08|8613912345678|REC UNREAD|GOOD"});
    for (const char* note : {"\"-5\" (status \"REC READ\") is left out: that is no message index",
             "\"99999999999999999999\" (status \"REC READ\") is left out: that is no message index",
             "\"7\" (status \"ALL\") is left out: no message has that status"})
        EXPECT_TRUE(TerminalShows(note)) << note;
}

TEST_F(SmsPageSim, AReadAllThatFailsKeepsTheRowsItHad)
{
    for (const char* fault : {"AT+CMGL | cms 500", "AT+CMGL | reply \\r\\n+CMGL: 1,\"REC READ\",\"+1\",,\"t\"\\r\\nx\\r\\n\\r\\nERROR\\r\\n"}) {
        Use(kUmts);
        StoreSms(Message(u"kept"), false);
        ASSERT_TRUE(Press(Page()->m_btnReadAll)) << fault;
        const QStringList before = Rows();
        ASSERT_EQ(before.size(), 1) << fault;
        boxes.Clear();
        AddFault(fault);
        ASSERT_TRUE(Press(Page()->m_btnReadAll)) << fault;
        QApplication::processEvents();
        EXPECT_EQ(boxes.Texts(), QStringList{"Fail to read a message!"}) << fault;
        EXPECT_EQ(Rows(), before) << fault;
    }
}

TEST_F(SmsPageSim, ReadAllOnAnEmptyStoreSaysSo)
{
    for (const Family& f : {kGsm, kUmts}) {
        Use(f);
        ASSERT_TRUE(Press(Page()->m_btnReadAll)) << f.name;
        EXPECT_EQ(boxes.Texts(), QStringList{"No messages in SIM card!"}) << f.name;
        EXPECT_EQ(Received().find("AT+CMGL"), std::string::npos) << f.name;
    }
}

TEST_F(SmsPageSim, DeleteTakesTheRowOfTheDeletedIndex)
{
    for (const Family& f : {kGsm, kUmts}) {
        Use(f);
        std::vector<int> at;
        for (const char16_t* text : {u"a", u"b", u"c"})
            at.push_back(StoreSms(Message(text), false));
        ASSERT_TRUE(Press(Page()->m_btnReadAll)) << f.name;
        ASSERT_EQ(Rows().size(), 3) << f.name;

        // A click puts the row's index into the box; a typed index then wins.
        Q_EMIT Page()->m_listMessages->clicked(Page()->m_listMessages->model()->index(0, 0));
        EXPECT_EQ(Page()->m_editIndex->text(), QString::number(at[0]));
        Page()->m_editIndex->setText(QStringLiteral(" %1 ").arg(at[1]));
        ASSERT_TRUE(Press(Page()->m_btnDelete)) << f.name;
        EXPECT_NE(Received().find("AT+CMGD=" + std::to_string(at[1]) + "\r"), std::string::npos) << f.name;
        EXPECT_EQ(State().store.count(at[1]), 0u) << f.name;
        QStringList indexes;
        for (const QString& row : Rows())
            indexes << row.section('|', 0, 0);
        EXPECT_EQ(indexes, QStringList({QString::number(at[0]), QString::number(at[2])})) << f.name;
        EXPECT_TRUE(Page()->m_editIndex->text().isEmpty()) << f.name;

        // "1,4" would delete every read message: it is no index.
        for (const char* bad : {"1,4", "501", "-1", "x"}) {
            boxes.Clear();
            Page()->m_editIndex->setText(bad);
            ASSERT_TRUE(Press(Page()->m_btnDelete)) << bad;
            EXPECT_EQ(boxes.Texts(), QStringList{"The index number is invalid!"}) << bad;
        }
        EXPECT_EQ(Received().find("AT+CMGD=1,4"), std::string::npos) << f.name;
        EXPECT_EQ(State().store.size(), 2u) << f.name;
        EXPECT_EQ(Rows().size(), 2) << f.name;
    }
}

TEST_F(SmsPageSim, DeleteAllByFamily)
{
    const struct {
        Family family;
        const char* command;
    } cases[] = {
        {kGsm, "AT+CMGD=1,4\r"},
        {{sim::Family::Umts, "KV33D01", 1, 2, "KV33D01"}, "AT+CMGD=1,4\r"},
        {{sim::Family::Umts, "RX70B03", 1, 0, "RX70B03"}, "AT+JMGDA=6\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family.revision);
        Use(c.family);
        StoreSms(Message(u"a"), false);
        StoreSms(Message(u"b"), false);
        ASSERT_TRUE(Press(Page()->m_btnReadAll));
        ASSERT_EQ(Rows().size(), 2);
        Page()->m_editIndex->setText("2");
        ASSERT_TRUE(Press(Page()->m_btnDeleteAll));
        EXPECT_NE(Received().find(c.command), std::string::npos);
        EXPECT_TRUE(Rows().isEmpty());
        EXPECT_TRUE(Page()->m_editIndex->text().isEmpty());
        EXPECT_TRUE(State().store.empty());
        EXPECT_EQ(boxes.Count(), 0) << boxes.Texts().join(';').toStdString();
    }
}

TEST_F(SmsPageSim, ADoubleClickedRowOpensInTheReadDialog)
{
    Use(kUmts);
    StoreSms(Message(u"line one\nline two"), false);
    Page()->m_radioPdu->setChecked(true);
    ASSERT_TRUE(Press(Page()->m_btnReadAll));
    ASSERT_EQ(Rows().size(), 1);
    const QString before = Received().c_str();
    Q_EMIT Page()->m_listMessages->doubleClicked(Page()->m_listMessages->model()->index(0, 2));
    EXPECT_EQ(TakeReadDialog("line one\nline two"), "8613912345678|2024/01/25  13:45:32+08|REC UNREAD|line one\nline two");
    EXPECT_EQ(QString(Received().c_str()), before) << "a double-click asks the module nothing";
}

} // namespace

TEST_F(SmsPageSim, TextGoesOutInTheAnnouncedCharacterSet)
{
    Use(kGsm);
    Page()->m_editReceiver->setText("12345");
    ChooseType(0);
    // GSM: the default alphabet's codes, one a byte.
    Page()->m_editMessage->setPlainText(QString::fromUtf8("h\u00e9llo \u00f1 \u0394\u03a9 @"));
    ASSERT_TRUE(Press(Page()->m_btnSend));
    EXPECT_EQ(boxes.Texts(), QStringList{"Success to send a message!"});
    const std::string wire = "AT+CMGS=\"12345\"\r\nh\x05llo \x7d \x10\x15 " + std::string(1, '\0') + "\x1a";
    EXPECT_NE(Received().find(wire), std::string::npos) << Received();
    ASSERT_FALSE(State().sent.empty());
    EXPECT_EQ(State().sent.back().text, u"h\u00e9llo \u00f1 \u0394\u03a9 @");
}

TEST_F(SmsPageSim, CharactersTheAnnouncedSetHasNoCodeForAreRefusedBeforeAnythingGoesOut)
{
    const struct {
        const Family* family;
        int type;
        const char* text;
        const char* box;
    } cases[] = {
        {&kGsm, 0, "h\u00e9llo \u2713 \u041f\u0440\u0438\u0432\u0435\u0442",
            "The character \"\u2713\" cannot be sent with the GSM character set! Choose UCS2 to send it."},
        {&kGsm, 0, "ok \U0001F600", "The character \"\U0001F600\" cannot be sent with the GSM character set! Choose UCS2 to send it."},
        // The extension table's escape would cancel a text-mode message.
        {&kGsm, 0, "5 \u20ac", "The character \"\u20ac\" cannot be sent with the GSM character set! Choose UCS2 to send it."},
        {&kUmts, 1, "h\u00e9llo", "The character \"\u00e9\" cannot be sent with the IRA character set! Choose UCS2 to send it."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family->name) + " " + c.text);
        Use(*c.family);
        Page()->m_editReceiver->setText("12345");
        ChooseType(c.type);
        Page()->m_editMessage->setPlainText(QString::fromUtf8(c.text));
        // The worker refuses before its first command.
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), AppModemSession(), QString::fromUtf8(c.box),
            [&] { ASSERT_TRUE(Press(Page()->m_btnSend)); }, false));
    }
}

TEST_F(SmsPageSim, HostileReceiversAreRefusedAndTheModuleHearsNothing)
{
    Use(kGsm);
    for (const char* number : {"12345\";+CFUN=0;+CMGS=\"1", "12345;+CFUN=0", "12345\rAT+CFUN=0", "12345\x1a"}) {
        SCOPED_TRACE(number);
        Page()->m_editReceiver->setText(QString::fromUtf8(number));
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), AppModemSession(), "Recipient number is invalid!",
            [&] { ASSERT_TRUE(Press(Page()->m_btnSend)); }, false));
    }
}
