#include "atlib/CAtCommandSelectDlg.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "common/TestEnv.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

class QuickList : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = test::TempHome() + "/param/ModuleName_null.ini";
        QDir().mkpath(test::TempHome() + "/param");
        QFile::remove(path);
        savedParamDir = theApp.m_strParamDir;
        theApp.m_strParamDir = test::TempHome() + "/param";
    }
    void TearDown() override { theApp.m_strParamDir = savedParamDir; }

    void WriteFile(const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray FileText()
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    std::unique_ptr<CAtCommandSelectDlg> Open()
    {
        auto dlg = std::make_unique<CAtCommandSelectDlg>();
        dlg->show();
        return dlg;
    }
    static std::vector<QStringList> Rows(const CAtCommandSelectDlg& dlg)
    {
        std::vector<QStringList> rows;
        for (int r = 0; r < dlg.List()->GetItemCount(); ++r)
            rows.push_back({dlg.List()->GetItemText(r, 0), dlg.List()->GetItemText(r, 1), dlg.List()->GetItemText(r, 2)});
        return rows;
    }
    void Edit(CAtCommandSelectDlg& dlg, const QString& command, bool enter, const QString& comment)
    {
        dlg.CommandEdit()->setText(command);
        dlg.WithEnterBox()->setChecked(enter);
        dlg.CommentEdit()->setText(comment);
    }

    QString path;
    QString savedParamDir;
};

} // namespace

TEST_F(QuickList, ListsTheSectionsWithTheirKeysAndDefaults)
{
    WriteFile("[AT+CSQ]\r\ncarriage return=1\r\ncomment=signal\r\n[ATI]\r\n");
    auto dlg = Open();
    EXPECT_EQ(dlg->m_strIniPath, path);
    EXPECT_EQ(dlg->windowTitle(), "AT Command edit/select");
    EXPECT_EQ(dlg->List()->Model()->Heading(0), "AT Command");
    EXPECT_EQ(dlg->List()->Model()->Heading(1), "+Send With Enter");
    EXPECT_EQ(dlg->List()->Model()->Heading(2), "Comment");
    EXPECT_EQ(Rows(*dlg), (std::vector<QStringList>{{"AT+CSQ", "1", "signal"}, {"ATI", "0", " "}}));
}

TEST_F(QuickList, ADoubleClickHandsBackTheCommandAndItsFlag)
{
    WriteFile("[ATI]\r\n[AT+CSQ]\r\ncarriage return=1\r\ncomment=signal\r\n");
    auto dlg = Open();
    dlg->List()->SetSelectionMark(1);
    dlg->OnDblclkCommandList();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->m_strCommand, "AT+CSQ");
    EXPECT_EQ(dlg->m_nCarriageReturn, 1);

    auto none = Open();
    none->List()->SetSelectionMark(-1);
    none->OnDblclkCommandList();
    EXPECT_TRUE(none->isVisible());
    EXPECT_EQ(none->m_strCommand, "");
}

TEST_F(QuickList, AClickFillsTheEditsAndAddWritesBothKeys)
{
    WriteFile("[AT+CSQ]\r\ncarriage return=1\r\ncomment=signal\r\n");
    auto dlg = Open();
    dlg->OnClickCommandList(0);
    EXPECT_EQ(dlg->CommandEdit()->text(), "AT+CSQ");
    EXPECT_TRUE(dlg->WithEnterBox()->isChecked());
    EXPECT_EQ(dlg->CommentEdit()->text(), "signal");
    EXPECT_EQ(dlg->m_nClickedRow, 0);

    Edit(*dlg, "AT+COPS?", false, "operator");
    dlg->OnButtonAdd();
    EXPECT_EQ(IniGetString(path, "AT+COPS?", "carriage return"), "0");
    EXPECT_EQ(IniGetString(path, "AT+COPS?", "comment"), "operator");
    EXPECT_TRUE(FileText().contains("[AT+COPS?]\r\ncarriage return=0\r\ncomment=operator\r\n"));
    // A command differing only in letter case lands in the same section.
    Edit(*dlg, "at+cops?", true, "again");
    dlg->OnButtonAdd();
    auto again = Open();
    EXPECT_EQ(Rows(*again), (std::vector<QStringList>{{"AT+CSQ", "1", "signal"}, {"AT+COPS?", "1", "again"}}));
}

