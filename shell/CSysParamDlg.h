#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace ulv {

class CColorPickerButton;
class CSkinButton;

// "System parameters set": edits g_sysParams and writes sysparam.ini on Save;
// the dialog stays open until Exit. Changes of the window placement take
// effect at the next start, the rest at once for whoever reads them.
class CSysParamDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSysParamDlg(QWidget* parent = nullptr);
    ~CSysParamDlg() override;

    // Where Save writes; sysparam.ini of the data folder unless told otherwise.
    QString m_strIniPath;

    // The "..." folder browser: given the dialog and the folder to start in,
    // returns the chosen folder or "" when cancelled. Tests replace it.
    using FolderPicker = std::function<QString(QWidget*, const QString&)>;
    static FolderPicker SetFolderPicker(FolderPicker picker);

    void OnSave();
    void OnBrowse();

    QCheckBox* m_chkShowMaximized;
    QLineEdit* m_editWidth;
    QLineEdit* m_editHeight;
    QCheckBox* m_chkShowTime;
    QCheckBox* m_chkShowSendData;
    QCheckBox* m_chkShowCrlf;
    QCheckBox* m_chkSaveLog;
    QLineEdit* m_editLogPath;
    CSkinButton* m_btnBrowse;
    QLineEdit* m_editPrefix;
    QLineEdit* m_editSizeLimit;
    CColorPickerButton* m_colorSent;
    CColorPickerButton* m_colorReceived;
    CColorPickerButton* m_colorBackground;
    // Kept in the file and edited here, but never shown.
    QCheckBox* m_chkShowReceiveData;
    QCheckBox* m_chkShowLeftView;
    QCheckBox* m_chkUseOldMcu;
    CColorPickerButton* m_colorLeftBar;
    QLineEdit* m_editPortBuffer;
    CSkinButton* m_btnSave;
    CSkinButton* m_btnExit;

Q_SIGNALS:
    // After every Save: g_sysParams holds the new values, so whoever keeps the
    // terminal log chooses its file again (and clears the log box when savelog
    // is off).
    void ParametersSaved();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void UpdateEnableStates();

    bool m_bInitDone = false;
};

} // namespace ulv
