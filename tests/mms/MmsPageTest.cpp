#include "sim/SimFixture.h"

#include "atlib/core/DatabaseFiles.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "common/WireFence.h"
#include "core/at/CommandQueue.h"
#include "core/at/ModemSession.h"
#include "pages/data/CTestitemDlg_MMS.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "sim/MmsState.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CTextProgressCtrl.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class MmsPage : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        savedDir = theApp.m_strParamDir;
        theApp.m_strParamDir = test::TempHome() + "/param-mms";
        QDir(theApp.m_strParamDir).removeRecursively();
        QDir().mkpath(theApp.m_strParamDir);
    }
    void TearDown() override
    {
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        host.reset();
        terminal.reset();
        g_sysParams = savedParams;
        g_nModuleType = 0;
        theApp.m_strParamDir = savedDir;
        sim::SimFixture::TearDown();
    }
    // The MMS page on show, the module's port open.
    void Begin()
    {
        StartSim(sim::Family::Umts);
        g_nModuleType = 1;
        terminal = std::make_unique<CTestView2>();
        StartCommandQueue();
        host = std::make_unique<CTestView1>();
        host->resize(450, 700);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        host->SwitchPage(2);
        ASSERT_FALSE(page()->isHidden());
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CTestitemDlg_MMS* page() { return host->MmsPage(); }
    template <class W>
    W* Child(const char* id)
    {
        W* w = page()->findChild<W*>(QString::fromLatin1(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    QString Text(const char* id) { return Child<QLineEdit>(id)->text(); }
    void SetText(const char* id, const QString& text) { Child<QLineEdit>(id)->setText(text); }
    QString Path(const char* name) const { return theApp.m_strParamDir + "/" + name; }
    void WriteFile(const QString& path, const QByteArray& data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // Fields for a send with one phone number and no files.
    void FillForSend()
    {
        SetText("1032", "http://mmsc.test/mms");
        SetText("1033", "10.0.0.172");
        SetText("1034", "80");
        SetText("1029", "5550100");
        SetText("1035", "4D4D53");
        SetText("1036", "");
        SetText("1037", "");
    }
    bool WaitForSendEnd()
    {
        return Until([&] { return !AppTaskGate().Running() && page()->SendButton()->isEnabled(); }, 60000);
    }

    MessageBoxRecorder boxes;
    SysParams savedParams;
    QString savedDir;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
};

} // namespace

TEST_F(MmsPage, WithoutASettingsFileTheBoxesStartEmptyAndTheCharacterSetsAsAscii)
{
    Begin();
    const struct {
        const char* id;
        QString text;
    } boxesAtStart[] = {
        {"1468", "UNIWAP"},
        {"1027", ""},
        {"1469", ""},
        {"1032", ""},
        {"1033", ""},
        {"1034", ""},
        {"1029", ""},
        {"1030", ""},
        {"1031", ""},
        {"1035", ""},
        {"1036", Path("textfile.txt")},
        {"1037", Path("jpgfile.jpg")},
    };
    for (const auto& b : boxesAtStart)
        EXPECT_EQ(Text(b.id), b.text) << b.id;
    for (const char* id : {"1463", "1464"}) {
        QComboBox* combo = Child<QComboBox>(id);
        EXPECT_EQ(combo->currentText(), "ASCII") << id;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, QStringList({"ASCII", "UTF8", "UCS2", "GBK"}));
    }
    EXPECT_TRUE(Child<QLineEdit>("1036")->isReadOnly());
    EXPECT_TRUE(Child<QPushButton>("1467")->isEnabled());
    EXPECT_TRUE(page()->ProgressBar()->isHidden());
    EXPECT_EQ(page()->ProgressBar()->GetUpper(), 100);

    // The hidden button shows file 2's length.
    WriteFile(Text("1037"), "12345");
    page()->OnButtonShowFileLength();
    EXPECT_EQ(boxes.Texts(), QStringList({"5"}));
}

TEST_F(MmsPage, SaveSettingsWritesElevenKeysAndAReopenedPageReadsThemBack)
{
    Begin();
    SetText("1468", "cmwap");
    SetText("1027", "user");
    SetText("1032", "http://mmsc.test/mms");
    SetText("1033", "10.0.0.172");
    SetText("1034", "8080");
    SetText("1029", "5550100");
    SetText("1030", "cc@test.example");
    SetText("1031", "bcc@test.example");
    SetText("1035", "Title, with \"quotes\"");
    Child<QComboBox>("1463")->setCurrentIndex(2);
    Child<QComboBox>("1464")->setCurrentIndex(3);
    SetText("1036", "/elsewhere/a.txt");
    page()->SaveSettings();

    IniFile ini(page()->SettingsPath());
    ini.Load();
    const QStringList keys = {"MMSC_URL", "MMSC_ADDR", "MMSC_PORT", "PHONENUMBER", "EMAIL_CC", "EMAIL_BCC",
        "TITLETYPE", "TITLE", "TEXTFILETYPE", "TEXTPATH", "PICTUREPATH"};
    EXPECT_EQ(ini.Keys("MMS"), keys);
    EXPECT_EQ(ini.Sections(), QStringList({"MMS"})) << "no access-point data";
    EXPECT_EQ(ini.GetString("MMS", "TITLETYPE"), "2");
    EXPECT_EQ(ini.GetString("MMS", "TEXTPATH"), "/elsewhere/a.txt");

    CTestitemDlg_MMS reopened;
    const auto text = [&](const char* id) { return reopened.findChild<QLineEdit*>(id)->text(); };
    EXPECT_EQ(text("1032"), "http://mmsc.test/mms");
    EXPECT_EQ(text("1034"), "8080");
    EXPECT_EQ(text("1031"), "bcc@test.example");
    EXPECT_EQ(text("1035"), "Title, with \"quotes\"");
    EXPECT_EQ(reopened.findChild<QComboBox*>("1463")->currentText(), "UCS2");
    EXPECT_EQ(reopened.findChild<QComboBox*>("1464")->currentText(), "GBK");
    EXPECT_EQ(text("1468"), "UNIWAP");
    EXPECT_EQ(text("1027"), "");
    EXPECT_EQ(text("1036"), Path("textfile.txt")) << "the file paths always start in the param folder";
}

TEST_F(MmsPage, AStoredCharacterSetIndexIsReadAsANumberAndOutOfRangeFallsBackToAscii)
{
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {{"1", "UTF8"}, {"3", "GBK"}, {" 2x", "UCS2"}, {"9", "ASCII"}, {"-1", "ASCII"}, {"junk", "ASCII"}};
    for (const auto& c : cases) {
        IniFile ini(theApp.m_strParamDir + "/mms_config.ini");
        ini.SetString("MMS", "TITLETYPE", c.stored);
        ASSERT_TRUE(ini.Save());
        CTestitemDlg_MMS page;
        EXPECT_EQ(page.findChild<QComboBox*>("1463")->currentText(), c.shown) << c.stored;
    }
}

TEST_F(MmsPage, SendRefusesMissingFieldsAndAsksWithoutAPhoneNumber)
{
    Begin();
    const QString question = "The Phone number is not set, are you going to continue?";
    struct Case {
        const char* apn;
        const char* phone;
        const char* cc;
        const char* bcc;
        int answer;
        QStringList shown;
        bool started;
    };
    const Case cases[] = {
        {"", "5550100", "", "", IDOK, {"Please set the correct APN!"}, false},
        {"uniwap", "", "", "", IDOK, {"Please set the Phone number or Email Address!"}, false},
        {"uniwap", "", "cc@test.example", "", IDNO, {question}, false},
        {"uniwap", "", "", "bcc@test.example", IDYES, {question}, true},
        {"uniwap", "5550100", "", "", IDOK, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.apn) + "|" + c.phone + "|" + c.cc + "|" + c.bcc);
        QFile::remove(page()->SettingsPath());
        FillForSend();
        SetText("1468", c.apn);
        SetText("1029", c.phone);
        SetText("1030", c.cc);
        SetText("1031", c.bcc);
        boxes.Clear();
        boxes.Answer(c.answer);
        const std::size_t before = sim().Commands().size();
        const auto tasksBefore = AppTaskGate().Started();
        Child<QPushButton>("1467")->click();
        EXPECT_EQ(boxes.Texts(), c.shown);
        EXPECT_TRUE(QFile::exists(page()->SettingsPath())) << "Send saves the settings first";
        // A worker starts (or not) within the click.
        EXPECT_EQ(AppTaskGate().Started() != tasksBefore, c.started);
        EXPECT_EQ(page()->SendButton()->isEnabled(), !c.started);
        EXPECT_EQ(page()->ProgressBar()->isHidden(), !c.started);
        if (c.started) {
            ASSERT_TRUE(WaitForSendEnd());
            EXPECT_EQ(sim().Commands().at(before), "ATE1");
            EXPECT_TRUE(page()->ProgressBar()->isHidden());
        }
    }
}

TEST_F(MmsPage, SendIsRefusedWhileAnotherTaskRunsOrNoPortIsOpen)
{
    Begin();
    FillForSend();
    {
        const std::optional<TaskGate::Token> other = AppTaskGate().TryStart();
        ASSERT_TRUE(other.has_value());
        Child<QPushButton>("1467")->click();
        EXPECT_TRUE(page()->SendButton()->isEnabled());
        EXPECT_TRUE(page()->ProgressBar()->isHidden());
        EXPECT_TRUE(other->Active()) << "the running task goes on";
    }
    host->CloseCommport();
    Child<QPushButton>("1467")->click();
    EXPECT_FALSE(AppTaskGate().Running());
    EXPECT_TRUE(page()->ProgressBar()->isHidden());
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_FALSE(QFile::exists(page()->SettingsPath())) << "a refused Send does nothing at all";
    EXPECT_TRUE(sim().Commands().empty());
}

TEST_F(MmsPage, SendUploadsBothFilesAndShowsTheStepsInTheTerminal)
{
    Begin();
    FillForSend();
    const QByteArray text = "line one\r\nline two\r\n";
    QByteArray picture("\xff\xd8\x1a\x7e\r\n\x00", 7);
    picture += QByteArray(2500, '\x7e');
    WriteFile(Path("note.txt"), text);
    WriteFile(Path("pic.jpg"), picture);
    SetText("1036", Path("note.txt"));
    SetText("1037", Path("pic.jpg"));
    Child<QComboBox>("1464")->setCurrentIndex(1);

    const auto tasksBefore = AppTaskGate().Started();
    Child<QPushButton>("1467")->click();
    ASSERT_NE(AppTaskGate().Started(), tasksBefore);
    EXPECT_FALSE(page()->SendButton()->isEnabled());
    EXPECT_FALSE(page()->ProgressBar()->isHidden());
    EXPECT_EQ(page()->ProgressBar()->Caption(), "Step 1: Checking the network...");
    ASSERT_TRUE(WaitForSendEnd());
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();
    EXPECT_TRUE(page()->ProgressBar()->isHidden());
    EXPECT_EQ(page()->ProgressBar()->GetPos(), 100);

    sim::MmsState mms;
    sim().With([&](sim::ModemEngine& e) { mms = e.Mms(); });
    ASSERT_EQ(mms.sent.size(), 1u);
    EXPECT_EQ(mms.sent[0].files.at("note.txt"), text.toStdString());
    EXPECT_EQ(mms.sent[0].files.at("pic.jpg"), picture.toStdString());
    EXPECT_EQ(mms.sent[0].config.at("character"), "UTF8");
    EXPECT_TRUE(mms.ram.empty());

    // The terminal shows what it was given a moment later.
    const auto shown = [&] {
        terminal->FlushPending();
        return terminal->Terminal()->toPlainText();
    };
    for (const char* note : {"/* Use ATE1 to enable echo mode */", "/* Upload a file to RAM */", "/* Send MMS message */",
             "/* Deact the context */"})
        EXPECT_TRUE(Until([&] { return shown().contains(note); }, 10000)) << note;
}

TEST_F(MmsPage, TheRecommendedApnIsTheNetworksMmsAccessPoint)
{
    InstallShippedDatabases();
    Begin();
    // The lookup is called on a worker's thread, as the SIM worker would.
    std::thread([&] { page()->LookupRecommendedApn("001", "01"); }).join();
    ASSERT_TRUE(Until([&] { return Text("1468") == "mms.test"; }, 10000)) << Text("1468").toStdString();
    EXPECT_EQ(Text("1027"), "");
    EXPECT_EQ(Text("1469"), "");

    // The same network again leaves what the user has typed since.
    SetText("1468", "typed");
    page()->LookupRecommendedApn("001", "01");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Text("1468"), "typed");

    // A network with no MMS access point empties the boxes.
    page()->LookupRecommendedApn("999", "99");
    ASSERT_TRUE(Until([&] { return Text("1468").isEmpty(); }, 10000));
}

