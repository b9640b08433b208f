#pragma once

#include "ui/chrome/VTMenu.h"
#include "ui/controls/WinLook.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace ulv {

// Owner-drawn push button: an icon and/or a bitmap pair (hover/pressed and
// normal), a word-wrapped caption in six state colours, a flat look with hover
// tracking, and optionally the parent's pixels as its background.
class CImageButton : public QPushButton {
    Q_OBJECT
public:
    // Result codes of the setters.
    enum Result {
        BTNST_OK = 0,
        BTNST_INVALIDRESOURCE = 1,
        BTNST_FAILEDMASK = 2,
        BTNST_INVALIDINDEX = 3,
        BTNST_INVALIDALIGN = 4,
        BTNST_BADPARAM = 5,
        BTNST_INVALIDPRESSEDSTYLE = 6,
    };
    // Colour indexes.
    enum ColorIndex {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN = 1,
        BTNST_COLOR_BK_OUT = 2,
        BTNST_COLOR_FG_OUT = 3,
        BTNST_COLOR_BK_FOCUS = 4,
        BTNST_COLOR_FG_FOCUS = 5,
        BTNST_MAX_COLORS = 6,
    };
    // Image placements.
    enum Align { ST_ALIGN_HORIZ = 0, ST_ALIGN_VERT = 1, ST_ALIGN_HORIZ_RIGHT = 2, ST_ALIGN_OVERLAP = 3 };
    // Special "normal image" arguments: a grey or a 25 % darker copy of the first.
    static constexpr int BTNST_AUTO_GRAY = -2;
    static constexpr int BTNST_AUTO_DARKER = -3;

    explicit CImageButton(QWidget* parent = nullptr);
    explicit CImageButton(const QString& text, QWidget* parent = nullptr);
    ~CImageButton() override;

    // Icons: id N is ":/icons/N.png"; normal id 0 none, -2 grey, -3 darker.
    int SetIcon(int idIn, int idOut = 0);
    int SetIcon(const QImage& in, const QImage& out = QImage());
    int SetIcon(const QImage& in, int special);
    // With explicit load sizes (0 keeps the picture's own size).
    int SetIcon(int idIn, int cxIn, int cyIn, int idOut = 0, int cxOut = 0, int cyOut = 0);
    // Bitmaps: id N is ":/bitmaps/N.png"; pixels of the transparent colour
    // are not drawn.
    int SetBitmaps(int idIn, COLORREF crTransIn, int idOut = 0, COLORREF crTransOut = 0);
    int SetBitmaps(const QImage& in, COLORREF crTransIn, const QImage& out = QImage(),
                   COLORREF crTransOut = 0);
    int SetBitmaps(const QImage& in, COLORREF crTransIn, int special);

    int SetFlat(bool flat, bool repaint = true);
    int SetAlign(int align, bool repaint = true);
    int SetPressedStyle(int style, bool repaint = true);
    void SetPressedShift(int x, int y);
    int SetCheck(bool checked, bool repaint = true);
    bool GetCheck() const;
    // The check-box variant: a click toggles the checked state.
    void SetCheckBoxMode(bool on);
    bool IsCheckBoxMode() const { return m_bIsCheckBox; }

    int SetDefaultColors(bool repaint = true);
    int SetColor(int index, COLORREF color, bool repaint = true);
    int GetColor(int index, COLORREF* color) const;
    // Caption colour of the hovered, normal and focused states; safe to call
    // from any thread (the change is queued to the UI thread).
    int SetTextColors(COLORREF color, bool repaint = true);
    int ShiftColor(int index, int amount, bool repaint = true);

    int SetAlwaysTrack(bool on);
    int SetBorder(bool on, bool repaint = true);
    int SetFlatFocus(bool on, bool repaint = true);
    void SetTextLeftAligned(bool on) { m_bTextLeftAligned = on; }
    void SetShowDisabledBitmap(bool on) { m_bShowDisabledBitmap = on; }

    void SetTooltipText(const QString& text, bool activate = true);
    // The text of string-table entry id; nothing when it is empty.
    void SetTooltipText(int stringId, bool activate = true);
    // Tooltips created from now on are balloons.
    int EnableBalloonTooltip();
    bool IsBalloonTooltip() const { return m_balloonTooltip; }
    bool GetDefault() const { return isDefault(); }
    // The room the caption is drawn in, right of (or under) the images, as
    // the normal state paints it.
    QRect CaptionRect() const;
    int ActivateTooltip(bool activate = true);
    int SetButtonCursor(int cursorId, bool repaint = false);

    int SetTransparent(bool repaint = true);
    // The parent's composed background, in the parent's client coordinates.
    int CaptureBackground(const QImage* parentBackground);

