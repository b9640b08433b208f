#include "atlib/CAtcManageDlg.h"

#include "atlib/CAtcClassManageDlg.h"
#include "atlib/CTransferFileDlg.h"
#include "atlib/core/AtcDatabase.h"
#include "atlib/core/AtcImport.h"
#include "atlib/core/AtcWorkbook.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSortableListCtrl.h"
#include "ui/controls/ListKeyboardChoice.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace ulv {

namespace {

enum Column { kColId, kColClass, kColAtc, kColRefer, kColFunc, kColumnCount };

DbFile AtcLibrary()
{
    return {theApp.m_strAtcDbPath, theApp.m_strAtcDbKey.toUtf8()};
}

// The library keeps multi-line texts with CR LF line ends; the edits work
// with LF alone.
QString ToEditText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString FromEditText(const QTextEdit* edit)
{
    return ToEditText(edit->toPlainText()).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// The message of a failed write, by how it failed. A database that could not
// be opened (the temporary log has why) gets the button's general failure.
struct WriteMessages {
    QString lookupFailed;
    QString noClass;
    QString failed;
};

bool Written(DbWrite result, const WriteMessages& m)
{
    switch (result) {
    case DbWrite::Ok:
        return true;
    case DbWrite::LookupFailed:
        ShowMessageBox(m.lookupFailed);
        break;
    case DbWrite::NoClass:
        ShowMessageBox(m.noClass);
        break;
    case DbWrite::OpenFailed:
    case DbWrite::Failed:
        ShowMessageBox(m.failed);
        break;
    }
    return false;
}

// The wait cursor while a workbook is read or written; message boxes get the
// normal one.
class WaitCursor {
public:
    WaitCursor() { Show(); }
    ~WaitCursor() { Restore(); }
    void Show()
    {
        if (!m_shown)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_shown = true;
    }
    void Restore()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
        m_shown = false;
    }

private:
    bool m_shown = false;
};

} // namespace

CAtcManageDlg::CAtcManageDlg(QWidget* parent)
    : QDialog(parent)
    , m_btnManage(new CSkinButton(QStringLiteral("Manage"), this))
    , m_btnAdd(new CSkinButton(QStringLiteral("Add"), this))
    , m_btnDelete(new CSkinButton(QStringLiteral("Delete"), this))
    , m_btnModify(new CSkinButton(QStringLiteral("Modify"), this))
    , m_btnImport(new CSkinButton(QStringLiteral("Import"), this))
    , m_btnExport(new CSkinButton(QStringLiteral("Export"), this))
    , m_btnVerify(new CSkinButton(QStringLiteral("Verify"), this))
    , m_btnExit(new CSkinButton(QStringLiteral("Exit"), this))
    , m_comboClass(new CFlatComboBox(this))
    , m_listAtc(new CSortableListCtrl(this))
    , m_editAtc(new QLineEdit(this))
    , m_editRefer(new QTextEdit(this))
    , m_editFunc(new QTextEdit(this))
    , m_editPassword(new QLineEdit(this))
{
    setObjectName(QStringLiteral("CAtcManageDlg"));
    setWindowTitle(QStringLiteral("AT commands manager"));
    ApplyDialogLook(this);
    setFixedSize(710, 474);

    m_listAtc->SetDlgCtrlID(1302);
    m_listAtc->setGeometry(10, 10, 690, 212);
    m_listAtc->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* labelClass = new QLabel(QStringLiteral("Classification:"), this);
    labelClass->setGeometry(10, 234, 120, 20);
    m_comboClass->setGeometry(132, 232, 190, 22);
    m_comboClass->setEditable(true);
    m_comboClass->setInsertPolicy(QComboBox::NoInsert);
    m_btnManage->setGeometry(330, 231, 72, 25);

    auto* labelAtc = new QLabel(QStringLiteral("AT command:"), this);
    labelAtc->setGeometry(10, 266, 120, 20);
    m_editAtc->setGeometry(132, 264, 270, 22);

    auto* labelRefer = new QLabel(QStringLiteral("Parameter reference:"), this);
    labelRefer->setGeometry(10, 296, 118, 36);
    labelRefer->setWordWrap(true);
    m_editRefer->setGeometry(132, 296, 270, 126);
    auto* labelFunc = new QLabel(QStringLiteral("Function:"), this);
    labelFunc->setGeometry(414, 234, 100, 20);
    m_editFunc->setGeometry(414, 256, 286, 166);
    for (QTextEdit* e : {m_editRefer, m_editFunc}) {
        e->setAcceptRichText(false);
        e->setTabChangesFocus(true);
    }

    m_btnAdd->setGeometry(10, 436, 75, 26);
    m_btnDelete->setGeometry(95, 436, 75, 26);
    m_btnModify->setGeometry(180, 436, 75, 26);
    m_btnImport->setGeometry(265, 436, 75, 26);
    m_btnExport->setGeometry(350, 436, 75, 26);
    m_editPassword->setGeometry(470, 437, 140, 24);
    m_editPassword->setEchoMode(QLineEdit::Password);
    m_editPassword->setAlignment(Qt::AlignCenter);
    m_btnVerify->setGeometry(625, 436, 75, 26);
    m_btnExit->setGeometry(625, 436, 75, 26);
    m_btnExit->hide();
    for (CSkinButton* b : {m_btnManage, m_btnAdd, m_btnDelete, m_btnModify, m_btnImport, m_btnExport, m_btnVerify,
                           m_btnExit})
        b->setAutoDefault(false);

    m_runClassManager = [](CAtcClassManageDlg& dlg) { return dlg.DoModal(); };
    m_runTransfer = [](CTransferFileDlg& dlg) { return dlg.DoModal(); };

    connect(m_listAtc, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { OnClickAtcList(index.row()); });
    ChooseRowOnKeyboardMove(m_listAtc, [this](int row) { OnClickAtcList(row); });
    connect(m_btnManage, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonManage);
    connect(m_btnAdd, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonAdd);
    connect(m_btnDelete, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonDelete);
    connect(m_btnModify, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonModify);
    connect(m_btnImport, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonImport);
    connect(m_btnExport, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonExport);
    connect(m_btnVerify, &QPushButton::clicked, this, &CAtcManageDlg::OnButtonVerify);
    connect(m_btnExit, &QPushButton::clicked, this, &CAtcManageDlg::reject);

    OnInitDialog();
}

