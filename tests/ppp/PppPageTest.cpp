// The PPP dial-up page's own behaviour: settings, the main command, the tabs
// and the refusals of Send.
#include "atlib/core/DatabaseFiles.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "platform/Gui.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/chrome/CFolderTabCtrl.h"

#include "common/EventLoopWait.h"
#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

using namespace ulv;

namespace {

class PppPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDir = theApp.m_strParamDir;
        theApp.m_strParamDir = ulv::test::TempHome() + "/param-ppp";
        QDir(theApp.m_strParamDir).removeRecursively();
        QDir().mkpath(theApp.m_strParamDir);
        page = std::make_unique<CTestitemDlg_pppdial>();
        page->m_showMessage = [this](const QString& m) { messages << m; };
    }
    void TearDown() override
    {
        page.reset();
        theApp.m_strParamDir = m_savedDir;
        theApp.PppLinkUp = 0;
    }
    std::unique_ptr<CTestitemDlg_pppdial> page;
    QStringList messages;
    QString m_savedDir;
};

// Runs the UI thread until everything posted before this call has run.
void DrainPosted()
{
    bool done = false;
    Gui::Post([&done] { done = true; });
    ASSERT_TRUE(ulv::test::RunEventsUntil([&done] { return done; }, 10000));
}

TEST_F(PppPage, ApnWithBlanksRewritesTheMainCommandTrimmed)
{
    page->ApnEdit()->setText("  internet.test ");
    EXPECT_EQ(page->MainCommandEdit()->text(), "AT+CGDCONT=1,\"IP\",\"internet.test\"");
}

TEST_F(PppPage, SettingsRoundTripAndCodesOnlyWhenBothKnown)
{
    EXPECT_EQ(page->ApnEdit()->text(), "CMNET");
    EXPECT_EQ(page->DnsNumberCombo()->currentIndex(), 0);
    page->ApnEdit()->setText("apn.x");
    page->UserEdit()->setText("u");
    page->PasswordEdit()->setText("p");
    page->DnsNumberCombo()->setCurrentIndex(1);
    page->m_strMcc = "460";
    page->SaveSettings();
    const QByteArray file = ulv::test::ReadAll(page->SettingsPath());
    EXPECT_TRUE(file.contains("DNSnumber=1"));
    EXPECT_FALSE(file.contains("MCC"));

    CTestitemDlg_pppdial again;
    EXPECT_EQ(again.ApnEdit()->text(), "apn.x");
    EXPECT_EQ(again.UserEdit()->text(), "u");
    EXPECT_EQ(again.PasswordEdit()->text(), "p");
    EXPECT_EQ(again.DnsNumberCombo()->currentIndex(), 1);
}

TEST_F(PppPage, FolderTabsShowOnePaneEach)
{
    page->show();
    EXPECT_EQ(page->FolderTabs()->GetItemCount(), 3);
    // The datagram form opens ready to send: both ports preset.
    EXPECT_EQ(page->SourcePortEdit()->text(), "4321");
    EXPECT_EQ(page->DestPortEdit()->text(), "6004");
    EXPECT_TRUE(page->LogPane()->isVisible());
    EXPECT_FALSE(page->UdpPane()->isVisible());
    page->SelectTab(1);
    EXPECT_FALSE(page->LogPane()->isVisible());
    EXPECT_TRUE(page->UdpPane()->isVisible());
    page->SelectTab(2);
    EXPECT_TRUE(page->SendDataEdit()->isVisible());
    EXPECT_FALSE(page->UdpPane()->isVisible());
}

TEST_F(PppPage, SendRefusesWithoutLinkAndOverlongData)
{
    page->SendDataEdit()->setPlainText("A");
    page->OnButtonSendUdp();
    theApp.PppLinkUp = 1;
    page->SendDataEdit()->setPlainText(QString(1401, 'x'));
    page->OnButtonSendUdp();
    page->SendDataEdit()->setPlainText("x");
    page->SourcePortEdit()->setText("");
    page->OnButtonSendUdp();
    EXPECT_EQ(messages, (QStringList{"Please create the PPP connection firstly!",
                            "The allowed count of sending characters should be less than 1400 !",
                            "Please input the source port number!"}));
}

TEST_F(PppPage, SendRefusesAnAddressThatIsNoAddress)
{
    theApp.PppLinkUp = 1;
    page->SendDataEdit()->setPlainText("x");
    page->DestIpEdit()->setText("10.0.2.2");
    const struct {
        const char* source;
        const char* dest;
        const char* message;
    } cases[] = {
        {"300.1.2.3", "10.0.2.2", "\"Source IP\" should be four numbers from 0 to 255 separated by dots!"},
        {"", "10.0.2.2", "\"Source IP\" should be four numbers from 0 to 255 separated by dots!"},
        {"10.0.2.15", "10.0.2", "\"Dest IP\" should be four numbers from 0 to 255 separated by dots!"},
    };
    for (const auto& c : cases) {
        messages.clear();
        page->FrameDataEdit()->clear();
        page->SourceIpEdit()->setText(c.source);
        page->DestIpEdit()->setText(c.dest);
        page->OnButtonSendUdp();
        EXPECT_EQ(messages, QStringList({c.message})) << c.source << " " << c.dest;
        EXPECT_TRUE(page->FrameDataEdit()->text().isEmpty()) << "no frame is built";
    }
}

