// The PPP dial-up page's own behaviour: settings, the main command, the tabs
// and the refusals of Send.
#include "pages/data/CTestitemDlg_pppdial.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/chrome/CFolderTabCtrl.h"

#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

TEST_F(PppPage, ReceivedDatagramShowsInTheUdpPaneAndAddressesInTheLabels)
{
    IpcpAddressState s;
    s.ownAddress = {1, {10, 0, 2, 15}};
    s.ownDns1 = {1, {10, 0, 2, 3}};
    page->ShowIpcpAddresses(s);
    EXPECT_EQ(page->IpLabel()->text(), "10.0.2.15");
    EXPECT_EQ(page->Dns1Label()->text(), "10.0.2.3");
    EXPECT_EQ(page->Dns2Label()->text(), "");
    EXPECT_EQ(page->SourceIpEdit()->text(), "10.0.2.15");

    PppUdpRequest r{{10, 0, 2, 2}, {10, 0, 2, 15}, "6004", "4321", "hi there"};
    const PppUdpFrame f = BuildPppUdpFrame(r, LcpOptionState{});
    page->PppRawChunk(QByteArray(reinterpret_cast<const char*>(f.wire.data()), static_cast<qsizetype>(f.wire.size())));
    EXPECT_TRUE(page->UdpPane()->toPlainText().contains(": hi there"));
}

} // namespace
