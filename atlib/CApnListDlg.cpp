#include "atlib/CApnListDlg.h"

#include "atlib/core/DatabaseFiles.h"
#include "platform/MessageBox.h"
#include "shell/DialogLook.h"
#include "ui/controls/CSkinButton.h"
#include "ui/controls/CSortableListCtrl.h"
#include "ui/controls/ListKeyboardChoice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace ulv {

namespace {

enum ListColumn {
    COL_ID,
    COL_MCC,
    COL_MNC,
    COL_DIALNO,
    COL_APN,
    COL_TYPE,
    COL_USERNAME,
    COL_PASSWORD,
    COL_URL,
    COL_PROXY,
    COL_PORT,
    COL_PROFILE,
    COL_COUNTRY,
    COL_COUNT
};

struct ColumnSpec {
    const char* heading;
    int width;
    int format;
};

const ColumnSpec kColumns[COL_COUNT] = {
    {"ID", 50, LVCFMT_CENTER},
    {"MCC", 55, LVCFMT_LEFT},
    {"MNC", 55, LVCFMT_LEFT},
    {"Dial No.", 55, LVCFMT_LEFT},
    {"APN", 80, LVCFMT_LEFT},
    {"APN type", 80, LVCFMT_LEFT},
    {"User name", 80, LVCFMT_LEFT},
    {"Password", 80, LVCFMT_LEFT},
    {"URL", 150, LVCFMT_LEFT},
    {"Proxy address", 100, LVCFMT_LEFT},
    {"Port", 40, LVCFMT_LEFT},
    {"Profile name", 150, LVCFMT_LEFT},
    {"Country", 100, LVCFMT_LEFT},
};

const char kInternet[] = "Internet";
const char kWap[] = "WAP";

// The type column shows only the two known types; any other stored value
// (-1, NULL, something foreign) shows empty.
QString TypeText(const QString& stored)
{
    if (stored == QLatin1String("0"))
        return QString::fromLatin1(kInternet);
    if (stored == QLatin1String("1"))
        return QString::fromLatin1(kWap);
    return QString();
}

// Where each field sits in the grid below the list: row and column of the
// label-and-edit pair.
struct FieldPlace {
    int id;
    const char* label;
    int row;
    int column;
};

const FieldPlace kFields[] = {
    {CApnListDlg::IDC_EDIT_ID, "ID", 0, 0},
    {CApnListDlg::IDC_EDIT_MCC, "MCC", 0, 1},
    {CApnListDlg::IDC_EDIT_MNC, "MNC", 0, 2},
    {CApnListDlg::IDC_EDIT_DIALNO, "Dial No.", 0, 3},
    {CApnListDlg::IDC_EDIT_APN, "APN", 1, 0},
    {CApnListDlg::IDC_COMBO_APNTYPE, "APN type", 1, 1},
    {CApnListDlg::IDC_EDIT_USERNAME, "User name", 1, 2},
    {CApnListDlg::IDC_EDIT_PASSWORD, "Password", 1, 3},
    {CApnListDlg::IDC_EDIT_URL, "URL", 2, 0},
    {CApnListDlg::IDC_EDIT_PROXY, "Proxy address", 2, 1},
    {CApnListDlg::IDC_EDIT_PORT, "Port", 2, 2},
    {CApnListDlg::IDC_EDIT_PROFILE, "Profile name", 2, 3},
    {CApnListDlg::IDC_EDIT_COUNTRY, "Country", 3, 0},
};

constexpr int kMargin = 10;
constexpr int kListHeight = 220;
constexpr int kGridTop = kMargin + kListHeight + 12;
constexpr int kRowStep = 28;
constexpr int kPairWidth = 192;
constexpr int kLabelWidth = 80;
constexpr int kFieldWidth = 104;
constexpr int kFieldHeight = 22;
constexpr int kDialogWidth = 2 * kMargin + 4 * kPairWidth - 8;
constexpr int kButtonTop = kGridTop + 3 * kRowStep;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kDialogHeight = kButtonTop + kButtonHeight + 14;

} // namespace

