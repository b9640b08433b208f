#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>

class QLabel;
class QWebEnginePage;
class QWebEngineView;

namespace ulv {

// One embedded browser showing one map page. Pages hold one per map provider,
// navigate it to the provider's page file and call the page's script functions
// only through CallPageScript.
//
// A page counts as loaded once its load has finished and the program knows which
// functions it offers; until then (and after a failed load or a crashed page
// process) script calls are refused. Without a working browser engine the
// widget shows a line saying so in place of the map.
class CWebBrowser2 : public QWidget {
    Q_OBJECT
public:
    explicit CWebBrowser2(QWidget* parent = nullptr);
    ~CWebBrowser2() override;

    // Loads a page file (a local path); markers shown before are gone.
    void Navigate(const QString& path);
    // Loads a page by URL.
    void Navigate2(const QUrl& url);

    bool IsPageReady() const { return m_state == State::Ready; }
    bool PageFailed() const { return m_state == State::Failed; }
    bool PageHasFunction(const QString& name) const { return m_functions.contains(name); }
    // The text shown in place of the map when the browser cannot show it (empty
    // while it can).
    QString ProblemText() const;
    // Null when the browser engine could not be started.
    QWebEnginePage* Page() const;

Q_SIGNALS:
    // The page finished loading: ok false when it failed.
    void pageReady(bool ok);

private:
    enum class State { Empty, Loading, Ready, Failed };
    void OnLoadFinished(bool ok);
    void Probe(int generation, int triesLeft);
    void ShowProblem(const QString& text);

    QWebEngineView* m_view = nullptr;
    QLabel* m_problem = nullptr;
    State m_state = State::Empty;
    QSet<QString> m_functions;
    int m_generation = 0;
    int m_loadsInFlight = 0;
};

// Calls the script function `function` of the browser's page with the arguments
// as strings, in list order. Each argument reaches the script as a string literal
// made by JSON escaping, so no value can break out of it.
// Returns 1 when the function was called, 0 when it could not be: no page loaded
// yet, the page failed or its process ended, the page has no such function, a
// name that is not a script identifier, or (when a result is asked for) no answer
// from the page within a few seconds. With result the call waits for the page's
// answer and stores it there (an invalid QVariant for a function returning
// nothing). Call it on the user-interface thread only.
int CallPageScript(CWebBrowser2* browser, const QString& function, const QStringList& args,
    QVariant* result = nullptr);

// The script text CallPageScript runs (empty for a name that is not an identifier).
QString PageScriptCall(const QString& function, const QStringList& args);

} // namespace ulv
