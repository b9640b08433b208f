#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <functional>

class QLineEdit;
class QTextEdit;

namespace ulv {

class CAtcClassManageDlg;
class CFlatComboBox;
class CSkinButton;
class CSortableListCtrl;
class CTransferFileDlg;

// "AT commands manager": lists the AT-command library of the module family
// chosen at start-up and, once the manager password is verified, adds,
// changes and deletes commands, edits the classifications and moves the
// library to and from a workbook.
class CAtcManageDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kPassword = "Kelvoru";

    explicit CAtcManageDlg(QWidget* parent = nullptr);
    ~CAtcManageDlg() override;

    int DoModal();

    void LoadClassifications();
    void LoadAtCommands();
    void OnClickAtcList(int row);
    void OnButtonAdd();
    void OnButtonDelete();
    void OnButtonModify();
    void OnButtonManage();
    void OnButtonVerify();
    void OnButtonImport();
    void OnButtonExport();

    // The list row last clicked, followed through sorting; -1 when none or
    // once the list has been reloaded.
    int ChosenRow() const;
    // Something was written to the library while the dialog was open (the
    // AT Command page then reads it again).
    bool LibraryChanged() const { return m_bLibraryChanged; }

    CSortableListCtrl* List() const { return m_listAtc; }
    CFlatComboBox* ClassCombo() const { return m_comboClass; }
    QLineEdit* AtcEdit() const { return m_editAtc; }
    QTextEdit* ReferEdit() const { return m_editRefer; }
    QTextEdit* FuncEdit() const { return m_editFunc; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    CSkinButton* ManageButton() const { return m_btnManage; }
    CSkinButton* AddButton() const { return m_btnAdd; }
    CSkinButton* DeleteButton() const { return m_btnDelete; }
    CSkinButton* ModifyButton() const { return m_btnModify; }
    CSkinButton* ImportButton() const { return m_btnImport; }
    CSkinButton* ExportButton() const { return m_btnExport; }
    CSkinButton* VerifyButton() const { return m_btnVerify; }
    CSkinButton* ExitButton() const { return m_btnExit; }

    // Seams for the modal runs of the classification manager and the
    // workbook path dialog (their result codes); tests answer in place of
    // the user.
    void SetClassManagerRunner(std::function<int(CAtcClassManageDlg&)> run) { m_runClassManager = std::move(run); }
    void SetTransferRunner(std::function<int(CTransferFileDlg&)> run) { m_runTransfer = std::move(run); }

protected:
    // Enter does not close the dialog; Escape and the close box do.
    void accept() override {}

private:
    void OnInitDialog();
    QString SelectedClassName() const;

    CSkinButton* m_btnManage;
    CSkinButton* m_btnAdd;
    CSkinButton* m_btnDelete;
    CSkinButton* m_btnModify;
    CSkinButton* m_btnImport;
    CSkinButton* m_btnExport;
    CSkinButton* m_btnVerify;
    CSkinButton* m_btnExit;
    CFlatComboBox* m_comboClass;
    CSortableListCtrl* m_listAtc;
    QLineEdit* m_editAtc;
    QTextEdit* m_editRefer;
    QTextEdit* m_editFunc;
    QLineEdit* m_editPassword;
    // A row number alone would point at another command after a sort.
    QPersistentModelIndex m_chosen;
    bool m_bLibraryChanged = false;

    std::function<int(CAtcClassManageDlg&)> m_runClassManager;
    std::function<int(CTransferFileDlg&)> m_runTransfer;
};

} // namespace ulv
