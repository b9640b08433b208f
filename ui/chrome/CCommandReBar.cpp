#include "ui/chrome/CCommandReBar.h"

#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace ulv {

namespace {

    // One band: its background picture tiled from the band's own origin, the bar
    // on top of it.
    class ReBarBand : public QWidget {
    public:
        ReBarBand(const QImage& background, QWidget* bar, QWidget* parent)
            : QWidget(parent)
            , m_background(QPixmap::fromImage(background))
        {
            auto* layout = new QHBoxLayout(this);
            layout->setContentsMargins(2, 2, 2, 2);
            layout->setSpacing(0);
            layout->addWidget(bar);
            layout->addStretch(1);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            if (m_background.isNull())
                p.fillRect(rect(), QColor(SysRgb(COLOR_BTNFACE)));
            else
                p.drawTiledPixmap(rect(), m_background);
        }

    private:
        // Converted once: the bands repaint with every hover over a bar button.
        QPixmap m_background;
    };

    // The container draws the etched line between band rows.
    class ReBarWidget : public QWidget {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            FillSolidRect(p, rect(), GetSysColor(COLOR_BTNFACE));
            const auto* box = static_cast<QVBoxLayout*>(layout());
            for (int i = 1; i < box->count(); ++i) {
                const QWidget* band = box->itemAt(i)->widget();
                if (!band)
                    continue;
                const int y = band->geometry().top() - 2;
                FillSolidRect(p, QRect(0, y, width(), 1), GetSysColor(COLOR_BTNSHADOW));
                FillSolidRect(p, QRect(0, y + 1, width(), 1), GetSysColor(COLOR_BTNHIGHLIGHT));
            }
        }
    };

} // namespace

CCommandReBar::CCommandReBar() = default;

CCommandReBar::~CCommandReBar() = default; // the frame owns the widgets

QImage CCommandReBar::CreateGradientBitmap(int width, int height, COLORREF topColor, COLORREF bottomColor)
{
    if (width < 1 || height < 1)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    auto channel = [height](int bottom, int top, int i) { return int(bottom + double(i) * (top - bottom) / height); };
    for (int i = 0; i < height; ++i) { // i counts rows from the bottom
        const QRgb c = qRgb(channel(GetRValue(bottomColor), GetRValue(topColor), i),
            channel(GetGValue(bottomColor), GetGValue(topColor), i),
            channel(GetBValue(bottomColor), GetBValue(topColor), i));
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - i));
        for (int x = 0; x < width; ++x)
            row[x] = c;
    }
    return image;
}

int CCommandReBar::MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (std::llabs(product) * 2 + std::llabs(c)) / (2 * std::llabs(c));
    return int(negative ? -magnitude : magnitude);
}

COLORREF CCommandReBar::BlendColors(COLORREF a, COLORREF b, float t)
{
    auto mix = [t](int ca, int cb) { return std::min(255, int((1.0f - t) * float(cb) + t * float(ca))); };
    return Rgb(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

QImage CCommandReBar::CreatePaletteGradientBitmap(
    COLORREF a, COLORREF b, int width, int height, int direction, int paletteSize)
{
    const int n = std::min(paletteSize, 256);
    if (n < 2 || width < 1 || height < 1 || direction < 0 || direction > 3)
        return {};
    std::vector<QRgb> palette(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        auto ch = [&](int ca, int cb) { return ca + MulDiv(cb - ca, k, n - 1); };
        palette[std::size_t(k)]
            = qRgb(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
    }
    const int h = n / 2;
    QImage image(width, height, QImage::Format_RGB32);
    for (int r = 0; r < height; ++r) { // r counts rows from the bottom
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - r));
        for (int c = 0; c < width; ++c) {
            int entry = 0;
            switch (direction) {
            case 0:
                entry = MulDiv(n, r, height);
                break;
            case 1:
                entry = MulDiv(h, r, height) + MulDiv(h - 1, c, width);
                break;
            case 2:
                entry = MulDiv(n, c, width);
                break;
            default:
                entry = h - 1 + MulDiv(h, r, height) + MulDiv(1 - h, c, width);
                break;
            }
            line[c] = palette[std::size_t(std::clamp(entry, 0, n - 1))];
        }
    }
    return image;
}

QImage CCommandReBar::CreateNoiseBitmap(int width, int height, COLORREF base, int /*spare*/, int mode)
{
    if (width < 1 || height < 1)
        return {};
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE),
                   light = GetSysColor(COLOR_BTNHIGHLIGHT);
    constexpr int kBlend = 55;
    constexpr int kNoise = 8;
    std::array<std::array<int, 3>, 256> palette {};
    auto channels = [](COLORREF c) { return std::array<int, 3> { GetRValue(c), GetGValue(c), GetBValue(c) }; };
    const auto s = channels(shadow), f = channels(face), l = channels(light), m = channels(base);
    for (int ch = 0; ch < 3; ++ch) {
        for (int k = 0; k <= 128; ++k)
            palette[std::size_t(k)][std::size_t(ch)] = (s[std::size_t(ch)] * (128 - k) + f[std::size_t(ch)] * k) / 128;
        for (int j = 0; j <= 127; ++j)
            palette[std::size_t(128 + j)][std::size_t(ch)]
                = (f[std::size_t(ch)] * (127 - j) + l[std::size_t(ch)] * (j + 1)) / 128;
        for (auto& entry : palette)
            entry[std::size_t(ch)] = (entry[std::size_t(ch)] * (100 - kBlend) + m[std::size_t(ch)] * kBlend) / 100;
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int r = 0; r < height; ++r) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - r));
        for (int x = 0; x < width; ++x) {
            int entry = mode == 2 ? 8 + 239 * r / height : 128 + CrtRand() / 2047 - kNoise;
            if (entry < 0 || entry > 255)
                entry = 0;
            std::array<int, 3> px = palette[std::size_t(entry)];
            if (mode == 2) {
                for (int ch : { 2, 1, 0 }) // blue, green, red: the order of the pixel's bytes
                    px[std::size_t(ch)] = (px[std::size_t(ch)] + CrtRand() / 2047 - kNoise) & 0xFF; // wraps
            }
            line[x] = qRgb(px[0], px[1], px[2]);
        }
    }
    return image;
}

