#include "atlib/TransferFileChooser.h"
#include "ui/controls/CFileDialog_language.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ulv;

TEST(TransferFileChooser, OpenDialogForWorkbooksStartingAtTheProposedName)
{
    QTemporaryDir dir;
    struct Case {
        bool import;
        QFileDialog::FileMode mode;
    };
    for (const Case& c : {Case{true, QFileDialog::ExistingFile}, Case{false, QFileDialog::AnyFile}}) {
        const QString proposed = dir.filePath(c.import ? "Importfile.xlsx" : "Exportfile.xlsx");
        const QString chosen = dir.filePath("library.xlsx");
        QString seen;
        const QString result = ChooseTransferFile(nullptr, proposed, c.import, [&](CFileDialog_language& d) {
            EXPECT_EQ(d.windowTitle(), "Open");
            EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
            EXPECT_EQ(d.fileMode(), c.mode);
            EXPECT_EQ(d.nameFilters(), ConvertFileFilter("TO transfer file (*.xls;*.xlsx)|*.xls;*.xlsx||"));
            EXPECT_EQ(d.defaultSuffix(), "");
            seen = d.selectedFiles().value(0);
            d.selectFile(chosen);
            return IDOK;
        });
        EXPECT_EQ(seen, proposed) << c.import;
        EXPECT_EQ(result, chosen) << c.import;

        const QString none = ChooseTransferFile(nullptr, proposed, c.import, [&](CFileDialog_language& d) {
            d.selectFile(chosen);
            return IDCANCEL;
        });
        EXPECT_TRUE(none.isEmpty()) << c.import;
    }
}
