#include "ui/chrome/CCommandReBar.h"

#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QPainter>
#include <QVBoxLayout>

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
    // From now on the menu exists only in the menu bar.
    if (QWidget* old = frame->menuWidget(); old && old != m_rebar)
        frame->setMenuWidget(nullptr);
    m_rebar = new ReBarWidget;
    auto* rows = new QVBoxLayout(m_rebar);
    rows->setContentsMargins(0, 0, 0, 2);
    rows->setSpacing(2);
    if (menuId != 0) {
        m_menuBar = new CMenuBarCtrl;
        m_menuBar->SetActionProvider(m_provider);
        if (!m_menuBar->LoadMenu(menuId, 1))
            return false;
        m_bMenuBarMade = true;
        if (toolbarId != 0)
            m_menuBar->LoadMenuImages(299);
        m_bands[0] = new ReBarBand(m_menuBandBitmap, m_menuBar, m_rebar);
        rows->addWidget(m_bands[0]);
    }
    if (toolbarId != 0) {
        m_toolBar = new CTrueColorToolBar;
        m_toolBar->SetActionProvider(m_provider);
        if (!m_toolBar->LoadTrueColorToolBar(toolbarId, 1))
            return false;
        m_bToolBarMade = true;
        m_bands[1] = new ReBarBand(m_toolBarBandBitmap, m_toolBar, m_rebar);
        rows->addWidget(m_bands[1]);
    }
    frame->setMenuWidget(m_rebar);
    return true;
}

} // namespace ulv