CApnListDlg::CApnListDlg(QWidget* parent)
    : QDialog(parent)
    , m_apnDb(ApnDbFile())
    , m_listApn(new CSortableListCtrl(this))
    , m_comboType(new QComboBox(this))
    , m_btnAdd(new CSkinButton(QStringLiteral("Add"), this))
    , m_btnDelete(new CSkinButton(QStringLiteral("Delete"), this))
    , m_btnModify(new CSkinButton(QStringLiteral("Modify"), this))
{
    setObjectName(QStringLiteral("CApnListDlg"));
    setWindowTitle(QStringLiteral("APN list"));
    setFont(QFont(QStringLiteral("Arial Unicode MS"), 8));
    setFixedSize(kDialogWidth, kDialogHeight);
    ApplyDialogLook(this);

    m_listApn->SetDlgCtrlID(IDC_LIST_APN);
    m_listApn->setGeometry(kMargin, kMargin, kDialogWidth - 2 * kMargin, kListHeight);
    m_listApn->setSelectionMode(QAbstractItemView::SingleSelection);

    for (const FieldPlace& f : kFields) {
        const int x = kMargin + f.column * kPairWidth;
        const int y = kGridTop + f.row * kRowStep;
        auto* label = new QLabel(QString::fromLatin1(f.label), this);
        label->setGeometry(x, y, kLabelWidth - 4, kFieldHeight);
        QWidget* field = m_comboType;
        if (f.id != IDC_COMBO_APNTYPE) {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(f.id == IDC_EDIT_ID);
            m_edits.push_back({f.id, edit});
            field = edit;
        }
        field->setGeometry(x + kLabelWidth, y, kFieldWidth, kFieldHeight);
        label->setBuddy(field);
    }
    // A drop-down with an edit field, but only its two entries are types:
    // Enter in the field must not add what was typed as a third one.
    m_comboType->setEditable(true);
    m_comboType->setInsertPolicy(QComboBox::NoInsert);

    int x = kDialogWidth - kMargin - 3 * kButtonWidth - 2 * 16;
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify}) {
        b->setGeometry(x, kButtonTop, kButtonWidth, kButtonHeight);
        b->setAutoDefault(false);
        x += kButtonWidth + 16;
    }

    connect(m_listApn, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { OnClickApnList(index.row()); });
    ChooseRowOnKeyboardMove(m_listApn, [this](int row) { OnClickApnList(row); });
    connect(m_btnAdd, &QPushButton::clicked, this, &CApnListDlg::OnButtonAdd);
    connect(m_btnDelete, &QPushButton::clicked, this, &CApnListDlg::OnButtonDelete);
    connect(m_btnModify, &QPushButton::clicked, this, &CApnListDlg::OnButtonModify);
}

CApnListDlg::~CApnListDlg() = default;

int CApnListDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CApnListDlg::showEvent(QShowEvent* event)
{
    // Callers may point m_apnDb elsewhere after construction.
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CApnListDlg::OnInitDialog()
{
    for (CSkinButton* b : {m_btnAdd, m_btnDelete, m_btnModify}) {
        b->BuildDialogSkin();
        b->update();
    }

    m_listApn->SetExtendedStyle(m_listApn->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_listApn->SetColumnCount(COL_COUNT);
    for (int c = 0; c < COL_COUNT; ++c)
        m_listApn->InsertColumn(c, QString::fromLatin1(kColumns[c].heading), kColumns[c].format, kColumns[c].width);
    m_listApn->DeleteAllRows();

    m_comboType->clear();
    m_comboType->addItem(QString::fromLatin1(kInternet));
    m_comboType->addItem(QString::fromLatin1(kWap));
    m_comboType->setCurrentIndex(-1);

    LoadApnList();
}

QLineEdit* CApnListDlg::Edit(int controlId) const
{
    for (const EditField& f : m_edits) {
        if (f.id == controlId)
            return f.edit;
    }
    return nullptr;
}

void CApnListDlg::LoadApnList()
{
    m_listApn->DeleteAllRows();
    // Every reload follows a write (or opens the dialog): the rows are new, so
    // no earlier choice may carry over to whatever now stands at its place.
    m_chosenRecord = -1;
    m_records = ulv::LoadApnList(m_apnDb);
    for (int i = 0; i < int(m_records.size()); ++i) {
        const ApnRecord& r = m_records[i];
        const int row = m_listApn->AddRow({QString::number(i + 1), r.mcc, r.mnc, r.dialNo, r.apn,
                                           TypeText(r.apnType), r.user, r.password, r.url, r.proxy, r.port,
                                           r.profile, r.country});
        m_listApn->SetRowValue(row, i);
    }
    m_listApn->FitColumnsToTexts();
}

void CApnListDlg::OnClickApnList(int row)
{
    if (row < 0 || row >= m_listApn->GetItemCount())
        return;
    const QStringList cells = m_listApn->GetRowStrings(row);
    const std::pair<int, int> copies[] = {
        {COL_ID, IDC_EDIT_ID},         {COL_MCC, IDC_EDIT_MCC},         {COL_MNC, IDC_EDIT_MNC},
        {COL_DIALNO, IDC_EDIT_DIALNO}, {COL_APN, IDC_EDIT_APN},         {COL_USERNAME, IDC_EDIT_USERNAME},
        {COL_PASSWORD, IDC_EDIT_PASSWORD}, {COL_URL, IDC_EDIT_URL},     {COL_PROXY, IDC_EDIT_PROXY},
        {COL_PORT, IDC_EDIT_PORT},     {COL_PROFILE, IDC_EDIT_PROFILE}, {COL_COUNTRY, IDC_EDIT_COUNTRY},
    };
    for (const auto& [column, id] : copies)
        Edit(id)->setText(cells.value(column));
    const QString type = cells.value(COL_TYPE);
    m_comboType->setCurrentIndex(type == QLatin1String(kInternet) ? 0 : type == QLatin1String(kWap) ? 1 : -1);
    m_chosenRecord = m_listApn->GetRowValue(row);
}

const ApnRecord* CApnListDlg::ChosenRecord() const
{
    if (m_chosenRecord < 0 || m_chosenRecord >= int(m_records.size()))
        return nullptr;
    return &m_records[m_chosenRecord];
}

ApnRecord CApnListDlg::EditedRecord() const
{
    auto text = [this](int id) { return Edit(id)->text(); };
    // Only the selection gives the type; what is typed into the field is not read.
    return {text(IDC_EDIT_MCC),      text(IDC_EDIT_MNC),     text(IDC_EDIT_DIALNO),
            text(IDC_EDIT_APN),      QString::number(m_comboType->currentIndex()),
            text(IDC_EDIT_USERNAME), text(IDC_EDIT_PASSWORD), text(IDC_EDIT_URL),
            text(IDC_EDIT_PROXY),    text(IDC_EDIT_PORT),     text(IDC_EDIT_PROFILE),
            text(IDC_EDIT_COUNTRY)};
}

bool CApnListDlg::IsComplete(const ApnRecord& r)
{
    return !r.mcc.isEmpty() && !r.mnc.isEmpty() && !r.dialNo.isEmpty() && !r.apn.isEmpty();
}

void CApnListDlg::FinishWrite(DbWrite result, bool rowsReached, const char* success, const char* failure)
{
    // A database that cannot be opened (the temporary log tells why) wrote
    // nothing either; a row changed or removed since the list was read
    // matches nothing: neither is a success.
    if (result != DbWrite::Ok || !rowsReached) {
        ShowMessageBox(QString::fromLatin1(failure));
        return;
    }
    ShowMessageBox(QString::fromLatin1(success));
    LoadApnList();
}

void CApnListDlg::OnButtonAdd()
{
    const ApnRecord row = EditedRecord();
    if (!IsComplete(row)) {
        ShowMessageBox(QStringLiteral("Please input the information completely!"));
        return;
    }
    FinishWrite(AddApn(m_apnDb, row), true, "Success to add a record!", "Fail to add a record!");
}

void CApnListDlg::OnButtonDelete()
{
    const ApnRecord* chosen = ChosenRecord();
    if (!chosen) {
        ShowMessageBox(QStringLiteral("Please select an item that you want to delete!"));
        return;
    }
    int deleted = 0;
    const DbWrite result = DeleteApn(m_apnDb, *chosen, &deleted);
    FinishWrite(result, deleted > 0, "Success to delete a record!", "Fail to delete a record!");
}

void CApnListDlg::OnButtonModify()
{
    const ApnRecord* chosen = ChosenRecord();
    if (!chosen) {
        ShowMessageBox(QStringLiteral("Please select an item that you want to modify!"));
        return;
    }
    const ApnRecord row = EditedRecord();
    if (!IsComplete(row)) {
        ShowMessageBox(QStringLiteral("Please input the information completely!"));
        return;
    }
    int changed = 0;
    const DbWrite result = ModifyApn(m_apnDb, *chosen, row, &changed);
    FinishWrite(result, changed > 0, "Success to modify a record!", "Fail to modify a record!");
}

} // namespace ulv
