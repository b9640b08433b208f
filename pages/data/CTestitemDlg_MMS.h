#pragma once

#include "core/at/WorkerPool.h"
#include "pages/PageDialog.h"
#include "pages/data/core/MmsScripts.h"

#include <QString>

class QLabel;
class QLineEdit;

namespace ulv {

class CFlatComboBox;
class CImageButton;
class CSkinButton;
class CTextProgressCtrl;
class ModemSession;

// The MMS page: access point, MMS centre, recipients, title and two attached
// files; Send saves the settings and starts the send worker, whose progress
// shows in the text progress bar.
class CTestitemDlg_MMS : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_MMS(QWidget* parent = nullptr);
    ~CTestitemDlg_MMS() override;

    void LoadSettings();
    void SaveSettings();
    // Fills the access-point boxes with the MMS access point of the SIM's
    // network from the database (any thread; the boxes change on the UI thread).
    void LookupRecommendedApn(const QString& mcc, const QString& mnc);
    void WriteStepComment(int kind, const QString& text);

    void OnButtonSend();
    void OnButtonBrowseFile1();
    void OnButtonBrowseFile2();
    void OnButtonShowFileLength();

    // What Send would hand the worker now.
    MmsSendInput ReadInput() const;
    // The message for a field that cannot go into its command, else empty.
    static QString CheckFields(const MmsSendInput& in);
    QString SettingsPath() const;
    CTextProgressCtrl* ProgressBar() const { return m_progress; }
    CSkinButton* SendButton() const { return m_btnSend; }

private:
    ModemSession& Session() const;
    bool CanStart() const;
    void StartSend();

    CImageButton* m_btnApnSelect;
    CTextProgressCtrl* m_progress;
    CFlatComboBox* m_cmbTitleType;
    CFlatComboBox* m_cmbTextFileType;
    CSkinButton* m_btnSend;
    CSkinButton* m_btnFile1;
    CSkinButton* m_btnFile2;
    QString m_strSavedMcc;
    QString m_strSavedMnc;

    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
    QLineEdit* m_editUrl;
    QLineEdit* m_editProxy;
    QLineEdit* m_editPort;
    QLineEdit* m_editPhone;
    QLineEdit* m_editCc;
    QLineEdit* m_editBcc;
    QLineEdit* m_editTitle;
    QLineEdit* m_editFile1;
    QLineEdit* m_editFile2;
    TaskWorkers m_workers;
};

} // namespace ulv
