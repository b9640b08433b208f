#include "ui/controls/CPageTitleStrip.h"

#include "platform/Gui.h"
#include "ui/controls/ControlResources.h"

#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace ulv {

std::atomic<CPageTitleStrip*> g_pPageTitleStrip{nullptr};

namespace {

template <typename Fn>
void OnUiThread(CPageTitleStrip* strip, Fn fn)
{
    if (Gui::IsUiThread()) {
        fn();
        return;
    }
    Gui::Post([self = QPointer<CPageTitleStrip>(strip), fn] {
        if (self)
            fn();
    });
}

int BarsBitmapId(int bars)
{
    switch (bars) {
    case 1: return 250;
    case 2: return 251;
    case 3: return 252;
    case 4: return 253;
    default: return 242;
    }
}

} // namespace

CPageTitleStrip::CPageTitleStrip()
{
    m_pattern = LoadBitmapResource(187);
    m_blinkTimer.setInterval(480);
    m_ringTimer.setInterval(6000);
    m_ringTimer.setSingleShot(false);
    connect(&m_blinkTimer, &QTimer::timeout, this, [this] { OnTimer(kBlinkTimer); });
    connect(&m_ringTimer, &QTimer::timeout, this, [this] { OnTimer(kRingTimer); });
}

CPageTitleStrip::~CPageTitleStrip() = default;

int CPageTitleStrip::Create(int x, int y, QWidget* parent)
{
    if (m_nWidth != 0)
        return 0;
    m_nWidth = kWidth;
    m_nHeight = kHeight;
    setParent(parent);
    setProperty("controlId", kControlId);
    setGeometry(x, y, kWidth, kHeight);
    hide();
    return 1;
}

void CPageTitleStrip::SetTitle(const QString& title)
{
    {
        QMutexLocker lock(&m_lock);
        m_strTitle = title;
    }
    OnUiThread(this, [this] { update(); });
}

QString CPageTitleStrip::Title() const
{
    QMutexLocker lock(&m_lock);
    return m_strTitle;
}

void CPageTitleStrip::SetSubtitle(const QString& subtitle)
{
    {
        QMutexLocker lock(&m_lock);
        m_strSubtitle = subtitle;
    }
    OnUiThread(this, [this] { update(); });
}

QString CPageTitleStrip::Subtitle() const
{
    QMutexLocker lock(&m_lock);
    return m_strSubtitle;
}

void CPageTitleStrip::SetSignalBars(int bars)
{
    {
        QMutexLocker lock(&m_lock);
        m_nSignalBars = bars;
    }
    OnUiThread(this, [this] { update(); });
}

int CPageTitleStrip::SignalBarsFor(int mode, int quality)
{
    // 99 is "not known"; anything outside 0..31 is no reading at all.
    if (quality < 0 || quality > 31)
        return 0;
    int bars;
    if (mode == 1)
        bars = quality <= 20 ? quality * 5 / 15 : quality * 5 / 20;
    else
        bars = quality * 5 / 31;
    return std::min(bars, 5);
}

void CPageTitleStrip::SetSignalLevel(int mode, int quality)
{
    SetSignalBars(SignalBarsFor(mode, quality));
}

int CPageTitleStrip::SignalBars() const
{
    QMutexLocker lock(&m_lock);
    return m_nSignalBars;
}

void CPageTitleStrip::SetPaneWidth(int width)
{
    m_nPaneWidth = width;
    update();
}

long CPageTitleStrip::OnReceivedLine(const QString& line)
{
    // Timers belong to the UI thread.
    if (!Gui::IsUiThread()) {
        OnUiThread(this, [this, line] { OnReceivedLine(line); });
        return 1;
    }
    if (line.contains(QLatin1String("RING"))) {
        m_blinkTimer.start();
        m_ringTimer.start();
    }
    if (line.contains(QLatin1String("NO CARRIER"))) {
        StopRinging();
        update();
    }
    return 1;
}

void CPageTitleStrip::SetRingTimings(int blinkMs, int stopMs)
{
    m_blinkTimer.setInterval(blinkMs);
    m_ringTimer.setInterval(stopMs);
}

void CPageTitleStrip::StopRinging()
{
    m_blinkTimer.stop();
    m_ringTimer.stop();
    if (m_bRingBlink) {
        m_bRingBlink = false;
        Q_EMIT BlinkChanged(false);
    }
}

void CPageTitleStrip::OnTimer(int timerId)
{
    if (timerId == kBlinkTimer) {
        m_bRingBlink = !m_bRingBlink;
        Q_EMIT BlinkChanged(m_bRingBlink);
    } else if (timerId == kRingTimer) {
        StopRinging();
    }
    update();
}

CPageTitleStrip::BannerText CPageTitleStrip::CurrentText() const
{
    QMutexLocker lock(&m_lock);
    return {m_strTitle, m_strSubtitle, m_nSignalBars, m_nPaneWidth};
}

QImage CPageTitleStrip::ComposeBanner() const
{
    return Compose(CurrentText());
}

QImage CPageTitleStrip::Compose(const BannerText& text) const
{
    // The whole strip is composed: a surface narrower than the window would
    // leave the right part of a wide main window unpainted.
    QImage surface(kWidth, kHeight, QImage::Format_RGB32);
    surface.fill(Qt::black);
    QPainter p(&surface);
    if (!m_pattern.isNull())
        p.fillRect(QRect(0, 0, 3048, 54), QBrush(m_pattern));

    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setFont(LogFont(QStringLiteral("Arial Unicode MS"), -15, 600));
    p.setPen(Qt::white);
    p.drawText(QRect(11, 4, kWidth, kHeight), flags, text.title);
    p.setFont(LogFont(QStringLiteral("Arial Unicode MS"), -13, 300));
    p.setPen(ColorRefToQColor(0xFF0000));
    p.drawText(QRect(151, 4, kWidth, kHeight), flags, text.subtitle);

    if (text.bars > 0) {
        const QImage bitmap = LoadBitmapResource(BarsBitmapId(text.bars));
        if (!bitmap.isNull())
            p.drawImage(text.paneWidth - 40, 3, bitmap);
    }
    return surface;
}

void CPageTitleStrip::paintEvent(QPaintEvent*)
{
    const BannerText shown = CurrentText();
    if (m_banner.isNull() || shown != m_bannerText) {
        m_banner = Compose(shown);
        m_bannerText = shown;
    }
    QPainter p(this);
    p.drawImage(0, 0, m_banner);
    if (m_bRingBlink) {
        const QString text = QStringLiteral("Incoming Call");
        p.setFont(QFont());
        p.setPen(Qt::black);
        const QSize sz = p.fontMetrics().size(Qt::TextSingleLine, text);
        const int W = m_nPaneWidth;
        const QRect box(W - sz.width() - 90, 5, sz.width() + 10, sz.height());
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}

} // namespace ulv
