#include "atlib/CTransferFileDlg.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "ui/controls/CSkinButton.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ulv;

TEST(TransferFileDlg, ModeGivesTitleCaptionAndProposedName)
{
    struct Case {
        int import;
        QString title, caption, proposed;
    };
    const Case cases[] = {
        {0, "Export file select", "Export", DataFolder() + "/Exportfile.xlsx"},
        {1, "Import file select", "Import", DataFolder() + "/Importfile.xlsx"},
    };
    for (const Case& c : cases) {
        CTransferFileDlg dlg;
        dlg.m_bImport = c.import;
        dlg.show();
        EXPECT_EQ(dlg.objectName(), "CTransferFileDlg");
        EXPECT_EQ(dlg.windowTitle(), c.title);
        EXPECT_EQ(dlg.m_btnOk->text(), c.caption);
        EXPECT_TRUE(dlg.m_btnOk->isDefault());
        EXPECT_EQ(dlg.m_btnBrowse->text(), "...");

        QStringList proposed;
        QString answer = "/tmp/chosen.xlsx";
        dlg.SetFileChooser([&](const QString& name) {
            proposed << name;
            return answer;
        });
        dlg.m_btnBrowse->click();
        EXPECT_EQ(dlg.PathEdit()->text(), "/tmp/chosen.xlsx");
        // Cancelling the file dialog keeps what the edit holds.
        answer.clear();
        dlg.m_btnBrowse->click();
        EXPECT_EQ(dlg.PathEdit()->text(), "/tmp/chosen.xlsx");
        EXPECT_EQ(proposed, QStringList({c.proposed, c.proposed}));
    }
}

TEST(TransferFileDlg, OkNeedsAPathTypedOrChosen)
{
    MessageBoxRecorder boxes;
    CTransferFileDlg dlg;
    dlg.show();
    for (const QString blank : {"", "   "}) {
        dlg.PathEdit()->setText(blank);
        dlg.m_btnOk->click();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_TRUE(dlg.m_strPath.isEmpty());
    }
    EXPECT_EQ(boxes.Texts(), QStringList({"File path is empty!", "File path is empty!"}));
    dlg.hide();

    // A typed path and Enter end the dialog with IDOK.
    QTimer::singleShot(0, &dlg, [&] {
        dlg.PathEdit()->setText("/tmp/typed book.xlsx");
        dlg.PathEdit()->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg.PathEdit(), &enter);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strPath, "/tmp/typed book.xlsx");

    CTransferFileDlg cancelled;
    QTimer::singleShot(0, &cancelled, [&] { cancelled.reject(); });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.Count(), 2);
}
