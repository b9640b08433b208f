#pragma once

#include "ui/controls/WinLook.h"

#include <QImage>
#include <QMutex>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <atomic>

namespace ulv {

// The banner above the pages: the visible page's name in large white letters,
// a blue subtitle (progress of scripted tests), the module's signal strength
// as 0 to 5 bars, and a blinking "Incoming Call" while a call rings.
// Title, subtitle and signal setters may be called from any thread: the
// change is queued to the UI thread.
class CPageTitleStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 3000;
    static constexpr int kHeight = 26;
    static constexpr int kControlId = 0xFFFF;
    static constexpr int kBlinkTimer = 1;
    static constexpr int kRingTimer = 2;

    CPageTitleStrip();
    ~CPageTitleStrip() override;

    // Makes the strip a hidden 3000 x 26 child of parent at (x, y), once:
    // 1, or 0 when it was already created.
    virtual int Create(int x, int y, QWidget* parent);
    bool IsCreated() const { return m_nWidth != 0; }

    void SetTitle(const QString& title);
    QString Title() const;
    void SetSubtitle(const QString& subtitle);
    QString Subtitle() const;

    void SetSignalBars(int bars);
    // quality: the +CSQ value (0..31, 99 unknown); mode: the module family
    // (1 UMTS/HSPA, anything else GSM).
    void SetSignalLevel(int mode, int quality);
    static int SignalBarsFor(int mode, int quality);
    int SignalBars() const;

    // Width of the middle pane: the bars sit at its right end less 40, the
    // call text left of it less 80.
    void SetPaneWidth(int width);
    int PaneWidth() const { return m_nPaneWidth; }

    // A received line: "RING" starts (or restarts) the blink, "NO CARRIER"
    // stops it. Answers 1.
    long OnReceivedLine(const QString& line);
    bool IsBlinkVisible() const { return m_bRingBlink; }
    bool IsRinging() const { return m_blinkTimer.isActive(); }
    // Timer intervals (480 ms blink, 6000 ms after the last ring); tests
    // shorten them.
    void SetRingTimings(int blinkMs, int stopMs);
    // The timer handlers.
    void OnTimer(int timerId);
    const QTimer& BlinkTimer() const { return m_blinkTimer; }
    const QTimer& RingTimer() const { return m_ringTimer; }

    // The banner as painted (without the call text), for tests and tools.
    QImage ComposeBanner() const;

Q_SIGNALS:
    void BlinkChanged(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the banner shows besides the fixed pattern.
    struct BannerText {
        QString title;
        QString subtitle;
        int bars = 0;
        int paneWidth = 0;
        bool operator==(const BannerText&) const = default;
    };
    BannerText CurrentText() const;
    QImage Compose(const BannerText& text) const;

public:
    // The ring blink ends (a call gone with its module).
    void StopRinging();

private:

    mutable QMutex m_lock;
    QString m_strTitle;
    QString m_strSubtitle;
    int m_nSignalBars = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nPaneWidth = 440;
    bool m_bRingBlink = false;
    QImage m_pattern;
    // The banner last painted and what it shows: the blink and exposes repaint
    // it as it is instead of composing the whole strip again.
    QImage m_banner;
    BannerText m_bannerText;
    QTimer m_blinkTimer;
    QTimer m_ringTimer;
};

// The one strip of the page host, while it exists: set and read on any thread
// (one load per use); the page host clears it before its children go.
extern std::atomic<CPageTitleStrip*> g_pPageTitleStrip;

} // namespace ulv
