#include "atlib/CAtCommandSelectDlg.h"

#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CFlatHeaderListCtrl.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>

namespace ulv {

namespace {

// Dialog units of the template's font to pixels.
QRect Dlu(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 13 / 8, w * 3 / 2, h * 13 / 8);
}

QString IniPathOf()
{
    if (!theApp.m_strParamDir.isEmpty())
        return theApp.m_strParamDir + QStringLiteral("/ModuleName_null.ini");
    return QuickCommandFile::DefaultPath();
}

} // namespace

CAtCommandSelectDlg::CAtCommandSelectDlg(QWidget* parent)
    : QDialog(parent)
    , m_strIniPath(IniPathOf())
{
    setWindowTitle(QStringLiteral("AT Command edit/select"));
    setFont(QFont(QStringLiteral("Arial Unicode MS"), 8));
    setFixedSize(Dlu(0, 0, 374, 210).size());
    ApplyDialogLook(this);

    m_listCommands = new CFlatHeaderListCtrl(this);
    m_listCommands->SetDlgCtrlID(1052);
    m_listCommands->setGeometry(Dlu(7, 7, 360, 140));
    m_listCommands->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listCommands->horizontalHeader()->setSectionsClickable(false);

    auto* labelCommand = new QLabel(QStringLiteral("AT Command:"), this);
    labelCommand->setGeometry(Dlu(7, 155, 48, 10));
    m_editCommand = new QLineEdit(this);
    m_editCommand->setGeometry(Dlu(57, 153, 160, 13));
    m_checkWithEnter = new QCheckBox(QStringLiteral("+SendWithEnter"), this);
    m_checkWithEnter->setGeometry(Dlu(225, 155, 80, 10));
    auto* labelComment = new QLabel(QStringLiteral("Comment:"), this);
    labelComment->setGeometry(Dlu(7, 174, 48, 10));
    m_editComment = new QLineEdit(this);
    m_editComment->setGeometry(Dlu(57, 172, 310, 13));

    m_btnAdd = new CSkinButton(QStringLiteral("Add"), this);
    m_btnAdd->setGeometry(Dlu(100, 191, 50, 14));
    m_btnDelete = new CSkinButton(QStringLiteral("Delete"), this);
    m_btnDelete->setGeometry(Dlu(162, 191, 50, 14));
    m_btnModify = new CSkinButton(QStringLiteral("Modify"), this);
    m_btnModify->setGeometry(Dlu(224, 191, 50, 14));
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify})
        b->setAutoDefault(false);

    connect(m_listCommands, &QAbstractItemView::clicked, this,
        [this](const QModelIndex& index) { OnClickCommandList(index.row()); });
    connect(m_listCommands, &QAbstractItemView::doubleClicked, this, [this] { OnDblclkCommandList(); });
    connect(m_btnAdd, &QPushButton::clicked, this, &CAtCommandSelectDlg::OnButtonAdd);
    connect(m_btnDelete, &QPushButton::clicked, this, &CAtCommandSelectDlg::OnButtonDelete);
    connect(m_btnModify, &QPushButton::clicked, this, &CAtCommandSelectDlg::OnButtonModify);
}

CAtCommandSelectDlg::~CAtCommandSelectDlg() = default;

int CAtCommandSelectDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CAtCommandSelectDlg::showEvent(QShowEvent* event)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CAtCommandSelectDlg::OnInitDialog()
{
    m_listCommands->InsertColumn(0, QStringLiteral("AT Command"));
    m_listCommands->InsertColumn(1, QStringLiteral("+Send With Enter"));
    m_listCommands->InsertColumn(2, QStringLiteral("Comment"));
    m_listCommands->SetExtendedStyle(m_listCommands->GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int w = m_listCommands->viewport()->width();
    m_listCommands->SetColumnWidth(0, int(w * 0.23));
    m_listCommands->SetColumnWidth(1, w / 10);
    m_listCommands->SetColumnWidth(2, w * 6 / 10);
    m_listCommands->DeleteAllItems();
    LoadCommandList();
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify}) {
        b->BuildDialogSkin();
        b->update();
    }
}

void CAtCommandSelectDlg::LoadCommandList()
{
    m_listCommands->DeleteAllItems();
    for (const QuickCommand& entry : File().Load()) {
        const int row = m_listCommands->InsertItem(m_listCommands->GetItemCount(), entry.command);
        m_listCommands->SetItemText(row, 1, entry.carriageReturn);
        m_listCommands->SetItemText(row, 2, entry.comment);
    }
    m_listCommands->FitColumnsToTexts();
}

void CAtCommandSelectDlg::OnClickCommandList(int row)
{
    if (row < 0 || row >= m_listCommands->GetItemCount())
        return;
    m_editCommand->setText(m_listCommands->GetItemText(row, 0));
    m_checkWithEnter->setChecked(ParseLeadingInt(m_listCommands->GetItemText(row, 1)) != 0);
    m_editComment->setText(m_listCommands->GetItemText(row, 2));
    m_nClickedRow = row;
}

void CAtCommandSelectDlg::OnDblclkCommandList()
{
    const int row = m_listCommands->GetSelectionMark();
    if (!m_bSelectMode || row < 0 || row >= m_listCommands->GetItemCount())
        return;
    m_strCommand = m_listCommands->GetItemText(row, 0);
    m_nCarriageReturn = ParseLeadingInt(m_listCommands->GetItemText(row, 1)) != 0 ? 1 : 0;
    done(QDialog::Accepted);
}

QuickCommand CAtCommandSelectDlg::EditValues() const
{
    return {m_editCommand->text(), m_checkWithEnter->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
        m_editComment->text()};
}

void CAtCommandSelectDlg::OnButtonAdd()
{
    const QuickCommand entry = EditValues();
    const QString refusal = QuickCommandFile::Refusal(entry.command);
    if (!refusal.isEmpty()) {
        ShowMessageBox(refusal);
        return;
    }
    const int row = m_listCommands->InsertItem(m_listCommands->GetItemCount(), entry.command);
    m_listCommands->SetItemText(row, 1, entry.carriageReturn);
    m_listCommands->SetItemText(row, 2, entry.comment);
    File().Write(entry);
}

void CAtCommandSelectDlg::OnButtonDelete()
{
    const int row = m_nClickedRow;
    if (row < 0 || row >= m_listCommands->GetItemCount())
        return;
    File().Remove(m_listCommands->GetItemText(row, 0));
    m_listCommands->DeleteItem(row);
    // The row that moved up was never picked: a second Delete or a Modify
    // must not reach it.
    m_nClickedRow = -1;
    m_listCommands->clearSelection();
}

void CAtCommandSelectDlg::OnButtonModify()
{
    const int row = m_nClickedRow;
    if (row < 0 || row >= m_listCommands->GetItemCount()) {
        ShowMessageBox(QStringLiteral("Please select a command first!"));
        return;
    }
    const QuickCommand entry = EditValues();
    const QString refusal = QuickCommandFile::Refusal(entry.command);
    if (!refusal.isEmpty()) {
        ShowMessageBox(refusal);
        return;
    }
    const QString current = m_listCommands->GetItemText(row, 0);
    m_listCommands->SetItemText(row, 0, entry.command);
    m_listCommands->SetItemText(row, 1, entry.carriageReturn);
    m_listCommands->SetItemText(row, 2, entry.comment);
    File().Replace(current, entry);
}

} // namespace ulv
