#pragma once

#include "platform/TaskGate.h"

#include "ui/controls/CSkinDialog.h"

#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ulv {

class CAtCommandSelectDlg;
class CFlatComboBox;
class CImageButton;
class CSerialPort;
class CSkinButton;
class CTextProgressCtrl;
struct FileJob;

// The strip under the terminal with which the user sends to the module: typed
// text, a hex view, one control character or a whole file. Its texts go out
// whole and unpaced, in turn with everything else the session sends, so they
// never interleave with a worker's; it drives the DTR and RTS lines.
class CSendPanelDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit CSendPanelDlg(QWidget* parent = nullptr);
    ~CSendPanelDlg() override;

    // Shared with the file sender, which may end after the panel is gone.
    struct SenderState {
        std::atomic<bool> running{false};
        std::atomic<bool> closing{false};
    };

    void OnButtonSend();
    void OnButtonSendFile();
    void OnRadioText();
    void OnRadioHex();
    void OnRadioFile();
    void OnRadioSpecialChars();
    void OnCheckWithEnter();
    void OnCheckDtr();
    void OnCheckRts();
    void OnChangeFilePath();

    int m_nMode = 0;        // 0 text, 1 hex, 2 file, 3 special characters
    int m_bInputIsHex = 0;  // the input box holds a hex view

    static constexpr int kInputLimit = 1024;

    // The controls, for the terminal pane and for tests.
    QLineEdit* InputBox() const { return m_editInput; }
    QLineEdit* PathBox() const { return m_editPath; }
    CFlatComboBox* SpecialCharList() const { return m_comboSpecial; }
    QRadioButton* TextRadio() const { return m_radioText; }
    QRadioButton* HexRadio() const { return m_radioHex; }
    QRadioButton* SpecialCharsRadio() const { return m_radioSpecial; }
    QRadioButton* FileRadio() const { return m_radioFile; }
    QCheckBox* WithEnterBox() const { return m_checkWithEnter; }
    QLabel* SizeLabel() const { return m_labelSize; }
    CSkinButton* SendButton() const { return m_btnSend; }
    CSkinButton* SendFileButton() const { return m_btnSendFile; }
    CTextProgressCtrl* ProgressBar() const { return m_progress; }
    CImageButton* DtrBox() const { return m_checkDtr; }
    CImageButton* RtsBox() const { return m_checkRts; }

    // Seams: the file-open dialog (initial name in, chosen path or empty out),
    // the quick command list's modal run (its result code), and the module's
    // clear-to-send state for hardware flow (true when the next byte may go).
    void SetFileChooser(std::function<QString(const QString& initialName)> chooser) { m_chooseFile = std::move(chooser); }
    void SetQuickListRunner(std::function<int(CAtCommandSelectDlg&)> runner) { m_runQuickList = std::move(runner); }
    void SetCtsSource(std::function<bool()> ctsClear) { m_ctsClear = std::move(ctsClear); }

    bool FileSenderRunning() const { return m_state->running.load(); }
    // The narrowest width that still shows every control of the panel: the
    // terminal pane is never made narrower.
    int MinimumWidth() const;

Q_SIGNALS:
    // On the UI thread, after each piece of a file and once at its end.
    void FileSendProgress(int position, const QString& caption);
    // The panel is idle again after a file was sent or stopped.
    void FileSendFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Enter and Escape never close the panel.
    void accept() override {}
    void reject() override {}

private:
    void OnInitDialog();
    // Keeps the row's right-hand controls in view in a pane narrower than
    // the panel was laid out for.
    void FitToWidth();
    void ShowInputControls();
    void SetInputText(const QString& text);
    void OpenQuickList();
    bool FilterHexKey(QKeyEvent* key);
    void OnCheckLine(CImageButton* box, bool dtr);
    static void FileSenderThread(FileJob job, TaskGate::Token& token);
    void BackToIdle();
    std::shared_ptr<CSerialPort> Port() const;

    QRadioButton* m_radioText;
    QRadioButton* m_radioHex;
    QRadioButton* m_radioSpecial;
    QRadioButton* m_radioFile;
    QLabel* m_labelSize;
    QCheckBox* m_checkWithEnter;
    QLineEdit* m_editInput;
    CFlatComboBox* m_comboSpecial;
    QLineEdit* m_editPath;
    CSkinButton* m_btnSend;
    CSkinButton* m_btnSendFile;
    CTextProgressCtrl* m_progress;
    QFrame* m_lineTop;
    QFrame* m_lineMiddle;
    CImageButton* m_checkDtr;
    CImageButton* m_checkRts;

    std::function<QString(const QString&)> m_chooseFile;
    std::function<int(CAtCommandSelectDlg&)> m_runQuickList;
    std::function<bool()> m_ctsClear;

    std::shared_ptr<SenderState> m_state = std::make_shared<SenderState>();
    static constexpr int kCloseWaitMs = 2000;
};

} // namespace ulv
