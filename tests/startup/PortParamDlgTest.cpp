#include "shell/CPortParamDlg.h"
#include "ScreenshotSupport.h"
#include "common/TestEnv.h"
#include "platform/MessageBox.h"
#include "serial/CommPortSettings.h"
#include "shell/DropDownComboBox.h"
#include "ui/controls/CSkinButton.h"

#include <QApplication>
#include <QComboBox>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QStringList Items(const QComboBox* c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i)
        items << c->itemText(i);
    return items;
}

class PortParamDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ports = {"/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyACM0"};
        previous = CPortParamDlg::SetPortLister([this] { return ports; });
        iniPath = test::TempHome() + "/commport-test.ini";
        QFile::remove(iniPath);
    }
    void TearDown() override { CPortParamDlg::SetPortLister(previous); }

    void Open(CPortParamDlg& d, const CommPortSettings& s)
    {
        d.m_settings = s;
        d.m_strIniPath = iniPath;
        d.show();
    }

    QStringList ports;
    CPortParamDlg::PortLister previous;
    QString iniPath;
    MessageBoxRecorder boxes;
};

CommPortSettings Stored(const QString& port, int baud = 115200)
{
    CommPortSettings s;
    s.port = port;
    s.baud = baud;
    return s;
}

} // namespace

TEST_F(PortParamDlgTest, ListsThePortsInNameOrderAndSelectsTheStoredOne)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyUSB2"));
    EXPECT_EQ(d.windowTitle(), "Serial port parameter set");
    EXPECT_EQ(Items(d.m_comboPort), QStringList({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
    EXPECT_EQ(d.m_comboPort->currentText(), "/dev/ttyUSB2");
    EXPECT_TRUE(d.m_comboPort->isEnabled());
    EXPECT_EQ(Items(d.m_comboParity), QStringList({"None", "Odd", "Even", "CRC"}));
    EXPECT_EQ(Items(d.m_comboFlow), QStringList({"None", "HW Ctrl", "SW Ctrl"}));
    EXPECT_EQ(Items(d.m_comboDataBits), QStringList({"8", "7", "6", "5", "4"}));
    EXPECT_EQ(Items(d.m_comboBaud).size(), 13);
}

TEST_F(PortParamDlgTest, AStoredPortThatIsGoneSelectsNothing)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyUSB7"));
    EXPECT_EQ(d.m_comboPort->currentIndex(), -1);
    EXPECT_EQ(d.m_comboPort->currentText(), "");
}

TEST_F(PortParamDlgTest, AStoredPortTheSystemDoesNotListShowsAsTheChoice)
{
    // A pseudo-terminal (what --port is given for the simulated module) has
    // no entry under /sys/class/tty/*/device.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString pty = QString::fromLocal8Bit(ptsname(master));
    {
        CPortParamDlg d;
        Open(d, Stored(pty));
        EXPECT_EQ(d.m_comboPort->currentText(), pty);
        EXPECT_TRUE(Items(d.m_comboPort).contains("/dev/ttyUSB2"));
        // It stays on the list when the list is filled again on a drop-down.
        d.FillPortList();
        EXPECT_EQ(d.m_comboPort->currentText(), pty);
        d.accept();
        EXPECT_EQ(d.m_settings.port, pty);
        EXPECT_EQ(ReadCommPortSettings(iniPath).port, pty);
    }
    ::close(master);
}

TEST_F(PortParamDlgTest, StoredValuesSelectTheirEntries)
{
    struct Case {
        int baud, dataBits, stopBits, parity, flow;
        const char *baudText, *dataText, *stopText, *parityText, *flowText;
    };
    const Case cases[] = {
        {2900000, 7, 2, 2, 1, "2900000", "7", "2", "Even", "HW Ctrl"},
        {921600, 8, 1, 0, 2, "921600", "8", "1", "None", "SW Ctrl"},
        {123456, 9, 3, 3, 0, "", "", "1", "CRC", "None"},
    };
    for (const Case& c : cases) {
        CPortParamDlg d;
        CommPortSettings s = Stored("/dev/ttyS0", c.baud);
        s.dataBits = c.dataBits;
        s.stopBits = c.stopBits;
        s.parity = c.parity;
        s.flowCtrl = c.flow;
        Open(d, s);
        EXPECT_EQ(d.m_comboBaud->currentText(), c.baudText) << c.baud;
        EXPECT_EQ(d.m_comboDataBits->currentText(), c.dataText) << c.baud;
        EXPECT_EQ(d.m_comboStopBits->currentText(), c.stopText) << c.baud;
        EXPECT_EQ(d.m_comboParity->currentText(), c.parityText) << c.baud;
        EXPECT_EQ(d.m_comboFlow->currentText(), c.flowText) << c.baud;
    }
}

TEST_F(PortParamDlgTest, OkSavesTheSixValuesToCommportIni)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyS0"));
    d.m_comboPort->setCurrentText("/dev/ttyUSB10");
    d.m_comboBaud->setCurrentText("460800");
    d.m_comboDataBits->setCurrentText("7");
    d.m_comboStopBits->setCurrentText("2");
    d.m_comboParity->setCurrentIndex(1);
    d.m_comboFlow->setCurrentIndex(1);
    QTest::mouseClick(d.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.Texts().isEmpty());
    CommPortSettings expected;
    expected.port = "/dev/ttyUSB10";
    expected.baud = 460800;
    expected.dataBits = 7;
    expected.stopBits = 2;
    expected.parity = 1;
    expected.flowCtrl = 1;
    EXPECT_EQ(d.m_settings, expected);
    EXPECT_EQ(ReadCommPortSettings(iniPath), expected);
}

