#pragma once

#include "atlib/core/ScriptFile.h"
#include "core/at/WorkerPool.h"
#include "pages/PageDialog.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <mutex>

class QCheckBox;
class QLineEdit;

namespace ulv {

class CCycleSettingDlg;
class CSkinButton;

// The AT script page: 25 command rows, each sent by its own button; rows 1 to
// 20 form a script that is loaded from and saved to an INI file and played in
// cycles by a worker, each reply compared with the row's expected result.
class CTestItemDlg_script : public PageDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 25;

    explicit CTestItemDlg_script(QWidget* parent = nullptr);
    ~CTestItemDlg_script() override;

    void OnChooseAll();
    void OnEnterAll();
    void SendRow(int row);
    void OnButtonClearAll();
    void LoadDefaultScript();
    void OnButtonLoadScript();
    void OnButtonSaveAsScript();
    // "Save &Setting": writes to the script file last loaded, if any.
    void SaveSettings();
    bool SaveScriptFile(const QString& path);
    void OnButtonRun();
    void OnButtonStop();

    void SetRow(int row, const ScriptRow& values);
    ScriptRow GetRow(int row) const;

    // Seams for the modal dialogs (tests answer in place of the user): the
    // cycle dialog's result code, and the file the load and save dialogs
    // return (empty: cancelled).
    void SetCycleDialogRunner(std::function<int(CCycleSettingDlg&)> run) { m_runCycleDialog = std::move(run); }
    void SetFileChooser(std::function<QString(bool save)> choose) { m_chooseFile = std::move(choose); }

    QCheckBox* ChooseCheck(int row) const { return m_rows[size_t(row)].choose; }
    QLineEdit* CommandEdit(int row) const { return m_rows[size_t(row)].command; }
    QCheckBox* HexCheck(int row) const { return m_rows[size_t(row)].hex; }
    QCheckBox* EnterCheck(int row) const { return m_rows[size_t(row)].enter; }
    CSkinButton* RowButton(int row) const { return m_btnRow[size_t(row)]; }
    QLineEdit* DelayEdit(int row) const { return m_rows[size_t(row)].delay; }
    QLineEdit* CompareEdit(int row) const { return m_rows[size_t(row)].compare; }
    QCheckBox* ChooseAllCheck() const { return m_checkChooseAll; }
    QCheckBox* EnterAllCheck() const { return m_checkEnterAll; }
    CSkinButton* ClearAllButton() const { return m_btnClearAll; }
    CSkinButton* LoadButton() const { return m_btnLoad; }
    CSkinButton* SaveAsButton() const { return m_btnSaveAs; }
    CSkinButton* RunButton() const { return m_btnRun; }
    CSkinButton* StopButton() const { return m_btnStop; }

    QString m_strScriptPath;
    int m_nCycles = 1;
    int m_nIntervalMs = 0;

private:
    struct RowControls {
        QCheckBox* choose = nullptr;
        QLineEdit* command = nullptr;
        QCheckBox* hex = nullptr;
        QCheckBox* enter = nullptr;
        QLineEdit* delay = nullptr;
        QLineEdit* compare = nullptr;
    };
    // The rows as the worker sees them: a copy kept up to date on the
    // user-interface thread, so a run never waits for that thread.
    struct RowMirror {
        std::mutex lock;
        std::array<ScriptRow, kRows> rows;
    };
    void OnInitDialog();
    void Mirror(int row);
    void ReadScript(const QString& path);
    void SetToolsEnabled(bool enabled);
    void MarkRow(int row, bool running);

    // A row's command as a file gave it, with that file's bytes when they were
    // not UTF-8: sent and saved as they were while the text stays the same.
    struct LoadedCommand {
        QString text;
        QByteArray bytes;
    };

    std::array<RowControls, kRows> m_rows;
    std::array<LoadedCommand, kRows> m_loadedCommands;
    std::array<CSkinButton*, kRows> m_btnRow{};
    QCheckBox* m_checkChooseAll;
    QCheckBox* m_checkEnterAll;
    CSkinButton* m_btnClearAll;
    CSkinButton* m_btnLoad;
    CSkinButton* m_btnSaveAs;
    CSkinButton* m_btnRun;
    CSkinButton* m_btnStop;
    std::shared_ptr<RowMirror> m_mirror = std::make_shared<RowMirror>();
    std::function<int(CCycleSettingDlg&)> m_runCycleDialog;
    std::function<QString(bool save)> m_chooseFile;
    // On the session of the page host, made at the first run.
    std::unique_ptr<TaskWorkers> m_workers;
};

} // namespace ulv
