#pragma once

#include "atlib/core/ApnDatabase.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLineEdit;

namespace ulv {

class CSkinButton;
class CSortableListCtrl;

// "APN list": the whole access-point table, with Add, Delete and Modify. A
// row is known by all twelve of its stored values; the dialog keeps those
// values with each list row, so a write reaches exactly the row that was
// clicked, whatever the list shows of it and wherever a sort has moved it.
class CApnListDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog template; Edit() takes those of the edits.
    enum ControlId {
        IDC_LIST_APN = 1128,
        IDC_EDIT_ID = 1449,
        IDC_EDIT_MCC = 1027,
        IDC_EDIT_MNC = 1450,
        IDC_EDIT_DIALNO = 1029,
        IDC_EDIT_APN = 1169,
        IDC_COMBO_APNTYPE = 1030,
        IDC_EDIT_USERNAME = 1031,
        IDC_EDIT_PASSWORD = 1338,
        IDC_EDIT_URL = 1339,
        IDC_EDIT_PROXY = 1340,
        IDC_EDIT_PORT = 1341,
        IDC_EDIT_PROFILE = 1033,
        IDC_EDIT_COUNTRY = 1034,
        IDC_BUTTON_ADD = 1055,
        IDC_BUTTON_DELETE = 1056,
        IDC_BUTTON_MODIFY = 1057,
    };

    explicit CApnListDlg(QWidget* parent = nullptr);
    ~CApnListDlg() override;

    int DoModal();

    void LoadApnList();
    // A click on the list; a negative row (below the last one) changes nothing.
    void OnClickApnList(int row);
    void OnButtonAdd();
    void OnButtonDelete();
    void OnButtonModify();

    // The table the dialog works on; the data folder's APN database unless a
    // caller sets another before the dialog shows.
    DbFile m_apnDb;

    CSortableListCtrl* List() const { return m_listApn; }
    QLineEdit* Edit(int controlId) const;
    QComboBox* TypeCombo() const { return m_comboType; }
    CSkinButton* AddButton() const { return m_btnAdd; }
    CSkinButton* DeleteButton() const { return m_btnDelete; }
    CSkinButton* ModifyButton() const { return m_btnModify; }

protected:
    void showEvent(QShowEvent* event) override;
    // Enter does not close the list; Escape and the close box do.
    void accept() override {}

private:
    struct EditField {
        int id;
        QLineEdit* edit;
    };

    void OnInitDialog();
    // The stored values of the chosen row; nullptr when no row is chosen.
    const ApnRecord* ChosenRecord() const;
    // The edits and the combo's selection as a row to write.
    ApnRecord EditedRecord() const;
    static bool IsComplete(const ApnRecord& r);
    // Shows how a write ended and reloads the list after a success;
    // rowsReached is false for a statement that matched no row.
    void FinishWrite(DbWrite result, bool rowsReached, const char* success, const char* failure);

    CSortableListCtrl* m_listApn;
    QComboBox* m_comboType;
    CSkinButton* m_btnAdd;
    CSkinButton* m_btnDelete;
    CSkinButton* m_btnModify;
    std::vector<EditField> m_edits;

    // The rows as last loaded; each list row carries its index here as its
    // row value, which a sort moves along with the row.
    std::vector<ApnRecord> m_records;
    int m_chosenRecord = -1;
    bool m_bInitDone = false;
};

} // namespace ulv