bool CCommandReBar::FillThreeColorGradient(QImage& bitmap, bool horizontal, COLORREF a, COLORREF b, COLORREF c)
{
    if (bitmap.isNull() || bitmap.format() != QImage::Format_RGB888)
        return false;
    const int length = horizontal ? bitmap.width() : bitmap.height();
    if (length < 2)
        return false;
    const int m = length / 2;
    auto channel
        = [m](int ca, int cb, int cc, int i) { return i <= m ? ca + (cb - ca) * i / m : cb + (cc - cb) * (i - m) / m; };
    for (int i = 0; i < length; ++i) {
        const QRgb colour = qRgb(channel(GetRValue(a), GetRValue(b), GetRValue(c), i),
            channel(GetGValue(a), GetGValue(b), GetGValue(c), i), channel(GetBValue(a), GetBValue(b), GetBValue(c), i));
        if (horizontal) {
            for (int y = 0; y < bitmap.height(); ++y)
                bitmap.setPixel(i, y, colour);
        } else {
            for (int x = 0; x < bitmap.width(); ++x)
                bitmap.setPixel(x, bitmap.height() - 1 - i, colour);
        }
    }
    return true;
}

QWidget* CCommandReBar::Band(int index) const { return index == 0 || index == 1 ? m_bands[index] : nullptr; }

bool CCommandReBar::Create(QMainWindow* frame, int menuId, int toolbarId, COLORREF menuTop, COLORREF menuBottom,
    COLORREF toolbarTop, COLORREF toolbarBottom, int bandHeight, int /*spareId*/)
{
    if (!frame)
        return false;
    m_menuBandBitmap = CreateGradientBitmap(1, bandHeight, menuTop, menuBottom);
    m_toolBarBandBitmap = CreateGradientBitmap(1, bandHeight, toolbarTop, toolbarBottom);
    return CreateBars(frame, menuId, toolbarId);
}

bool CCommandReBar::CreateBars(QMainWindow* frame, int menuId, int toolbarId)
{
    if (!frame)
        return false;
    // Built apart and handed to the frame only when every bar loaded, so a
    // failure leaves nothing half-made behind.
    auto rebar = std::make_unique<ReBarWidget>();
    auto* rows = new QVBoxLayout(rebar.get());
    rows->setContentsMargins(0, 0, 0, 2);
    rows->setSpacing(2);
    CMenuBarCtrl* menuBar = nullptr;
    CTrueColorToolBar* toolBar = nullptr;
    QWidget* bands[2] = { nullptr, nullptr };
    if (menuId != 0) {
        menuBar = new CMenuBarCtrl(rebar.get());
        menuBar->SetActionProvider(m_provider);
        if (!menuBar->LoadMenu(menuId, 1))
            return false;
        if (toolbarId != 0)
            menuBar->LoadMenuImages(299);
        bands[0] = new ReBarBand(m_menuBandBitmap, menuBar, rebar.get());
        rows->addWidget(bands[0]);
    }
    if (toolbarId != 0) {
        toolBar = new CTrueColorToolBar(rebar.get());
        toolBar->SetActionProvider(m_provider);
        if (!toolBar->LoadTrueColorToolBar(toolbarId, 1))
            return false;
        bands[1] = new ReBarBand(m_toolBarBandBitmap, toolBar, rebar.get());
        rows->addWidget(bands[1]);
    }
    // From now on the menu exists only in the menu bar.
    m_rebar = rebar.release();
    frame->setMenuWidget(m_rebar);
    m_menuBar = menuBar;
    m_toolBar = toolBar;
    m_bMenuBarMade = menuBar != nullptr;
    m_bToolBarMade = toolBar != nullptr;
    m_bands[0] = bands[0];
    m_bands[1] = bands[1];
    return true;
}

bool CCommandReBar::ProcessFrameMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    return m_menuBar ? m_menuBar->ProcessFrameMessage(message, wParam, lParam) : true;
}

} // namespace ulv
