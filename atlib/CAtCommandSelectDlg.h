#pragma once

#include "atlib/core/QuickCommandFile.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

namespace ulv {

class CFlatHeaderListCtrl;
class CSkinButton;

// The user's own list of frequently sent AT commands, each with its line-end
// flag and a comment, kept in ModuleName_null.ini. A double click on an entry
// closes the dialog with IDOK and hands the command and its flag back.
class CAtCommandSelectDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAtCommandSelectDlg(QWidget* parent = nullptr);
    ~CAtCommandSelectDlg() override;

    // Runs the dialog modally: IDOK after a double click on an entry, IDCANCEL
    // when it was closed.
    int DoModal();

    void LoadCommandList();
    void OnClickCommandList(int row);
    void OnDblclkCommandList();
    void OnButtonAdd();
    void OnButtonDelete();
    void OnButtonModify();

    // Results: valid after IDOK only.
    QString m_strCommand;
    int m_nCarriageReturn = 0;

    int m_nClickedRow = -1;
    QString m_strIniPath;
    int m_bSelectMode = 1;

    CFlatHeaderListCtrl* List() const { return m_listCommands; }
    QLineEdit* CommandEdit() const { return m_editCommand; }
    QLineEdit* CommentEdit() const { return m_editComment; }
    QCheckBox* WithEnterBox() const { return m_checkWithEnter; }
    CSkinButton* AddButton() const { return m_btnAdd; }
    CSkinButton* DeleteButton() const { return m_btnDelete; }
    CSkinButton* ModifyButton() const { return m_btnModify; }

protected:
    void showEvent(QShowEvent* event) override;
    // Enter does not close the list.
    void accept() override {}

private:
    void OnInitDialog();
    QuickCommand EditValues() const;
    QuickCommandFile File() const { return QuickCommandFile(m_strIniPath); }

    CFlatHeaderListCtrl* m_listCommands;
    QLineEdit* m_editCommand;
    QCheckBox* m_checkWithEnter;
    QLineEdit* m_editComment;
    CSkinButton* m_btnAdd;
    CSkinButton* m_btnDelete;
    CSkinButton* m_btnModify;
    bool m_bInitDone = false;
};

} // namespace ulv