TEST_F(QuickList, ModifyRenamesTheSectionOrRewritesItsKeys)
{
    WriteFile("[AT+CSQ]\r\ncarriage return=1\r\ncomment=signal\r\n[ATI]\r\n");
    auto dlg = Open();
    dlg->OnClickCommandList(1);
    Edit(*dlg, "ATI0", true, "identity");
    dlg->OnButtonModify();
    EXPECT_EQ(IniSections(path), (QStringList{"AT+CSQ", "ATI0"}));
    EXPECT_EQ(IniGetString(path, "ATI0", "carriage return"), "1");

    dlg->OnClickCommandList(0);
    Edit(*dlg, "AT+CSQ", false, "rssi");
    dlg->OnButtonModify();
    EXPECT_EQ(IniSections(path), (QStringList{"AT+CSQ", "ATI0"}));
    EXPECT_EQ(IniGetString(path, "AT+CSQ", "carriage return"), "0");
    EXPECT_EQ(IniGetString(path, "AT+CSQ", "comment"), "rssi");
    EXPECT_EQ(Rows(*dlg), (std::vector<QStringList>{{"AT+CSQ", "0", "rssi"}, {"ATI0", "1", "identity"}}));
}

TEST_F(QuickList, DeleteForgetsTheClickedRowSoNothingElseIsHit)
{
    MessageBoxRecorder boxes;
    WriteFile("[AT]\r\n[ATI]\r\n[AT+CSQ]\r\n");
    auto dlg = Open();
    dlg->OnButtonModify();
    EXPECT_EQ(boxes.Texts(), QStringList{"Please select a command first!"});

    dlg->OnClickCommandList(0);
    dlg->OnButtonDelete();
    dlg->OnButtonDelete();
    EXPECT_EQ(IniSections(path), (QStringList{"ATI", "AT+CSQ"}));
    Edit(*dlg, "ATZ", false, "");
    dlg->OnButtonModify();
    EXPECT_EQ(IniSections(path), (QStringList{"ATI", "AT+CSQ"}));
    EXPECT_EQ(boxes.Count(), 2);

    dlg->OnClickCommandList(1);
    dlg->OnButtonDelete();
    dlg->OnButtonDelete();
    EXPECT_EQ(IniSections(path), QStringList{"ATI"});
    EXPECT_EQ(Rows(*dlg).size(), 1u);
}

TEST_F(QuickList, CommandsThatCannotBeSectionsAreRefused)
{
    MessageBoxRecorder boxes;
    WriteFile("[ATI]\r\n");
    auto dlg = Open();
    for (const QString& bad : {QString("AT+X=\"]\""), QString("AT\nATI"), QString("AT\rZ")}) {
        Edit(*dlg, bad, true, "bad");
        dlg->OnButtonAdd();
        dlg->OnClickCommandList(0);
        Edit(*dlg, bad, true, "bad");
        dlg->OnButtonModify();
    }
    EXPECT_EQ(boxes.Count(), 6);
    EXPECT_EQ(boxes.Texts().front(), "A command holding \"]\" or a line break cannot be kept in the list!");
    EXPECT_EQ(FileText(), "[ATI]\r\n");
    EXPECT_EQ(Rows(*dlg), (std::vector<QStringList>{{"ATI", "0", " "}}));
}

TEST_F(QuickList, AMissingFileListsNothingAndTheFirstAddCreatesIt)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->List()->GetItemCount(), 0);
    Edit(*dlg, "AT+CGMR", true, "revision");
    dlg->OnButtonAdd();
    EXPECT_EQ(FileText(), "[AT+CGMR]\r\ncarriage return=1\r\ncomment=revision\r\n");
}
