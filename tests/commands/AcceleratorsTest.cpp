#include "common/TestEnv.h"
#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "platform/MessageBox.h"
#include "shell/CMainFrame.h"
#include "shell/COutbarView.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/FrameCommands.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

// The main window with every desktop dialog replaced by a recorder.
class AcceleratorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedParams = g_sysParams;
        savedHooks = FrameCommands::DesktopHooks();
        g_sysParams.savelog = 0;
        theApp.m_nWidthMidView = 0; // nothing stored: the pages choose the width
        FrameCommands::Hooks& h = FrameCommands::DesktopHooks();
        h.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
        h.startProgram = [](const QString&) { return false; };
        h.saveLogPath = [](QWidget*, const QString&) { return QString(); };
        h.reloadLogPath = [](QWidget*) { return QString(); };
        h.openDocumentPath = [this](QWidget*) {
            asked << "open";
            return openPath;
        };
        h.saveDocumentPath = [this](QWidget*, const QString& proposed) {
            asked << "save " + proposed;
            return savePath;
        };
        h.printDialog = [this](QWidget*, QPrinter& printer) {
            asked << "print";
            if (printPath.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printPath);
            return true;
        };

        g_nModuleType = 1;
        frame = std::make_unique<CMainFrame>(1);
        ASSERT_TRUE(frame->Create());
        frame->resize(1200, 800);
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->TestView2()->Terminal()->SetByteSender([this](unsigned char b) { typed.append(char(b)); });
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void TearDown() override
    {
        frame.reset();
        FrameCommands::DesktopHooks() = savedHooks;
        g_sysParams = savedParams;
        g_nModuleType = 0;
    }

    // Focus on a widget of the window, then the key as the user presses it.
    void Press(QWidget* focus, QKeyCombination key)
    {
        focus->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), focus);
        QTest::keyClick(focus, key.key(), key.keyboardModifiers());
        QApplication::processEvents();
    }
    QWidget* NavigationFocus()
    {
        for (QWidget* w : frame->OutbarView()->findChildren<QWidget*>()) {
            if (w->focusPolicy() & Qt::TabFocus)
                return w;
        }
        return nullptr;
    }
    QLineEdit* PageEdit()
    {
        frame->ShowPage(kPageTcpUdp);
        QApplication::processEvents();
        return frame->TestView1()->TcpPage()->ApnEdit();
    }

    SysParams savedParams;
    FrameCommands::Hooks savedHooks;
    std::unique_ptr<CMainFrame> frame;
    QStringList asked;
    QString openPath, savePath, printPath;
    QByteArray typed;
};

TEST_F(AcceleratorsTest, KeysOutsideAnyBoxReachTheMainWindowsCommands)
{
    QWidget* nav = NavigationFocus();
    ASSERT_NE(nav, nullptr);
    const QString dir = ::ulv::test::TempHome();
    savePath = dir + "/saved.doc";
    printPath = dir + "/printed.pdf";
    openPath = dir + "/missing.doc";
    MessageBoxRecorder boxes;

    struct Case {
        QKeyCombination key;
        const char* asked; // what the desktop was asked for, "" for nothing
    };
    const Case cases[] = {
        { Qt::CTRL | Qt::Key_N, "" },
        { Qt::CTRL | Qt::Key_A, "open" },
        { Qt::CTRL | Qt::Key_S, "save Untitled" },
        { Qt::CTRL | Qt::Key_P, "print" },
        { Qt::CTRL | Qt::Key_Z, "" },
        { Qt::ALT | Qt::Key_Backspace, "" },
    };
    for (const Case& c : cases) {
        asked.clear();
        Press(nav, c.key);
        EXPECT_EQ(asked.join(','), QString::fromLatin1(c.asked)) << QKeySequence(c.key).toString().toStdString();
    }
    // The document holds nothing: the saved file is empty, the printout one blank page,
    // and a file that cannot be read is said so.
    EXPECT_TRUE(QFile::exists(savePath));
    EXPECT_EQ(QFileInfo(savePath).size(), 0);
    EXPECT_TRUE(QFile::exists(printPath));
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_EQ(boxes.Texts()[0], "Failed to open document.");
    EXPECT_TRUE(typed.isEmpty());
}

