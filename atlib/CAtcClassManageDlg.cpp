#include "atlib/CAtcClassManageDlg.h"

#include "atlib/core/AtcDatabase.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CColumnSortListCtrl.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/ListKeyboardChoice.h"

#include <QLabel>
#include <QLineEdit>

namespace ulv {

namespace {

DbFile AtcLibrary()
{
    return {theApp.m_strAtcDbPath, theApp.m_strAtcDbKey.toUtf8()};
}

const QString kEmptyEdit = QStringLiteral("Edit content should not be empty!");

// Every failure gets the button's message; a database that cannot be opened
// has also left its reason in the temporary log.
bool Written(DbWrite result, const QString& failure)
{
    if (result != DbWrite::Ok)
        ShowMessageBox(failure);
    return result == DbWrite::Ok;
}

} // namespace

CAtcClassManageDlg::CAtcClassManageDlg(QWidget* parent)
    : QDialog(parent)
    , m_btnModify(new CSkinButton(QStringLiteral("Modify"), this))
    , m_btnDelete(new CSkinButton(QStringLiteral("Delete"), this))
    , m_btnAdd(new CSkinButton(QStringLiteral("Add"), this))
    , m_listClasses(new CColumnSortListCtrl(this))
    , m_editIndex(new QLineEdit(this))
    , m_editName(new QLineEdit(this))
{
    setObjectName(QStringLiteral("CAtcClassManageDlg"));
    setWindowTitle(QStringLiteral("AT classification manage"));
    ApplyDialogLook(this);
    setFixedSize(290, 326);

    m_listClasses->SetDlgCtrlID(1306);
    m_listClasses->setGeometry(10, 10, 270, 200);
    m_listClasses->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* labelIndex = new QLabel(QStringLiteral("Index:"), this);
    labelIndex->setGeometry(10, 222, 82, 20);
    m_editIndex->setGeometry(95, 220, 185, 22);
    auto* labelName = new QLabel(QStringLiteral("Classification:"), this);
    labelName->setGeometry(10, 252, 82, 20);
    m_editName->setGeometry(95, 250, 185, 22);

    m_btnAdd->setGeometry(10, 288, 80, 26);
    m_btnDelete->setGeometry(105, 288, 80, 26);
    m_btnModify->setGeometry(200, 288, 80, 26);
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify})
        b->setAutoDefault(false);

    connect(m_listClasses, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { OnClickClassList(index.row()); });
    ChooseRowOnKeyboardMove(m_listClasses, [this](int row) { OnClickClassList(row); });
    connect(m_btnAdd, &QPushButton::clicked, this, &CAtcClassManageDlg::OnButtonAdd);
    connect(m_btnDelete, &QPushButton::clicked, this, &CAtcClassManageDlg::OnButtonDelete);
    connect(m_btnModify, &QPushButton::clicked, this, &CAtcClassManageDlg::OnButtonModify);

    OnInitDialog();
}

CAtcClassManageDlg::~CAtcClassManageDlg() = default;

int CAtcClassManageDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAtcClassManageDlg::OnInitDialog()
{
    m_listClasses->SetExtendedStyle(m_listClasses->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listClasses->SetHeadings(QStringLiteral("Index,50;Classification,200"));
    m_listClasses->LoadColumnLayout();
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify})
        b->BuildDialogSkin();
    LoadClasses();
}

void CAtcClassManageDlg::LoadClasses()
{
    m_listClasses->DeleteAllRows();
    for (const AtcClass& c : LoadAtcClasses(AtcLibrary()))
        m_listClasses->AddRow({c.index, c.name});
}

int CAtcClassManageDlg::ChosenRow() const
{
    return m_chosen.isValid() ? m_chosen.row() : -1;
}

void CAtcClassManageDlg::OnClickClassList(int row)
{
    if (row < 0 || row >= m_listClasses->GetItemCount())
        return;
    m_editIndex->setText(m_listClasses->GetItemText(row, 0));
    m_editName->setText(m_listClasses->GetItemText(row, 1));
    m_chosen = m_listClasses->Model()->index(row, 0);
}

void CAtcClassManageDlg::OnButtonAdd()
{
    const QString index = m_editIndex->text();
    const QString name = m_editName->text();
    if (index.isEmpty() || name.isEmpty()) {
        ShowMessageBox(kEmptyEdit);
        return;
    }
    for (int row = 0; row < m_listClasses->GetItemCount(); ++row) {
        if (m_listClasses->GetItemText(row, 0) == index) {
            ShowMessageBox(QStringLiteral("The number of index has exist!"));
            return;
        }
    }
    if (Written(AddAtcClass(AtcLibrary(), index, name), QStringLiteral("Fail to add a record!"))) {
        ShowMessageBox(QStringLiteral("Success to add a record!"));
        LoadClasses();
    }
}

void CAtcClassManageDlg::OnButtonDelete()
{
    const int row = ChosenRow();
    if (row < 0)
        return;
    if (Written(DeleteAtcClass(AtcLibrary(), m_listClasses->GetItemText(row, 0)),
                QStringLiteral("Fail to delete a record!")))
        LoadClasses();
}

void CAtcClassManageDlg::OnButtonModify()
{
    const int row = ChosenRow();
    if (row < 0) {
        ShowMessageBox(QStringLiteral("Please select a row!"));
        return;
    }
    const QString index = m_editIndex->text();
    const QString name = m_editName->text();
    if (index.isEmpty() || name.isEmpty()) {
        ShowMessageBox(kEmptyEdit);
        return;
    }
    if (index != m_listClasses->GetItemText(row, 0)) {
        ShowMessageBox(QStringLiteral("The name of index should not be changed!\r\n"
                                      "You can click \"Add\" button to add a new index record!"));
        return;
    }
    if (Written(RenameAtcClass(AtcLibrary(), index, name), QStringLiteral("Fail to modify a record!")))
        LoadClasses();
}

} // namespace ulv