TEST_F(PortParamDlgTest, ABaudRateMissingFromTheListIsKeptOnOk)
{
    CPortParamDlg d;
    CommPortSettings s = Stored("/dev/ttyS0", 250000);
    s.dataBits = 9;
    Open(d, s);
    d.accept();
    EXPECT_EQ(d.m_settings.baud, 250000);
    EXPECT_EQ(d.m_settings.dataBits, 9);
    EXPECT_EQ(ReadCommPortSettings(iniPath).baud, 250000);
}

TEST_F(PortParamDlgTest, OkWithoutAPortSavesNothing)
{
    CPortParamDlg d;
    Open(d, Stored("", 9600));
    d.m_comboBaud->setCurrentText("4800");
    d.accept();
    EXPECT_EQ(boxes.Texts(), QStringList({"Invalid port number,system will not save it!"}));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.m_settings.HasPort());
    EXPECT_EQ(d.m_settings.baud, 9600) << "the other lists are not read";
    EXPECT_FALSE(QFile::exists(iniPath));
}

TEST_F(PortParamDlgTest, CancelSavesNothing)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyS0"));
    QTest::mouseClick(d.m_btnCancel, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(iniPath));
}

TEST_F(PortParamDlgTest, EveryDropDownRefreshesTheListAndKeepsTheChoice)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyS0"));
    ports << "/dev/ttyUSB3";
    d.m_comboPort->setCurrentText("/dev/ttyUSB2");
    d.m_comboPort->showPopup();
    d.m_comboPort->hidePopup();
    EXPECT_EQ(Items(d.m_comboPort),
        QStringList({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB2", "/dev/ttyUSB3", "/dev/ttyUSB10"}));
    EXPECT_EQ(d.m_comboPort->currentText(), "/dev/ttyUSB2");

    ports.removeAll("/dev/ttyUSB2");
    d.m_comboPort->showPopup();
    d.m_comboPort->hidePopup();
    EXPECT_FALSE(Items(d.m_comboPort).contains("/dev/ttyUSB2")) << "an unplugged port drops out";
    EXPECT_EQ(d.m_comboPort->currentText(), "");
}

TEST_F(PortParamDlgTest, ATypedPathStaysListedAndIsSaved)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyS0"));
    d.m_comboPort->lineEdit()->clear();
    QTest::keyClicks(d.m_comboPort->lineEdit(), "/dev/pts/7");
    d.m_comboPort->showPopup();
    d.m_comboPort->hidePopup();
    EXPECT_TRUE(Items(d.m_comboPort).contains("/dev/pts/7"));
    EXPECT_EQ(d.m_comboPort->currentText(), "/dev/pts/7");
    d.accept();
    EXPECT_EQ(ReadCommPortSettings(iniPath).port, "/dev/pts/7");
}

TEST_F(PortParamDlgTest, NmeaPortUseDisablesThePortChoiceAndNeverWrites)
{
    CPortParamDlg d;
    d.m_bPortSelectable = 0;
    Open(d, Stored("/dev/ttyUSB1", 9600));
    EXPECT_FALSE(d.m_comboPort->isEnabled());
    EXPECT_EQ(d.m_comboPort->currentIndex(), -1);
    d.m_comboBaud->setCurrentText("4800");
    d.accept();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(d.m_settings.port, "/dev/ttyUSB1");
    EXPECT_EQ(d.m_settings.baud, 4800);
    EXPECT_FALSE(QFile::exists(iniPath));
}

TEST_F(PortParamDlgTest, Screenshot)
{
    CPortParamDlg d;
    Open(d, Stored("/dev/ttyUSB2"));
    EXPECT_FALSE(SaveScreenshot(&d, "port-dialog").isEmpty());
}

TEST_F(PortParamDlgTest, WithNoPortFoundTheDialogSaysSoAndTakesATypedPath)
{
    struct Case {
        QStringList found;
        bool note;
    };
    for (const Case& c : {Case{{}, true}, Case{{"/dev/ttyUSB0"}, false}}) {
        ports = c.found;
        CPortParamDlg d;
        Open(d, Stored(QString()));
        QApplication::processEvents();
        EXPECT_EQ(d.m_labelNoPort->isVisible(), c.note) << c.found.size();
        if (!c.note)
            continue;
        SaveScreenshot(&d, "port-dialog-no-port");
        EXPECT_EQ(d.m_labelNoPort->text(), QString::fromLatin1(CPortParamDlg::kNoPortText));
        // The note shows whole and the buttons stay below it, inside the dialog.
        EXPECT_LE(d.m_labelNoPort->heightForWidth(d.m_labelNoPort->width()), d.m_labelNoPort->height());
        EXPECT_GT(d.m_btnOk->y(), d.m_labelNoPort->geometry().bottom());
        EXPECT_TRUE(d.rect().contains(d.m_btnOk->geometry()));
        EXPECT_TRUE(d.m_comboPort->isEditable());
        QTest::keyClicks(d.m_comboPort->lineEdit(), "/dev/ttyACM3");
        QTest::mouseClick(d.m_btnOk, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(ReadCommPortSettings(iniPath).port, "/dev/ttyACM3");
    }
}