TEST_F(MmsPage, HostileFieldsAreRefusedAndTheModuleHearsNothing)
{
    Begin();
    const QString quote = " must not contain a double quote (\")!";
    const struct {
        const char* id;
        const char* value;
        QString box;
    } cases[] = {
        {"1468", "UNIWAP\",1,1,1;+CFUN=0;+JICSGP=1,1,\"UNIWAP", "\"Access Point Name\"" + quote},
        {"1027", "u\r\nAT+CFUN=0", "\"User name\" must not contain a line break!"},
        {"1469", "p\x1A", "\"Password\" must not contain Ctrl-Z!"},
        {"1032", "http://mmsc.test/\";+CFUN=0;\"", "\"URL of MMSC\"" + quote},
        {"1033", "10.0.0.172\x1B", "\"Proxy address\" must not contain Esc!"},
        {"1034", "70000", "\"Port\" should be a number from 1 to 65535!"},
        {"1034", "80;+CFUN=0", "\"Port\" should be a number from 1 to 65535!"},
        {"1029", "5550100;+CFUN=0", "\"Phone number\" may hold only digits, +, * and #, not a semicolon (;)!"},
        {"1029", "555\"0100", "\"Phone number\" may hold only digits, +, * and #, not a double quote (\")!"},
        {"1030", "cc@test.example\"", "\"Email address of CC\"" + quote},
        {"1031", "bcc@test.example\r", "\"Email address of BCC\" must not contain a line break!"},
        {"1035", "4D4D53\";+CFUN=0", "\"The content of title\"" + quote},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " = " + c.value);
        FillForSend();
        const QString kept = Text(c.id);
        SetText(c.id, QString::fromUtf8(c.value));
        EXPECT_TRUE(test::RefusedQuietly(
            boxes, sim(), AppModemSession(), c.box, [&] { Child<QPushButton>("1467")->click(); }));
        EXPECT_TRUE(page()->SendButton()->isEnabled());
        SetText(c.id, kept);
    }
}