CAtcManageDlg::~CAtcManageDlg() = default;

int CAtcManageDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAtcManageDlg::OnInitDialog()
{
    m_listAtc->SetExtendedStyle(m_listAtc->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listAtc->SetColumnCount(kColumnCount);
    m_listAtc->InsertColumn(kColId, QStringLiteral("ID"), LVCFMT_CENTER, 50);
    m_listAtc->InsertColumn(kColClass, QStringLiteral("Classification"), LVCFMT_LEFT, 100);
    m_listAtc->InsertColumn(kColAtc, QStringLiteral("AT command"), LVCFMT_LEFT, 170);
    m_listAtc->InsertColumn(kColRefer, QStringLiteral("Parameter reference"), LVCFMT_LEFT, 200);
    m_listAtc->InsertColumn(kColFunc, QStringLiteral("Function"), LVCFMT_LEFT, 150);

    for (CSkinButton* b : {m_btnManage, m_btnAdd, m_btnDelete, m_btnModify, m_btnImport, m_btnExport, m_btnVerify,
                           m_btnExit})
        b->BuildDialogSkin();

    // Editing stays locked until the manager password is verified.
    for (CSkinButton* b : {m_btnModify, m_btnDelete, m_btnManage, m_btnAdd, m_btnImport, m_btnExport})
        b->setEnabled(false);
    m_editPassword->clear();

    LoadClassifications();
    LoadAtCommands();
}

void CAtcManageDlg::LoadClassifications()
{
    m_comboClass->clear();
    for (const AtcClass& c : LoadAtcClasses(AtcLibrary()))
        m_comboClass->addItem(c.name);
    // Nothing is chosen until the user picks a name or clicks a command.
    m_comboClass->setCurrentIndex(-1);
}

void CAtcManageDlg::LoadAtCommands()
{
    m_listAtc->DeleteAllRows();
    int id = 0;
    for (const AtCommand& c : ulv::LoadAtCommands(AtcLibrary()))
        m_listAtc->AddRow({QString::number(id++), c.className, c.atc, c.refer, c.func});
    m_listAtc->FitColumnsToTexts();
}

int CAtcManageDlg::ChosenRow() const
{
    return m_chosen.isValid() ? m_chosen.row() : -1;
}

QString CAtcManageDlg::SelectedClassName() const
{
    // The combo's edit field may hold typed text: only a name on the list
    // counts as chosen.
    const QString name = m_comboClass->currentText();
    return m_comboClass->findText(name) >= 0 ? name : QString();
}

void CAtcManageDlg::OnClickAtcList(int row)
{
    if (row < 0 || row >= m_listAtc->GetItemCount())
        return;
    m_comboClass->setCurrentIndex(m_comboClass->findText(m_listAtc->GetItemText(row, kColClass)));
    m_editAtc->setText(m_listAtc->GetItemText(row, kColAtc));
    m_editRefer->setPlainText(ToEditText(m_listAtc->GetItemText(row, kColRefer)));
    m_editFunc->setPlainText(ToEditText(m_listAtc->GetItemText(row, kColFunc)));
    m_chosen = m_listAtc->Model()->index(row, 0);
}

void CAtcManageDlg::OnButtonAdd()
{
    const QString className = SelectedClassName();
    if (className.isEmpty()) {
        ShowMessageBox(QStringLiteral("Please select classification!"));
        return;
    }
    const AtCommand command{m_editAtc->text(), className, FromEditText(m_editRefer), FromEditText(m_editFunc)};
    if (command.atc.isEmpty()) {
        ShowMessageBox(QStringLiteral("AT command should not be empty!"));
        return;
    }
    if (Written(AddAtCommand(AtcLibrary(), command),
                {QStringLiteral("Fail to add a record_1!"), QStringLiteral("Fail to add a record_2!"),
                 QStringLiteral("Fail to add a record_3!")})) {
        m_bLibraryChanged = true;
        ShowMessageBox(QStringLiteral("Success to add a record!"));
        LoadAtCommands();
    }
}

void CAtcManageDlg::OnButtonDelete()
{
    const int row = ChosenRow();
    if (row < 0)
        return;
    const QString failed = QStringLiteral("Fail to delete a record_1!");
    if (Written(DeleteAtCommand(AtcLibrary(), m_listAtc->GetItemText(row, kColAtc)), {failed, failed, failed})) {
        m_bLibraryChanged = true;
        ShowMessageBox(QStringLiteral("Success to delete a record!"));
        LoadAtCommands();
    }
}

void CAtcManageDlg::OnButtonModify()
{
    const int row = ChosenRow();
    if (row < 0) {
        ShowMessageBox(QStringLiteral("Please select a row!"));
        return;
    }
    const QString atc = m_listAtc->GetItemText(row, kColAtc);
    if (m_editAtc->text() != atc) {
        ShowMessageBox(QStringLiteral("The name of AT command should not be modified!"
                                      "You can add a new AT command by using \"Add\" button!"));
        return;
    }
    const AtCommand command{atc, SelectedClassName(), FromEditText(m_editRefer), FromEditText(m_editFunc)};
    if (Written(ModifyAtCommand(AtcLibrary(), command),
                {QStringLiteral("Fail to modify a record,query the ID of this classification is failed!"),
                 QStringLiteral("Fail to modify a record, the classification is not exist in the database!"),
                 QStringLiteral("Fail to modify a record!")})) {
        m_bLibraryChanged = true;
        LoadAtCommands();
    }
}

void CAtcManageDlg::OnButtonManage()
{
    CAtcClassManageDlg dlg(this);
    m_runClassManager(dlg);
    // Classifications may have been added, renamed or deleted there.
    m_bLibraryChanged = true;
    LoadClassifications();
}

void CAtcManageDlg::OnButtonVerify()
{
    const bool right = m_editPassword->text() == QLatin1String(kPassword);
    m_editPassword->clear();
    if (!right) {
        ShowMessageBox(QStringLiteral("Password is wrong!"));
        return;
    }
    for (CSkinButton* b : {m_btnModify, m_btnDelete, m_btnManage, m_btnAdd, m_btnImport, m_btnExport})
        b->setEnabled(true);
    ShowMessageBox(QStringLiteral("OK!"));
}

void CAtcManageDlg::OnButtonExport()
{
    CTransferFileDlg dlg(this);
    if (m_runTransfer(dlg) != IDOK)
        return;
    // What the list shows, in the order it shows it.
    std::vector<AtcWorkbookRow> rows;
    for (int row = 0; row < m_listAtc->GetItemCount(); ++row)
        rows.push_back({m_listAtc->GetItemText(row, kColClass), m_listAtc->GetItemText(row, kColAtc),
                        m_listAtc->GetItemText(row, kColRefer), m_listAtc->GetItemText(row, kColFunc)});
    WaitCursor wait;
    const QString error = WriteAtcWorkbook(dlg.m_strPath, rows);
    wait.Restore();
    if (!error.isEmpty()) {
        ShowMessageBox(error, MB_ICONERROR);
        return;
    }
    ShowMessageBox(QStringLiteral("Finished"), MB_ICONINFORMATION);
}

void CAtcManageDlg::OnButtonImport()
{
    // The connection and its transaction span the whole import; a database
    // that cannot be opened ends it before a file is asked for.
    AtcImport import(AtcLibrary());
    if (!import.isOpen())
        return;
    CTransferFileDlg dlg(this);
    dlg.m_bImport = 1;
    if (m_runTransfer(dlg) != IDOK)
        return;
    WaitCursor wait;
    const AtcWorkbookRead book = ReadAtcWorkbook(dlg.m_strPath);
    if (!book.ok) {
        wait.Restore();
        ShowMessageBox(book.error, MB_ICONERROR);
        return;
    }
    // A workbook written by Export starts with its header row: no command.
    const size_t first = !book.rows.empty() && IsAtcWorkbookHeader(book.rows.front()) ? 1 : 0;
    std::vector<AtcImportFailure> failures;
    for (size_t i = first; i < book.rows.size(); ++i) {
        const AtcWorkbookRow& r = book.rows[i];
        if (const int code = import.addRow(r.classification, r.atc, r.refer, r.func); code != 0)
            failures.push_back({int(i) + 1, code});
    }
    import.commit();
    m_bLibraryChanged = true;
    LoadAtCommands();
    wait.Restore();
    if (book.rowsLeftOut > 0)
        ShowMessageBox(QStringLiteral("Only the first %1 rows are imported: %2 more rows of the workbook were left out!")
                           .arg(kMaxImportRows)
                           .arg(book.rowsLeftOut),
            MB_ICONWARNING);
    // One box for the whole import, however many rows failed.
    if (failures.empty())
        ShowMessageBox(QStringLiteral("Finished"), MB_ICONINFORMATION);
    else
        ShowMessageBox(AtcImportSummary(int(book.rows.size() - first), failures), MB_ICONWARNING);
}

} // namespace ulv