    int SetUrl(const QString& url);
    int SizeToImage();

    // A file name, or a Qt resource path (":/sounds/337.wav"); empty clears.
    int SetSound(const QString& sound, bool click, bool async = true);
    int SetSound(int resourceId, bool click, bool async = true);

    // Milliseconds between the last left button press and release.
    std::uint32_t GetPressDuration() const { return m_dwPressUpTick - m_dwPressDownTick; }
    // The clock GetPressDuration reads; tests replace it.
    void SetTickSource(std::function<std::uint32_t()> ticks);

    // A popup menu under the button: the menu of a menu id (0 removes it), its
    // commands posted to the owner as WM_COMMAND, pictures from a toolbar (0
    // none) of the given picture size and background. BTNST_OK, or
    // BTNST_INVALIDRESOURCE when the menu or its pictures cannot be loaded.
    int SetMenu(int menuId, QWidget* owner, int drawStyle = 1, int toolbarId = 0, int imageWidth = 16,
        int imageHeight = 15, COLORREF imageBackground = Rgb(192, 192, 192), bool repaint = true);
    // Sent with the popup (wParam) and the value just before the menu opens.
    int SetMenuCallback(QWidget* window, UINT message, LPARAM lParam);
    bool HasMenu() const { return m_menuPopup.GetSafeHmenu() != nullptr; }
    bool IsMenuShown() const { return m_bMenuDisplayed; }
    VTMenu& PopupMenu() { return m_menuPopup; }

    bool IsHovered() const { return m_bMouseOnButton; }
    bool IsTransparent() const { return m_bTransparent; }

Q_SIGNALS:
    // A click with a URL set: opened with QDesktopServices unless something
    // is connected here.
    void UrlRequested(const QString& url);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Drawing steps, in the order a paint runs them.
    virtual void DrawBackground(QPainter& p, QRect item);
    virtual void DrawBorder(QPainter& p, const QRect& item);
    virtual void DrawIcon(QPainter& p, bool hasTitle, const QRect& item, QRect& caption, bool pressed,
                          bool disabled);
    virtual void DrawBitmap(QPainter& p, bool hasTitle, const QRect& item, QRect& caption, bool pressed,
                            bool disabled);
    virtual void DrawCaption(QPainter& p, QRect caption, const QString& text);

    // The tick count of the clock GetPressDuration reads.
    std::uint32_t NowTicks() const { return m_ticks(); }

    // State of the paint in progress.
    bool m_bIsPressed = false;
    bool m_bIsFocused = false;
    bool m_bIsDisabled = false;
    bool m_bMouseOnButton = false;
    bool m_bIsFlat = true;
    bool m_bIsCheckBox = false;
    QPoint m_ptPressedShift{1, 1};
    std::array<COLORREF, BTNST_MAX_COLORS> m_crColors{};

private:
    struct Image {
        QImage image;
        COLORREF transparent = 0;
    };
    void Init();
    void FreeImages();
    void LeaveHover();
    void Repaint(bool repaint);
    QRect PrepareImageRect(bool hasTitle, const QRect& item, QRect& caption, bool pressed, int w,
                           int h) const;
    void PaintParentBackground(QPainter& p);
    void OnClicked();
    int SetIconImages(QImage in, QImage out, int special);
    bool m_balloonTooltip = false;
    int SetBitmapImages(QImage in, COLORREF crIn, QImage out, COLORREF crOut, int special);

    bool m_bTextLeftAligned = false;
    bool m_bShowDisabledBitmap = true;
    QPoint m_ptImageOrg{3, 3};
    bool m_bTransparent = false;
    int m_byAlign = ST_ALIGN_HORIZ;
    bool m_bDrawBorder = true;
    bool m_bDrawFlatFocus = false;
    bool m_bAlwaysTrack = true;
    QString m_tooltipText;
    bool m_tooltipActive = false;
    QPixmap m_background;
    QString m_url;
    Image m_iconIn, m_iconOut;
    Image m_bitmapIn, m_bitmapOut;
    QString m_hoverSound, m_clickSound;
    bool m_hoverAsync = true, m_clickAsync = true;
    std::uint32_t m_dwPressDownTick = 0;
    std::uint32_t m_dwPressUpTick = 0;
    std::function<std::uint32_t()> m_ticks;
    QPointer<QWidget> m_menuOwner;
    bool m_bMenuDisplayed = false;
    VTMenu m_menuPopup;
    QPointer<QWidget> m_callbackWindow;
    UINT m_callbackMessage = 0;
    LPARAM m_callbackLParam = 0;

    void TrackMenu();
};

} // namespace ulv
