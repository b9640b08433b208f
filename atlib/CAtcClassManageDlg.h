#pragma once

#include <QDialog>
#include <QPersistentModelIndex>

class QLineEdit;

namespace ulv {

class CColumnSortListCtrl;
class CSkinButton;

// "AT classification manage": lists the classifications of the AT-command
// library by index and name, and adds, deletes and renames them.
class CAtcClassManageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAtcClassManageDlg(QWidget* parent = nullptr);
    ~CAtcClassManageDlg() override;

    int DoModal();

    void LoadClasses();
    void OnClickClassList(int row);
    void OnButtonAdd();
    void OnButtonDelete();
    void OnButtonModify();

    // The list row last clicked, followed through sorting; -1 when none or
    // once the list has been reloaded.
    int ChosenRow() const;

    CColumnSortListCtrl* List() const { return m_listClasses; }
    QLineEdit* IndexEdit() const { return m_editIndex; }
    QLineEdit* NameEdit() const { return m_editName; }
    CSkinButton* AddButton() const { return m_btnAdd; }
    CSkinButton* DeleteButton() const { return m_btnDelete; }
    CSkinButton* ModifyButton() const { return m_btnModify; }

protected:
    // Enter does not close the dialog; Escape and the close box do.
    void accept() override {}

private:
    void OnInitDialog();

    CSkinButton* m_btnModify;
    CSkinButton* m_btnDelete;
    CSkinButton* m_btnAdd;
    CColumnSortListCtrl* m_listClasses;
    QLineEdit* m_editIndex;
    QLineEdit* m_editName;
    // A row number alone would point at another classification after a sort.
    QPersistentModelIndex m_chosen;
};

} // namespace ulv