TEST_F(AcceleratorsTest, CopyCutAndPasteOutsideAnyBoxGoToTheHiddenBox)
{
    CTerminalRichEdit* hidden = frame->TestView1()->HiddenEdit();
    hidden->setPlainText(QStringLiteral("hidden text"));
    hidden->selectAll();
    QWidget* nav = NavigationFocus();
    for (QKeyCombination key : { QKeyCombination(Qt::CTRL | Qt::Key_C), QKeyCombination(Qt::CTRL | Qt::Key_Insert) }) {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        Press(nav, key);
        EXPECT_EQ(QApplication::clipboard()->text(), "hidden text") << QKeySequence(key).toString().toStdString();
    }
    // The hidden box is read-only: cut and paste change nothing.
    QApplication::clipboard()->setText(QStringLiteral("before"));
    Press(nav, Qt::SHIFT | Qt::Key_Delete);
    Press(nav, Qt::CTRL | Qt::Key_X);
    Press(nav, Qt::SHIFT | Qt::Key_Insert);
    Press(nav, Qt::CTRL | Qt::Key_V);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(hidden->toPlainText(), "hidden text");
}

TEST_F(AcceleratorsTest, BoxesOnAPageKeepTheirOwnKeys)
{
    QLineEdit* edit = PageEdit();
    edit->setText(QStringLiteral("page text"));
    edit->selectAll();
    Press(edit, Qt::CTRL | Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), "page text");

    // Ctrl+A selects in the box; Ctrl+S, Ctrl+P and F6 do nothing there.
    edit->deselect();
    Press(edit, Qt::CTRL | Qt::Key_A);
    EXPECT_EQ(edit->selectedText(), "page text");
    for (QKeyCombination key : { QKeyCombination(Qt::CTRL | Qt::Key_S), QKeyCombination(Qt::CTRL | Qt::Key_P),
                                 QKeyCombination(Qt::CTRL | Qt::Key_N), QKeyCombination(Qt::Key_F6) })
        Press(edit, key);
    EXPECT_TRUE(asked.isEmpty()) << asked.join(',').toStdString();
    EXPECT_EQ(QApplication::focusWidget(), edit);

    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    edit->clear();
    Press(edit, Qt::CTRL | Qt::Key_V);
    EXPECT_EQ(edit->text(), "pasted");
}

TEST_F(AcceleratorsTest, TheTerminalTurnsItsKeysIntoBytesBeforeTheMainWindowSeesThem)
{
    CTerminalRichEdit* terminal = frame->TestView2()->Terminal();
    terminal->setPlainText(QStringLiteral("OK"));
    terminal->selectAll();
    Press(terminal, Qt::CTRL | Qt::Key_Z);
    Press(terminal, Qt::CTRL | Qt::Key_C);
    Press(terminal, Qt::CTRL | Qt::Key_S);
    Press(terminal, Qt::Key_F6);
    EXPECT_EQ(typed, QByteArray("\x1A", 1));
    EXPECT_EQ(QApplication::clipboard()->text(), "OK");
    EXPECT_TRUE(asked.isEmpty()) << asked.join(',').toStdString();
    EXPECT_EQ(QApplication::focusWidget(), terminal);
}

TEST_F(AcceleratorsTest, F6AndShiftF6WalkThroughThePanes)
{
    QWidget* nav = NavigationFocus();
    CTestView1* host = frame->TestView1();
    Press(nav, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), host);
    Press(host, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame->TestView2()->Terminal());
    Press(host, Qt::SHIFT | Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), nav);
    Press(nav, Qt::SHIFT | Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), frame->TestView2()->Terminal());
    // A page control keeps F6, as the terminal does (it sends nothing for it).
    QLineEdit* edit = PageEdit();
    Press(edit, Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_TRUE(typed.isEmpty());
}

} // namespace
