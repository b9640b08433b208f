#pragma once

#include "pages/PageDialog.h"

#include <QImage>
#include "core/at/WorkerPool.h"

#include <QString>
#include <map>

class QCheckBox;
class QLabel;
class QPushButton;

namespace ulv {

class CImageButton;
struct ModuleScriptSink;

// The connection page: opens and closes the module's port, runs the automatic
// initialisation on connect and the three query scripts, and shows what they
// learn in its value statics.
class CTestItemDlg_home : public PageDialog {
    Q_OBJECT
public:
    // The test-environment check the page host runs before a test page (1 ready).
    int RunEnvCheck(int kind, int option);
    explicit CTestItemDlg_home(QWidget* parent = nullptr);
    // Stops a worker still running and gives it a moment to end.
    ~CTestItemDlg_home() override;

    // The Connect button's tooltip: the port settings text.
    void UpdatePortTip();
    void OnReceivedLine(const QString& line) override { m_lastLine = line; }
    QString m_lastLine;

    void OnButtonConnect();
    void OnButtonDisconnect();
    // The module went away: shown disconnected as after Disconnect, whatever runs.
    void OnPortLost() override;
    void OnButtonModuleInfo();
    void OnButtonRegInfo();
    void OnButtonSimInfo();
    // Takes the port away from the senders and closes it (bounded).
    void ClosePort();
    void ShowDisconnected();
    // A step's comment in the terminal; any thread.
    static void WriteStepComment(int kind, const QString& text);

    QPushButton* ConnectButton() const;
    QPushButton* DisconnectButton() const;
    QPushButton* ModuleInfoButton() const;
    QPushButton* RegInfoButton() const;
    QPushButton* SimInfoButton() const;
    QCheckBox* AutoInitCheck() const { return m_autoInit; }
    // The text of a value static (1207 ... 1218).
    QString ValueText(int id) const;

    // "/dev/ttyUSB2,115200,8,1,None,None"; "COM[?],..." without a port.
    static QString PortSettingsText();

    // The page's background as last painted: the grey with bitmap 330 tiled
    // over it, which the transparent buttons show through.
    const QImage& ComposedBackground() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetValue(int id, const QString& text);
    ModuleScriptSink MakeSink();
    // Runs the environment check before a test page; 1 ready.

    CImageButton* m_connect;
    CImageButton* m_disconnect;
    CImageButton* m_moduleInfo;
    CImageButton* m_regInfo;
    CImageButton* m_simInfo;
    QCheckBox* m_autoInit;
    std::map<int, QLabel*> m_values;
    QImage m_backgroundBitmap;
    QImage m_background;
    // The connect and query workers; each holds the task flag for its whole run.
    TaskWorkers m_workers;
};

} // namespace ulv