TEST_F(PppPage, TheDatagramCarriesTheTextAsUtf8)
{
    theApp.PppLinkUp = 1;
    page->SourceIpEdit()->setText("10.0.2.15");
    page->DestIpEdit()->setText("10.0.2.2");
    page->SendDataEdit()->setPlainText(QString::fromUtf8("5 \u20ac \u00e9"));
    page->OnButtonSendUdp();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    PppUdpRequest r{{10, 0, 2, 15}, {10, 0, 2, 2}, "4321", "6004", "5 \xE2\x82\xAC \xC3\xA9"};
    EXPECT_EQ(page->FrameDataEdit()->text().toStdString(), BuildPppUdpFrame(r, LcpOptionState{}).frameText);
}

TEST_F(PppPage, ReceivedDatagramShowsInTheUdpPaneAndAddressesInTheLabels)
{
    // A second server not asked for, or asked for and given none.
    for (const IpcpAddressState::Entry dns2 : {IpcpAddressState::Entry {}, IpcpAddressState::Entry {1, {}}}) {
        IpcpAddressState s;
        s.ownAddress = {1, {10, 0, 2, 15}};
        s.ownDns1 = {1, {10, 0, 2, 3}};
        s.ownDns2 = dns2;
        page->ShowIpcpAddresses(s);
        EXPECT_EQ(page->IpLabel()->text(), "10.0.2.15");
        EXPECT_EQ(page->Dns1Label()->text(), "10.0.2.3");
        EXPECT_EQ(page->Dns2Label()->text(), "- - -") << dns2.present;
        EXPECT_EQ(page->SourceIpEdit()->text(), "10.0.2.15");
    }

    PppUdpRequest r{{10, 0, 2, 2}, {10, 0, 2, 15}, "6004", "4321", "hi there"};
    const PppUdpFrame f = BuildPppUdpFrame(r, LcpOptionState{});
    page->PppRawChunk(QByteArray(reinterpret_cast<const char*>(f.wire.data()), static_cast<qsizetype>(f.wire.size())));
    EXPECT_TRUE(page->UdpPane()->toPlainText().contains(": hi there"));
}

TEST_F(PppPage, RecommendedApnFillsTheFieldsOncePerNetwork)
{
    InstallShippedDatabases();
    struct Step {
        const char* mcc;
        const char* mnc;
        const char* typedApn; // typed by the user before the lookup; null: nothing typed
        const char* apn;
        const char* user;
        const char* password;
    } steps[] = {
        {"001", "01", nullptr, "internet.test", "benchuser", "bench01"},
        // The same network again: what the user typed since stays.
        {"001", "01", "mine", "mine", "benchuser", "bench01"},
        // A network without a row empties the fields.
        {"999", "99", nullptr, "", "", ""},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(std::string(st.mcc) + "/" + st.mnc);
        if (st.typedApn)
            page->ApnEdit()->setText(st.typedApn);
        page->LookupRecommendedApn(st.mcc, st.mnc);
        DrainPosted();
        EXPECT_EQ(page->ApnEdit()->text(), st.apn);
        EXPECT_EQ(page->UserEdit()->text(), st.user);
        EXPECT_EQ(page->PasswordEdit()->text(), st.password);
        EXPECT_EQ(page->m_strMcc, st.mcc);
        EXPECT_EQ(page->m_strMnc, st.mnc);
    }
    // The codes of the last lookup go to the file with the fields.
    page->SaveSettings();
    const QByteArray file = ulv::test::ReadAll(page->SettingsPath());
    EXPECT_TRUE(file.contains("MCC=999"));
    EXPECT_TRUE(file.contains("MNC=99"));
}

TEST_F(PppPage, ChecksumToolsReadTheFrameDataText)
{
    // 10.64.64.2:4321 -> 10.64.64.1:6004 "A": the IP header with its checksum
    // field 0, and the pseudo-header, UDP header and payload.
    const struct {
        const char* text;
        bool udp;
        const char* shown;
    } cases[] = {
        {"45 00 00 1E 00 05 00 00 80 11 00 00 0A 40 40 02 0A 40 40 01", false, "A647"},
        {"0A4040020A404001 0011000A 10E11774000A0000 4100", true, "0202"},
        {"45 00 00 1E", false, "An IP header needs 20 bytes!"},
        {"0A4040020A40", true, "A UDP pseudo-header needs 12 bytes!"},
        {"not hex at all", true, "A UDP pseudo-header needs 12 bytes!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        messages.clear();
        page->FrameDataEdit()->setText(c.text);
        auto* button = page->findChild<QPushButton*>(c.udp ? "1003" : "1002");
        ASSERT_NE(button, nullptr);
        button->click();
        EXPECT_EQ(messages, QStringList{c.shown});
    }
}

TEST_F(PppPage, TheTemplatesOlderToolsStayHidden)
{
    page->show();
    for (const char* id : {"1451", "1002", "1003", "1366", "1029", "1038", "1039", "1379", "1380", "1381", "1428",
             "1028", "1043", "1325", "1034", "1026", "1382"}) {
        SCOPED_TRACE(id);
        auto* w = page->findChild<QWidget*>(id);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(w->isVisible());
    }
    auto* box = page->findChild<QCheckBox*>("1038");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(page->findChild<QPushButton*>("1451")->toolTip(), "Select APN that are recommended!");
}

} // namespace
