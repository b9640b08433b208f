#pragma once

#include "pages/PageHost.h"
#include "shell/CGlobalDoc.h"
#include "shell/core/PageIndexTable.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>

namespace ulv {

class CCommandReBar;
class CFlatSplitterWnd;
class CLogFileEdit;
class COutbarView;
class CTestView1;
class CTestView2;
class FrameCommands;
class FrameStatusBar;

// The program's one top-level window: the command rebar (menu bar and
// toolbar), the 1 x 3 splitter with the navigation pane, the page host and the
// terminal, the five-pane status bar with the log box and the clock; it guards
// the exit.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClockTimer = 1;
    static constexpr int kWidthCheckTimer = 2;
    static constexpr int kLogBoxId = 1001;

    explicit CMainFrame(int moduleType, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the panes, the status bar, the rebar and the family's menu items;
    // false when any of them cannot be made (the start then ends).
    bool Create();

    // The action of a command id, made on first use (its data is the id). The
    // frame handles the page commands and Exit; the rest are connected by the
    // command handlers.
    QAction* CommandAction(unsigned id);
    // The command ids the frame knows (menu, toolbar and family items).
    std::vector<unsigned> CommandIds() const;

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;

    FrameStatusBar* StatusBar() const { return m_wndStatusBar; }
    CLogFileEdit* LogBox() const { return m_editLogFile; }
    CCommandReBar* CommandReBar() const { return m_wndCommandReBar.get(); }
    CFlatSplitterWnd* Splitter() const { return m_wndSplitter; }
    COutbarView* OutbarView() const { return m_pOutbarView; }
    CTestView1* TestView1() const { return m_pTestView1; }
    CTestView2* TestView2() const { return m_pTestView2; }
    const PageIndexTable& PageIndices() const { return m_pageIndexTable; }
    FrameCommands* Commands() const { return m_commandHandlers; }
    CGlobalDoc& Document() { return m_doc; }
    int ModuleType() const { return m_moduleType; }

    // Shows the page of a key through the page host (nothing for a page the
    // family does not have).
    void ShowPage(PageKey key);
    // The check marks of the View menu: the page on show.
    void UpdatePageChecks();

    // The clock pane's text for a time.
    static QString ClockText(const QDateTime& time);
    // The clock ticks only while the window can be seen.
    bool ClockRunning() const { return m_clockTimer.isActive(); }

    // Registered by the cell-locator and GNSS pages; they get WM_MAPTYPE_CHANGED.
    QPointer<QWidget> m_pPositionMapWnd;
    QPointer<QWidget> m_pGnssMapWnd;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool OnCreateClient();
    bool OnCreate();
    void AddFamilyMenus();
    void OnTimer(int id);
    // The exit rules; true when the window may close.
    bool OnClose();
    void PlaceLogBox();
    void FollowVisibility();

    int m_moduleType;
    CGlobalDoc m_doc;
    FrameStatusBar* m_wndStatusBar = nullptr;
    CLogFileEdit* m_editLogFile = nullptr;
    std::unique_ptr<CCommandReBar> m_wndCommandReBar;
    CFlatSplitterWnd* m_wndSplitter = nullptr;
    COutbarView* m_pOutbarView = nullptr;
    CTestView1* m_pTestView1 = nullptr;
    CTestView2* m_pTestView2 = nullptr;
    QMenu* m_mapTypeMenu = nullptr;
    FrameCommands* m_commandHandlers = nullptr;
    PageIndexTable m_pageIndexTable;
    std::map<unsigned, QAction*> m_commands;
    QTimer m_clockTimer;
    bool m_bWidthsPlaced = false;
};

extern CMainFrame* g_pMainFrame;

} // namespace ulv
