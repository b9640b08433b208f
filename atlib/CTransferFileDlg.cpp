#include "atlib/CTransferFileDlg.h"

#include "atlib/TransferFileChooser.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CSkinButton.h"

#include <QLabel>
#include <QLineEdit>

namespace ulv {

CTransferFileDlg::CTransferFileDlg(QWidget* parent)
    : QDialog(parent)
    , m_btnBrowse(new CSkinButton(QStringLiteral("..."), this))
    , m_btnOk(new CSkinButton(QStringLiteral("Export"), this))
    , m_editPath(new QLineEdit(this))
{
    setObjectName(QStringLiteral("CTransferFileDlg"));
    setWindowTitle(QStringLiteral("Export file select"));
    ApplyDialogLook(this);
    setFixedSize(400, 92);

    auto* label = new QLabel(QStringLiteral("Excel file path:"), this);
    label->setGeometry(10, 14, 94, 20);
    m_editPath->setObjectName(QStringLiteral("path"));
    m_editPath->setGeometry(106, 12, 244, 22);
    m_btnBrowse->setGeometry(356, 11, 34, 24);
    m_btnBrowse->setAutoDefault(false);
    m_btnOk->setGeometry(160, 52, 80, 26);
    m_btnOk->setDefault(true);

    m_chooseFile = [this](const QString& proposed) { return ChooseTransferFile(this, proposed, m_bImport != 0); };
    connect(m_btnBrowse, &QPushButton::clicked, this, &CTransferFileDlg::OnButtonBrowse);
    connect(m_btnOk, &QPushButton::clicked, this, &CTransferFileDlg::OnOK);
}

CTransferFileDlg::~CTransferFileDlg() = default;

int CTransferFileDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTransferFileDlg::showEvent(QShowEvent* event)
{
    // The mode is set by the caller after construction.
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CTransferFileDlg::OnInitDialog()
{
    if (m_bImport) {
        setWindowTitle(QStringLiteral("Import file select"));
        m_btnOk->setText(QStringLiteral("Import"));
    }
    for (CSkinButton* b : {m_btnBrowse, m_btnOk})
        b->BuildDialogSkin();
}

QString CTransferFileDlg::ProposedFileName() const
{
    const QString folder = theApp.m_strAppDir.isEmpty() ? DataFolder() + QLatin1Char('/') : theApp.m_strAppDir;
    // The writer makes .xlsx workbooks, so that is the name to propose.
    return folder + (m_bImport ? QStringLiteral("Importfile.xlsx") : QStringLiteral("Exportfile.xlsx"));
}

void CTransferFileDlg::OnButtonBrowse()
{
    const QString chosen = m_chooseFile(ProposedFileName());
    if (!chosen.isEmpty())
        m_editPath->setText(chosen);
}

void CTransferFileDlg::OnOK()
{
    const QString path = m_editPath->text();
    if (path.trimmed().isEmpty()) {
        ShowMessageBox(QStringLiteral("File path is empty!"));
        return;
    }
    m_strPath = path;
    QDialog::accept();
}

} // namespace ulv
