#include "ui/chrome/CCommandReBar.h"

#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QPainter>
#include <QVBoxLayout>
#include <memory>

namespace ulv {

namespace {

    // One band: its background picture tiled from the band's own origin, the bar
    // on top of it.
    class ReBarBand : public QWidget {
    public:
        ReBarBand(const QImage& background, QWidget* bar, QWidget* parent)
            : QWidget(parent)
            , m_background(background)
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
                p.drawTiledPixmap(rect(), QPixmap::fromImage(m_background));
        }

    private:
        QImage m_background;
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

} // namespace ulv
