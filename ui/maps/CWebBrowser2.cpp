#include "ui/maps/CWebBrowser2.h"

#include "ui/maps/MapEngine.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace ulv {

namespace {

constexpr int kScriptAnswerMs = 5000;

// Script errors and dialogs of a map page stay out of the user's way.
class SilentPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString&) override { }
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override { }
};

// Whether the loaded page has finished setting itself up (a map page says so in
// ulvMapReady once its map exists), and every function it offers.
const char kFunctionProbe[] = "(function () { var ready = document.readyState === 'complete'"
                              " && (typeof ulvMapReady === 'undefined' || ulvMapReady === true);"
                              " if (!ready) return null;"
                              " return Object.getOwnPropertyNames(window).filter(function (k) {"
                              " try { return typeof window[k] === 'function'; } catch (e) { return false; } }); })()";
// How often and how long a page that is not set up yet is asked again.
constexpr int kProbeRetryMs = 50;
constexpr int kProbeTries = 400;

bool IsScriptIdentifier(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*$"));
    return re.match(name).hasMatch();
}

} // namespace

CWebBrowser2::CWebBrowser2(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("mapProblem"));
    m_problem->setWordWrap(true);
    m_problem->setAlignment(Qt::AlignCenter);
    m_problem->hide();
    layout->addWidget(m_problem);
    if (!MapEngineAvailable()) {
        ShowProblem(MapEngineMissingText());
        return;
    }
    m_view = new QWebEngineView(this);
    auto* page = new SilentPage(m_view);
    m_view->setPage(page);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    // The page files are local; their tiles come from the providers' servers.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    layout->addWidget(m_view);
    // A load that a newer navigation cut short also reports its end; the page
    // counts as loaded only when the last load started has ended.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            ++m_loadsInFlight;
            return;
        }
        if (m_loadsInFlight > 0)
            --m_loadsInFlight;
        if (m_loadsInFlight == 0)
            OnLoadFinished(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
        [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
            if (status == QWebEnginePage::NormalTerminationStatus)
                return;
            ++m_generation;
            m_state = State::Failed;
            m_functions.clear();
            ShowProblem(QStringLiteral("The map page stopped (its browser process ended). Choose the map type again to reload it."));
        });
}

CWebBrowser2::~CWebBrowser2()
{
    // The page answers its pending scripts while it is destroyed: let that
    // happen now, while this is still whole, and have the answers find
    // nothing to do.
    ++m_generation;
    m_state = State::Failed;
    delete m_view;
    m_view = nullptr;
}

QWebEnginePage* CWebBrowser2::Page() const
{
    return m_view ? m_view->page() : nullptr;
}

QString CWebBrowser2::ProblemText() const
{
    return m_problem->isVisibleTo(this) ? m_problem->text() : QString();
}

void CWebBrowser2::ShowProblem(const QString& text)
{
    m_problem->setText(text);
    m_problem->show();
    if (m_view)
        m_view->hide();
}

void CWebBrowser2::Navigate(const QString& path)
{
    Navigate2(QUrl::fromLocalFile(path));
}

void CWebBrowser2::Navigate2(const QUrl& url)
{
    if (!m_view)
        return;
    ++m_generation;
    m_state = State::Loading;
    m_functions.clear();
    m_problem->hide();
    m_view->show();
    m_view->load(url);
}

void CWebBrowser2::OnLoadFinished(bool ok)
{
    if (m_state != State::Loading)
        return;
    if (!ok) {
        m_state = State::Failed;
        Q_EMIT pageReady(false);
        return;
    }
    Probe(m_generation, kProbeTries);
}

void CWebBrowser2::Probe(int generation, int triesLeft)
{
    QPointer<CWebBrowser2> self(this);
    m_view->page()->runJavaScript(QString::fromLatin1(kFunctionProbe), [self, generation, triesLeft](const QVariant& names) {
        if (!self || self->m_generation != generation || self->m_state != State::Loading)
            return;
        if (names.isNull() || !names.isValid()) {
            if (triesLeft <= 1) {
                self->m_state = State::Failed;
                Q_EMIT self->pageReady(false);
                return;
            }
            QTimer::singleShot(kProbeRetryMs, self, [self, generation, triesLeft] {
                if (self && self->m_generation == generation)
                    self->Probe(generation, triesLeft - 1);
            });
            return;
        }
        for (const QVariant& name : names.toList())
            self->m_functions.insert(name.toString());
        self->m_state = State::Ready;
        Q_EMIT self->pageReady(true);
    });
}

QString PageScriptCall(const QString& function, const QStringList& args)
{
    if (!IsScriptIdentifier(function))
        return {};
    const QByteArray argv = QJsonDocument(QJsonArray::fromStringList(args)).toJson(QJsonDocument::Compact);
    return QStringLiteral("window[\"%1\"].apply(window, %2)").arg(function, QString::fromUtf8(argv));
}

int CallPageScript(CWebBrowser2* browser, const QString& function, const QStringList& args, QVariant* result)
{
    if (!browser || !browser->IsPageReady() || !browser->PageHasFunction(function))
        return 0;
    const QString script = PageScriptCall(function, args);
    QWebEnginePage* page = browser->Page();
    if (script.isEmpty() || !page)
        return 0;
    if (!result) {
        page->runJavaScript(script);
        return 1;
    }
    // The page answers through the event loop; wait for it here, as the caller
    // needs the value now. The state outlives a late answer.
    struct Answer {
        bool done = false;
        QVariant value;
        QEventLoop loop;
    };
    auto answer = std::make_shared<Answer>();
    std::weak_ptr<Answer> weak = answer;
    page->runJavaScript(script, [weak](const QVariant& value) {
        if (auto a = weak.lock()) {
            a->done = true;
            a->value = value;
            a->loop.quit();
        }
    });
    QPointer<CWebBrowser2> guard(browser);
    QTimer::singleShot(kScriptAnswerMs, &answer->loop, &QEventLoop::quit);
    QObject::connect(browser, &QObject::destroyed, &answer->loop, &QEventLoop::quit);
    if (!answer->done)
        answer->loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!answer->done || !guard)
        return 0;
    *result = answer->value;
    return 1;
}

} // namespace ulv
