#include "pages/module/CEnvCheckDlg.h"

#include "core/at/ModemSession.h"
#include "pages/PageHost.h"
#include "pages/module/core/EnvCheckScript.h"
#include "platform/Gui.h"
#include "platform/MessageBox.h"
#include "ui/controls/CPageTitleStrip.h"
#include "ui/controls/CTextProgressCtrl.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace ulv {

CEnvCheckDlg::CEnvCheckDlg(QWidget* parent)
    : QDialog(parent)
    , m_prompt(new QLabel(QStringLiteral("Prompt :"), this))
    , m_progress(new CTextProgressCtrl(this))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(420, 80);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    pal.setColor(QPalette::WindowText, QColor(0x99, 0x33, 0x33));
    setPalette(pal);
    setAutoFillBackground(true);
    m_prompt->setObjectName(QStringLiteral("1369"));
    m_prompt->setGeometry(12, 10, 396, 20);
    m_progress->setObjectName(QStringLiteral("1370"));
    m_progress->setGeometry(12, 40, 396, 22);
    m_progress->SetRange(0, 101);
}

CEnvCheckDlg::~CEnvCheckDlg()
{
    // The worker's last act is to queue the close; it has ended or is about to.
    // A window torn down early stops it and waits a bounded moment.
    if (!m_working->load())
        return;
    ModemSession& session = GetPageHost() ? GetPageHost()->Session() : AppModemSession();
    session.Gate().Stop();
    session.Workers().WaitUntil([w = m_working] { return !w->load(); }, kCloseWaitMs);
}

QString CEnvCheckDlg::PromptText() const { return m_prompt->text(); }
int CEnvCheckDlg::ProgressPos() const { return m_progress->GetPos(); }

int CEnvCheckDlg::DoModal()
{
    QTimer::singleShot(0, this, [this] { Start(); });
    return QDialog::exec();
}

void CEnvCheckDlg::Start()
{
    ModemSession& session = GetPageHost() ? GetPageHost()->Session() : AppModemSession();
    std::optional<TaskGate::Token> token = session.Gate().TryStart();
    if (!token) {
        // Another task owns the module: nothing can be asked now.
        QTimer::singleShot(200, this, [this] { done(QDialog::Accepted); });
        return;
    }
    m_strSmscNumber.clear();
    QPointer<CEnvCheckDlg> self(this);
    EnvCheckSink sink;
    sink.prompt = [self](const QString& text) {
        Gui::Post([self, text] {
            if (self)
                self->m_prompt->setText(text);
        });
    };
    sink.progress = [self](int pos) {
        Gui::Post([self, pos] {
            if (self)
                self->m_progress->SetPos(pos);
        });
    };
    sink.setSignalLevel = [](int type, int quality) {
        Gui::Post([type, quality] {
            if (CPageTitleStrip* strip = g_pPageTitleStrip.load())
                strip->SetSignalLevel(type, quality);
        });
    };
    const int kind = m_nPageKind;
    const int sms = m_bSmsCheck;
    m_working->store(true);
    session.Workers().Run(std::move(*token), [self, sink, kind, sms, &session, working = m_working](TaskGate::Token& t) {
        EnvCheckResult result = RunEnvCheck(session, t, sink, kind, sms);
        // A module that went away during the check is not ready, whatever it said before.
        if (session.PortLost())
            result.ready = false;
        // The flag is free before the window learns the result: the page it
        // opens for may start a task at once.
        t.Release();
        working->store(false);
        Gui::Post([self, result] {
            if (!self)
                return;
            self->m_bReady = result.ready;
            self->m_strSmscNumber = result.smscNumber;
            self->m_nSmsStorageCapacity = result.storageCapacity;
            QTimer::singleShot(200, self, [self] {
                if (self)
                    self->done(QDialog::Accepted);
            });
        });
    });
}

} // namespace ulv
