#include "atlib/CTestItemDlg_script.h"

#include "atlib/CCycleSettingDlg.h"
#include "atlib/ScriptFileChooser.h"
#include "atlib/core/ScriptRun.h"
#include "core/at/ModemSession.h"
#include "pages/PageHost.h"
#include "platform/Gui.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CDigitsOnlyEdit.h"
#include "ui/controls/CPageTitleStrip.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace ulv {

namespace {

constexpr COLORREF kRowTextColor = 0x333399;
constexpr COLORREF kRunningRowColor = 0x0000FF;

QString Flag(const QCheckBox* box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

CTestItemDlg_script::CTestItemDlg_script(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_script"), parent)
    , m_checkChooseAll(new QCheckBox(QStringLiteral("Choose all commands"), this))
    , m_checkEnterAll(new QCheckBox(QStringLiteral("Enter"), this))
    , m_btnClearAll(new CSkinButton(QStringLiteral("Clear all"), this))
    , m_btnLoad(new CSkinButton(QStringLiteral("LoadScript"), this))
    , m_btnSaveAs(new CSkinButton(QStringLiteral("SaveAsScript"), this))
    , m_btnRun(new CSkinButton(QStringLiteral("Run"), this))
    , m_btnStop(new CSkinButton(QStringLiteral("Stop"), this))
    , m_runCycleDialog([](CCycleSettingDlg& dlg) { return dlg.DoModal(); })
    , m_chooseFile(ChooseScriptFile)
{
    OnInitDialog();
}

CTestItemDlg_script::~CTestItemDlg_script() = default;

void CTestItemDlg_script::OnInitDialog()
{
    constexpr int top = 36, pitch = 26;
    // The rows and the tool buttons under them fit the middle pane's width;
    // the page host scrolls to the lower rows.
    m_checkChooseAll->setGeometry(10, 8, 160, 22);
    (new QLabel(QStringLiteral("Hex"), this))->setGeometry(302, 8, 30, 22);
    m_checkEnterAll->setGeometry(330, 8, 60, 22);
    (new QLabel(QStringLiteral("Delay(ms)"), this))->setGeometry(414, 8, 70, 22);
    auto* expected = new QLabel(QStringLiteral("Expected result"), this);
    expected->hide();
    for (int i = 0; i < kRows; ++i) {
        RowControls& row = m_rows[size_t(i)];
        const int y = top + i * pitch;
        const QString number = QString::number(i + 1);
        row.choose = new QCheckBox(number, this);
        row.choose->setGeometry(10, y, 45, 22);
        row.command = new QLineEdit(this);
        row.command->setGeometry(58, y, 240, 22);
        row.hex = new QCheckBox(this);
        row.hex->setGeometry(308, y, 20, 22);
        row.enter = new QCheckBox(this);
        row.enter->setGeometry(338, y, 20, 22);
        m_btnRow[size_t(i)] = new CSkinButton(number, this);
        m_btnRow[size_t(i)]->setGeometry(366, y, 46, 22);
        // Only the delays of the script's own rows take nothing but digits.
        row.delay = i < kScriptRunRows ? new CDigitsOnlyEdit(this) : new QLineEdit(this);
        row.delay->setGeometry(420, y, 56, 22);
        row.delay->setAlignment(Qt::AlignCenter);
        row.compare = new QLineEdit(this);
        row.compare->hide();
        for (QCheckBox* box : {row.choose, row.hex, row.enter})
            connect(box, &QCheckBox::toggled, this, [this, i] { Mirror(i); });
        for (QLineEdit* edit : {row.command, row.delay, row.compare})
            connect(edit, &QLineEdit::textChanged, this, [this, i] { Mirror(i); });
        connect(m_btnRow[size_t(i)], &QPushButton::clicked, this, [this, i] { SendRow(i); });
        Mirror(i);
    }
    int x = 10;
    for (CSkinButton* b : {m_btnClearAll, m_btnLoad, m_btnSaveAs, m_btnRun, m_btnStop}) {
        b->setGeometry(x, top + kRows * pitch + 8, 88, 26);
        x += 94;
    }
    for (CSkinButton* b : m_btnRow)
        b->BuildDialogSkin();
    for (CSkinButton* b : {m_btnClearAll, m_btnLoad, m_btnSaveAs, m_btnRun, m_btnStop}) {
        b->BuildDialogSkin();
        b->setAutoDefault(false);
    }
    connect(m_checkChooseAll, &QCheckBox::clicked, this, [this] { OnChooseAll(); });
    connect(m_checkEnterAll, &QCheckBox::clicked, this, [this] { OnEnterAll(); });
    connect(m_btnClearAll, &QPushButton::clicked, this, [this] { OnButtonClearAll(); });
    connect(m_btnLoad, &QPushButton::clicked, this, [this] { OnButtonLoadScript(); });
    connect(m_btnSaveAs, &QPushButton::clicked, this, [this] { OnButtonSaveAsScript(); });
    connect(m_btnRun, &QPushButton::clicked, this, [this] { OnButtonRun(); });
    connect(m_btnStop, &QPushButton::clicked, this, [this] { OnButtonStop(); });
}

void CTestItemDlg_script::Mirror(int row)
{
    const ScriptRow values = GetRow(row);
    std::lock_guard lock(m_mirror->lock);
    m_mirror->rows[size_t(row)] = values;
}

void CTestItemDlg_script::SetRow(int row, const ScriptRow& v)
{
    if (row < 0 || row >= kRows)
        return;
    RowControls& r = m_rows[size_t(row)];
    r.choose->setChecked(ParseLeadingInt(v.choose) != 0);
    r.command->setText(v.command);
    m_loadedCommands[size_t(row)] = {v.command, v.commandBytes};
    r.hex->setChecked(ParseLeadingInt(v.hex) != 0);
    r.enter->setChecked(ParseLeadingInt(v.enter) != 0);
    r.delay->setText(v.delay);
    r.compare->setText(v.compare);
    m_checkChooseAll->setChecked(false);
    m_checkEnterAll->setChecked(false);
}

ScriptRow CTestItemDlg_script::GetRow(int row) const
{
    const RowControls& r = m_rows[size_t(row)];
    ScriptRow values{Flag(r.choose), r.command->text(), Flag(r.hex), Flag(r.enter), r.delay->text(), r.compare->text(), {}, {}};
    const LoadedCommand& loaded = m_loadedCommands[size_t(row)];
    if (values.command == loaded.text)
        values.commandBytes = loaded.bytes;
    return values;
}

void CTestItemDlg_script::OnChooseAll()
{
    const bool on = m_checkChooseAll->isChecked();
    for (RowControls& r : m_rows)
        if (!on || !r.command->text().isEmpty())
            r.choose->setChecked(on);
}

void CTestItemDlg_script::OnEnterAll()
{
    for (RowControls& r : m_rows)
        r.enter->setChecked(m_checkEnterAll->isChecked());
}

void CTestItemDlg_script::SendRow(int row)
{
    if (row < 0 || row >= kRows)
        return;
    const ScriptRow r = GetRow(row);
    const QByteArray command = ScriptCommandBytes(r).trimmed();
    if (command.isEmpty())
        return;
    if (const QString problem = RowCommandProblem(r, row + 1); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    if (PageHost* host = GetPageHost())
        host->Session().Transmitter().SendScriptBytes(command, ParseLeadingInt(r.hex), ParseLeadingInt(r.enter) != 0);
}

void CTestItemDlg_script::OnButtonClearAll()
{
    const ScriptRow empty{{}, {}, {}, {}, {}, {}, {}};
    for (int i = 0; i < kRows; ++i)
        SetRow(i, empty);
}

void CTestItemDlg_script::ReadScript(const QString& path)
{
    const ScriptFileRows rows = ReadScriptFile(path);
    for (int i = 0; i < kScriptFileRows; ++i)
        SetRow(i, rows[size_t(i)]);
}

void CTestItemDlg_script::LoadDefaultScript() { ReadScript(DefaultScriptPath()); }

void CTestItemDlg_script::OnButtonLoadScript()
{
    const QString path = m_chooseFile(false);
    if (path.isEmpty())
        return;
    m_strScriptPath = path;
    ReadScript(path);
}

void CTestItemDlg_script::OnButtonSaveAsScript()
{
    const QString path = m_chooseFile(true);
    if (!path.isEmpty())
        SaveScriptFile(path);
}

void CTestItemDlg_script::SaveSettings()
{
    if (!m_strScriptPath.isEmpty())
        SaveScriptFile(m_strScriptPath);
}

bool CTestItemDlg_script::SaveScriptFile(const QString& path)
{
    ScriptFileRows rows;
    for (int i = 0; i < kScriptFileRows; ++i)
        rows[size_t(i)] = GetRow(i);
    // A file that cannot be written says so itself, naming the file and why.
    return WriteScriptFile(path, rows);
}

void CTestItemDlg_script::SetToolsEnabled(bool enabled)
{
    for (CSkinButton* b : {m_btnLoad, m_btnSaveAs, m_btnRun, m_btnClearAll})
        b->setEnabled(enabled);
}

void CTestItemDlg_script::MarkRow(int row, bool running)
{
    m_btnRow[size_t(row)]->SetTextColors(running ? kRunningRowColor : kRowTextColor);
}

void CTestItemDlg_script::OnButtonRun()
{
    PageHost* host = GetPageHost();
    if (!host || host->Session().Gate().Running() || !host->PortOpen())
        return;
    ScriptFileRows rows;
    for (int i = 0; i < kScriptFileRows; ++i)
        rows[size_t(i)] = GetRow(i);
    if (const auto bad = ImproperDelayRow(rows)) {
        ShowMessageBox(ImproperDelayMessage(*bad));
        return;
    }
    if (const QString problem = ChosenRowsCommandProblem(rows); !problem.isEmpty()) {
        ShowMessageBox(problem);
        return;
    }
    CCycleSettingDlg dlg(this);
    if (m_runCycleDialog(dlg) != IDOK)
        return;
    m_nCycles = dlg.m_nCycleTimes;
    m_nIntervalMs = dlg.m_nIntervalTime;

    QPointer<CTestItemDlg_script> self(this);
    ScriptRunSink sink;
    sink.row = [mirror = m_mirror](int row) {
        std::lock_guard lock(mirror->lock);
        return mirror->rows[size_t(row)];
    };
    sink.mark = [self](int row, bool running) {
        Gui::Post([self, row, running] {
            if (self)
                self->MarkRow(row, running);
        });
    };
    sink.subtitle = [](const QString& text) {
        Gui::Post([text] {
            if (CPageTitleStrip* strip = g_pPageTitleStrip.load())
                strip->SetSubtitle(text);
        });
    };
    const ScriptRunSettings settings{m_nCycles, m_nIntervalMs};
    SetToolsEnabled(false);
    if (!m_workers)
        m_workers = std::make_unique<TaskWorkers>(host->Session().Workers());
    const bool started = m_workers->Start([self, sink, settings, &session = host->Session()](TaskGate::Token& token) {
        RunScriptCycles(session, token, settings, sink);
        token.Release();
        Gui::Post([self] {
            if (self)
                self->SetToolsEnabled(true);
        });
    });
    if (!started)
        SetToolsEnabled(true);
}

void CTestItemDlg_script::OnButtonStop()
{
    if (PageHost* host = GetPageHost())
        host->Session().Gate().Stop();
}

} // namespace ulv
