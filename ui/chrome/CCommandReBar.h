#pragma once

#include "ui/controls/WinLook.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QMainWindow;
class QAction;

namespace ulv {

class CMenuBarCtrl;
class CTrueColorToolBar;

// The band container at the top of the main window: the menu bar on one band
// and the main toolbar on the band below, each band painted with a tiled
// one-pixel-wide gradient.
class CCommandReBar {
public:
    using ActionProvider = std::function<QAction*(unsigned id, const QString& text)>;

    CCommandReBar();
    virtual ~CCommandReBar();
    CCommandReBar(const CCommandReBar&) = delete;
    CCommandReBar& operator=(const CCommandReBar&) = delete;

    // Shares the frame's command actions with the menu bar and the toolbar;
    // call before Create.
    void SetActionProvider(ActionProvider provider) { m_provider = std::move(provider); }

    // Replaces the frame's menu bar by the rebar; false for a null frame or
    // when a bar cannot be built. A menu or toolbar id of 0 leaves that bar out.
    bool Create(QMainWindow* frame, int menuId, int toolbarId, COLORREF menuTop, COLORREF menuBottom,
        COLORREF toolbarTop, COLORREF toolbarBottom, int bandHeight, int spareId);

    // A band background: width x height, rows from bottomColor at the bottom
    // towards topColor at the top (the top row stops one step short).
    static QImage CreateGradientBitmap(int width, int height, COLORREF topColor, COLORREF bottomColor);

    // Other band backgrounds the class offers (the main window uses none):
    // channel-wise (1 - t) * b + t * a, truncated and capped at 255.
    static COLORREF BlendColors(COLORREF a, COLORREF b, float t);
    // A 32-bit image filled from an n-entry palette running from a to b:
    // direction 0 upwards, 1 towards the top right, 2 rightwards, 3 towards the
    // top left. Null for fewer than 2 entries or another direction.
    static QImage CreatePaletteGradientBitmap(
        COLORREF a, COLORREF b, int width, int height, int direction, int paletteSize);
    // A one-pixel-wide band of button-face noise blended with a base colour:
    // mode 2 a noisy shadow-to-highlight ramp, any other mode noise around the face.
    static QImage CreateNoiseBitmap(int width, int height, COLORREF base, int spare, int mode);
    // Paints a -> b -> c across a 24-bit image in place, by rows from the
    // bottom (horizontal false) or by columns from the left; false for another
    // format or fewer than 2 pixels in that direction.
    static bool FillThreeColorGradient(QImage& bitmap, bool horizontal, COLORREF a, COLORREF b, COLORREF c);
    // The platform's MulDiv: a * b / c rounded to the nearest, halves away from 0; -1 for c 0.
    static int MulDiv(int a, int b, int c);

    CMenuBarCtrl* MenuBar() const { return m_menuBar; }
    // Hands a frame message to the menu bar; true without one.
    bool ProcessFrameMessage(unsigned message, quintptr wParam, qintptr lParam);
    CTrueColorToolBar* ToolBar() const { return m_toolBar; }
    QWidget* ReBar() const { return m_rebar; }
    // The band widgets (menu band 0, toolbar band 1); null when absent.
    QWidget* Band(int index) const;

private:
    bool CreateBars(QMainWindow* frame, int menuId, int toolbarId);

    ActionProvider m_provider;
    CTrueColorToolBar* m_toolBar = nullptr;
    CMenuBarCtrl* m_menuBar = nullptr;
    bool m_bMenuBarMade = false;
    bool m_bToolBarMade = false;
    QImage m_menuBandBitmap;
    QImage m_toolBarBandBitmap;
    QWidget* m_rebar = nullptr;
    QWidget* m_bands[2] = { nullptr, nullptr };
};

} // namespace ulv
