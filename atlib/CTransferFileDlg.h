#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;

namespace ulv {

class CSkinButton;

// Asks for the workbook path of an export (m_bImport 0, the default) or an
// import (the caller sets m_bImport to 1 before running it). The path can be
// typed or picked with "...".
class CTransferFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTransferFileDlg(QWidget* parent = nullptr);
    ~CTransferFileDlg() override;

    // IDOK with a non-empty path in m_strPath, else IDCANCEL.
    int DoModal();

    void OnButtonBrowse();
    void OnOK();

    CSkinButton* m_btnBrowse;
    CSkinButton* m_btnOk;
    QString m_strPath;
    int m_bImport = 0;

    QLineEdit* PathEdit() const { return m_editPath; }

    // The file dialog behind "...": the proposed full name in, the chosen path
    // (or "" when cancelled) out. Tests replace it.
    void SetFileChooser(std::function<QString(const QString& proposed)> chooser) { m_chooseFile = std::move(chooser); }

    // The name "..." proposes in the data folder for the mode.
    QString ProposedFileName() const;

    void accept() override { OnOK(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    QLineEdit* m_editPath;
    std::function<QString(const QString&)> m_chooseFile;
    bool m_bInitDone = false;
};

} // namespace ulv
