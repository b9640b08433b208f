#include "ui/controls/CImageButton.h"

#include "platform/Gui.h"
#include "ui/controls/ControlResources.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include <algorithm>

namespace ulv {

namespace {

QImage WithTransparency(const QImage& src, COLORREF transparent)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorRefToRgb(transparent);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] | 0xFF000000u) == key && qAlpha(line[x]) == 255)
                line[x] = 0;
    }
    return img;
}

// Grey (level = 0.299 R + 0.587 G + 0.114 B) or 25 % darker copy; pixels of the
// key colour (or fully transparent ones) and black ones stay as they are.
QImage DerivedCopy(const QImage& src, int special, bool keyValid, COLORREF key)
{
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = ColorRefToRgb(key);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            if (qAlpha(px) == 0 || (keyValid && (px | 0xFF000000u) == keyRgb))
                continue;
            const int r = qRed(px), g = qGreen(px), b = qBlue(px);
            if (special == CImageButton::BTNST_AUTO_GRAY) {
                const int level = int(0.299 * r + 0.587 * g + 0.114 * b);
                line[x] = qRgba(level, level, level, qAlpha(px));
            } else {
                line[x] = qRgba(int(r - 0.25 * r), int(g - 0.25 * g), int(b - 0.25 * b), qAlpha(px));
            }
        }
    }
    return img;
}

} // namespace

CImageButton::CImageButton(QWidget* parent)
    : QPushButton(parent)
{
    Init();
}

CImageButton::CImageButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    Init();
}

CImageButton::~CImageButton() = default;

void CImageButton::Init()
{
    SetDefaultColors(false);
    setAttribute(Qt::WA_Hover, true);
    setMouseTracking(true);
    m_ticks = [] { return TickCount(); };
    connect(this, &QAbstractButton::clicked, this, &CImageButton::OnClicked);
}

void CImageButton::Repaint(bool repaint)
{
    if (repaint)
        update();
}

void CImageButton::FreeImages()
{
    m_iconIn = {};
    m_iconOut = {};
    m_bitmapIn = {};
    m_bitmapOut = {};
}

int CImageButton::SetIconImages(QImage in, QImage out, int special)
{
    FreeImages();
    if (in.isNull()) {
        update();
        return BTNST_OK;
    }
    m_iconIn.image = in.convertToFormat(QImage::Format_ARGB32);
    if (special == BTNST_AUTO_GRAY || special == BTNST_AUTO_DARKER) {
        // Black pixels stay black in both copies.
        QImage copy = DerivedCopy(m_iconIn.image, special, false, 0);
        for (int y = 0; y < copy.height(); ++y)
            for (int x = 0; x < copy.width(); ++x)
                if ((m_iconIn.image.pixel(x, y) & 0xFFFFFFu) == 0)
                    copy.setPixel(x, y, m_iconIn.image.pixel(x, y));
        m_iconOut.image = copy;
    } else if (!out.isNull()) {
        m_iconOut.image = out.convertToFormat(QImage::Format_ARGB32);
    }
    update();
    return BTNST_OK;
}

int CImageButton::SetIcon(int idIn, int idOut)
{
    const auto images = LoadResourceImages(LoadIconResource, {idIn, idOut});
    if (!images) {
        FreeImages();
        return BTNST_INVALIDRESOURCE;
    }
    return SetIconImages((*images)[0], (*images)[1], idOut);
}

int CImageButton::SetIcon(int idIn, int cxIn, int cyIn, int idOut, int cxOut, int cyOut)
{
    auto images = LoadResourceImages(LoadIconResource, {idIn, idOut});
    if (!images) {
        FreeImages();
        return BTNST_INVALIDRESOURCE;
    }
    auto sized = [](const QImage& img, int cx, int cy) {
        if (img.isNull() || (cx <= 0 && cy <= 0))
            return img;
        return img.scaled(cx > 0 ? cx : img.width(), cy > 0 ? cy : img.height(), Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
    };
    return SetIconImages(sized((*images)[0], cxIn, cyIn), sized((*images)[1], cxOut, cyOut), idOut);
}

int CImageButton::SetIcon(const QImage& in, const QImage& out)
{
    return SetIconImages(in, out, 0);
}

int CImageButton::SetIcon(const QImage& in, int special)
{
    return SetIconImages(in, QImage(), special);
}

int CImageButton::SetBitmapImages(QImage in, COLORREF crIn, QImage out, COLORREF crOut, int special)
{
    FreeImages();
    if (in.isNull()) {
        update();
        return BTNST_OK;
    }
    if (special == BTNST_AUTO_GRAY || special == BTNST_AUTO_DARKER) {
        out = DerivedCopy(in, special, true, crIn);
        crOut = crIn;
    }
    m_bitmapIn = {WithTransparency(in, crIn), crIn};
    if (!out.isNull())
        m_bitmapOut = {WithTransparency(out, crOut), crOut};
    update();
    return BTNST_OK;
}

int CImageButton::SetBitmaps(int idIn, COLORREF crTransIn, int idOut, COLORREF crTransOut)
{
    const auto images = LoadResourceImages(LoadBitmapResource, {idIn, idOut});
    if (!images) {
        FreeImages();
        return BTNST_INVALIDRESOURCE;
    }
    return SetBitmapImages((*images)[0], crTransIn, (*images)[1], crTransOut, idOut);
}

int CImageButton::SetBitmaps(const QImage& in, COLORREF crTransIn, const QImage& out, COLORREF crTransOut)
{
    return SetBitmapImages(in, crTransIn, out, crTransOut, 0);
}

int CImageButton::SetBitmaps(const QImage& in, COLORREF crTransIn, int special)
{
    return SetBitmapImages(in, crTransIn, QImage(), 0, special);
}

int CImageButton::SetFlat(bool flat, bool repaint)
{
    m_bIsFlat = flat;
    if (!flat)
        m_bMouseOnButton = false;
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetAlign(int align, bool repaint)
{
    if (align < ST_ALIGN_HORIZ || align > ST_ALIGN_OVERLAP)
        return BTNST_INVALIDALIGN;
    m_byAlign = align;
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetPressedStyle(int style, bool repaint)
{
    switch (style) {
    case 0:
        m_ptPressedShift = {1, 1};
        break;
    case 1:
        m_ptPressedShift = {0, 2};
        break;
    default:
        return BTNST_INVALIDPRESSEDSTYLE;
    }
    Repaint(repaint);
    return BTNST_OK;
}

void CImageButton::SetPressedShift(int x, int y)
{
    m_ptPressedShift = {x, y};
}

void CImageButton::SetCheckBoxMode(bool on)
{
    m_bIsCheckBox = on;
    setCheckable(on);
}

int CImageButton::SetCheck(bool checked, bool repaint)
{
    if (m_bIsCheckBox) {
        setChecked(checked);
        Repaint(repaint);
    }
    return BTNST_OK;
}

bool CImageButton::GetCheck() const
{
    return m_bIsCheckBox && isChecked();
}

int CImageButton::SetDefaultColors(bool repaint)
{
    m_crColors[BTNST_COLOR_BK_IN] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_IN] = GetSysColor(COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_OUT] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_OUT] = GetSysColor(COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_FOCUS] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_FOCUS] = GetSysColor(COLOR_BTNTEXT);
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetColor(int index, COLORREF color, bool repaint)
{
    if (index < 0 || index >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[size_t(index)] = color;
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::GetColor(int index, COLORREF* color) const
{
    if (index < 0 || index >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (color)
        *color = m_crColors[size_t(index)];
    return BTNST_OK;
}

int CImageButton::SetTextColors(COLORREF color, bool repaint)
{
    // Workers report progress through button captions: the change must land on
    // the UI thread, never race a paint.
    auto apply = [self = QPointer<CImageButton>(this), color, repaint] {
        if (!self)
            return;
        self->m_crColors[BTNST_COLOR_FG_IN] = color;
        self->m_crColors[BTNST_COLOR_FG_OUT] = color;
        self->m_crColors[BTNST_COLOR_FG_FOCUS] = color;
        self->Repaint(repaint);
    };
    if (Gui::IsUiThread())
        apply();
    else
        Gui::Post(apply);
    return BTNST_OK;
}

int CImageButton::ShiftColor(int index, int amount, bool repaint)
{
    if (index < 0 || index >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (amount < -255 || amount > 255)
        return BTNST_BADPARAM;
    COLORREF& c = m_crColors[size_t(index)];
    const int ch[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    // The same shift for all three channels, limited so none leaves 0..255.
    int applied = amount;
    for (int v : ch)
        applied = amount < 0 ? std::max(applied, -v) : std::min(applied, 255 - v);
    c = Rgb(ch[0] + applied, ch[1] + applied, ch[2] + applied);
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetAlwaysTrack(bool on)
{
    m_bAlwaysTrack = on;
    return BTNST_OK;
}

int CImageButton::SetBorder(bool on, bool repaint)
{
    m_bDrawBorder = on;
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetFlatFocus(bool on, bool repaint)
{
    m_bDrawFlatFocus = on;
    Repaint(repaint);
    return BTNST_OK;
}

void CImageButton::SetTooltipText(const QString& text, bool activate)
{
    if (text.isNull())
        return;
    m_tooltipText = text;
    ActivateTooltip(activate);
}

void CImageButton::SetTooltipText(int stringId, bool activate)
{
    const QString text = LoadStringResource(stringId);
    if (!text.isEmpty())
        SetTooltipText(text, activate);
}

int CImageButton::EnableBalloonTooltip()
{
    m_balloonTooltip = true;
    return BTNST_OK;
}

int CImageButton::ActivateTooltip(bool activate)
{
    if (m_tooltipText.isNull())
        return 0;
    m_tooltipActive = activate;
    setToolTip(activate ? m_tooltipText : QString());
    return 1;
}

int CImageButton::SetButtonCursor(int cursorId, bool repaint)
{
    if (cursorId == 0) {
        unsetCursor();
        return BTNST_OK;
    }
    ResourceStatus st = ResourceStatus::Missing;
    const QImage img = LoadIconResource(cursorId, &st);
    if (img.isNull())
        return BTNST_INVALIDRESOURCE;
    setCursor(QCursor(QPixmap::fromImage(img), 0, 0));
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetTransparent(bool repaint)
{
    m_bTransparent = true;
    m_background = QPixmap();
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::CaptureBackground(const QImage* parentBackground)
{
    if (!m_bTransparent || !parentBackground || parentBackground->isNull())
        return BTNST_BADPARAM;
    m_background = QPixmap::fromImage(parentBackground->copy(geometry()));
    return BTNST_OK;
}

int CImageButton::SetUrl(const QString& url)
{
    m_url = url.left(259);
    return BTNST_OK;
}

int CImageButton::SizeToImage()
{
    QSize size;
    if (!m_iconIn.image.isNull())
        size = m_iconIn.image.size();
    else if (!m_bitmapIn.image.isNull())
        size = m_bitmapIn.image.size();
    else
        return 0;
    m_ptImageOrg = {0, 0};
    resize(size);
    return 1;
}

int CImageButton::SetSound(const QString& sound, bool click, bool async)
{
    (click ? m_clickSound : m_hoverSound) = sound.left(259);
    (click ? m_clickAsync : m_hoverAsync) = async;
    return BTNST_OK;
}

int CImageButton::SetSound(int resourceId, bool click, bool async)
{
    return SetSound(resourceId > 0 ? SoundResourcePath(resourceId) : QString(), click, async);
}

void CImageButton::SetTickSource(std::function<std::uint32_t()> ticks)
{
    m_ticks = ticks ? std::move(ticks) : std::function<std::uint32_t()>([] { return TickCount(); });
}

void CImageButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    if (!m_bIsFlat || m_bMouseOnButton)
        return;
    // A drag that enters with the button held does not light the button.
    if (QApplication::mouseButtons() & Qt::LeftButton)
        return;
    if (!m_bAlwaysTrack && !QApplication::activeWindow())
        return;
    m_bMouseOnButton = true;
    update();
    if (!m_hoverSound.isEmpty())
        PlaySoundFile(m_hoverSound, m_hoverAsync);
}

void CImageButton::LeaveHover()
{
    if (!m_bIsFlat || !m_bMouseOnButton)
        return;
    m_bMouseOnButton = false;
    update();
}

void CImageButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    LeaveHover();
}

void CImageButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    LeaveHover();
}

void CImageButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        LeaveHover();
    else if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        // Always-track only lets an inactive window's button light up; once
        // its window loses the activation no leave event may ever come.
        LeaveHover();
}

void CImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dwPressDownTick = m_ticks();
    QPushButton::mousePressEvent(event);
}

void CImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dwPressUpTick = m_ticks();
    QPushButton::mouseReleaseEvent(event);
}

void CImageButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    if (m_bTransparent && !m_background.isNull() && m_background.size() != size())
        m_background = QPixmap();
}

void CImageButton::OnClicked()
{
    setFocus(Qt::MouseFocusReason);
    if (!m_clickSound.isEmpty())
        PlaySoundFile(m_clickSound, m_clickAsync);
    if (m_bIsCheckBox) {
        update();
        return;
    }
    if (HasMenu()) {
        TrackMenu();
        return;
    }
    if (!m_url.isEmpty()) {
        if (isSignalConnected(QMetaMethod::fromSignal(&CImageButton::UrlRequested)))
            Q_EMIT UrlRequested(m_url);
        else
            QDesktopServices::openUrl(QUrl::fromUserInput(m_url));
    }
}

int CImageButton::SetMenu(int menuId, QWidget* owner, int drawStyle, int toolbarId, int imageWidth,
    int imageHeight, COLORREF imageBackground, bool repaint)
{
    if (HasMenu()) {
        m_menuPopup.DestroyMenu();
        m_menuOwner = nullptr;
        m_bMenuDisplayed = false;
    }
    if (menuId != 0) {
        VTMenu::s_drawStyleThemed = drawStyle;
        VTMenu::s_drawStyleClassic = drawStyle;
        if (!m_menuPopup.LoadMenu(menuId))
            return BTNST_INVALIDRESOURCE;
        if (toolbarId != 0) {
            m_menuPopup.SetImageBackground(imageBackground);
            m_menuPopup.SetIconSize(imageWidth, imageHeight);
            if (!m_menuPopup.LoadToolbarImages(toolbarId)) {
                m_menuPopup.DestroyMenu();
                return BTNST_INVALIDRESOURCE;
            }
        }
        m_menuOwner = owner;
    }
    Repaint(repaint);
    return BTNST_OK;
}

int CImageButton::SetMenuCallback(QWidget* window, UINT message, LPARAM lParam)
{
    m_callbackWindow = window;
    m_callbackMessage = message;
    m_callbackLParam = lParam;
    return BTNST_OK;
}

void CImageButton::TrackMenu()
{
    HMENU popup = m_menuPopup.GetSubMenu(0);
    if (!popup)
        return;
    m_bMenuDisplayed = true;
    repaint();
    if (m_callbackWindow)
        SendMessage(m_callbackWindow, m_callbackMessage, WPARAM(reinterpret_cast<std::uintptr_t>(popup)),
            m_callbackLParam);
    QPointer<CImageButton> self(this);
    const QPoint at = mapToGlobal(rect().bottomLeft() + QPoint(0, 1));
    const UINT id = TrackPopupMenuEx(
        popup, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x(), at.y(), this);
    if (!self)
        return;
    m_bMenuDisplayed = false;
    repaint();
    if (id != 0 && m_menuOwner)
        PostMessage(m_menuOwner, WM_COMMAND, id, 0);
}

bool CImageButton::event(QEvent* e)
{
    if (e->type() == WinMessageEvent::EventType()) {
        auto* msg = static_cast<WinMessageEvent*>(e);
        if (msg->message == WM_MEASUREITEM) {
            auto* mis = MessagePointer<MEASUREITEMSTRUCT>(msg->lParam);
            if (mis && mis->CtlType == ODT_MENU && HasMenu()) {
                m_menuPopup.MeasureItem(mis);
                msg->result = 1;
                return true;
            }
        } else if (msg->message == WM_MENUCHAR) {
            auto* menu = MessagePointer<QMenu>(msg->lParam);
            if (VTMenu::IsOwnSubMenu(menu)) {
                msg->result = VTMenu::MatchMenuChar(LoWord(msg->wParam), HiWord(msg->wParam), menu);
                return true;
            }
        }
        return false;
    }
    return QPushButton::event(e);
}

void CImageButton::PaintParentBackground(QPainter& p)
{
    if (m_background.isNull()) {
        QPixmap pm(size());
        pm.fill(palette().color(QPalette::Window));
        if (QWidget* parent = parentWidget()) {
            QPainter pp(&pm);
            // Only the parent's own pixels: siblings (and this button) are left out.
            parent->render(&pp, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        }
        m_background = pm;
    }
    p.drawPixmap(0, 0, m_background);
}

void CImageButton::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    const QRect item = rect();
    m_bIsPressed = m_bIsCheckBox ? (isDown() || isChecked()) : (isDown() || m_bMenuDisplayed);
    m_bIsFocused = hasFocus();
    m_bIsDisabled = !isEnabled();

    if (m_bTransparent)
        PaintParentBackground(p);
    else
        DrawBackground(p, item);
    DrawBorder(p, item);

    QRect caption = item;
    const QString title = text();
    if (!m_iconIn.image.isNull())
        DrawIcon(p, !title.isEmpty(), item, caption, m_bIsPressed, m_bIsDisabled);
    if (!m_bitmapIn.image.isNull())
        DrawBitmap(p, !title.isEmpty(), item, caption, m_bIsPressed, m_bIsDisabled);
    if (!title.isEmpty())
        DrawCaption(p, caption, title);
    if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus))
        DrawFocusRect(p, item.adjusted(3, 3, -3, -3));
}

QRect CImageButton::CaptionRect() const
{
    QRect caption = rect();
    const bool hasTitle = !text().isEmpty();
    for (const Image* img : {&m_iconIn, &m_bitmapIn})
        if (!img->image.isNull())
            PrepareImageRect(hasTitle, rect(), caption, false, img->image.width(), img->image.height());
    return caption;
}

void CImageButton::DrawBackground(QPainter& p, QRect item)
{
    if (!m_bIsFlat && (m_bIsFocused || isDefault())) {
        Draw3dRect(p, item, 0, 0);
        item.adjust(1, 1, -1, -1);
    }
    COLORREF color = m_crColors[BTNST_COLOR_BK_OUT];
    if (m_bMouseOnButton || m_bIsPressed)
        color = m_crColors[BTNST_COLOR_BK_IN];
    else if (m_bIsFocused)
        color = m_crColors[BTNST_COLOR_BK_FOCUS];
    FillSolidRect(p, item, color);
}

void CImageButton::DrawBorder(QPainter& p, const QRect& item)
{
    if (m_bIsPressed) {
        if (!m_bIsFlat) {
            const COLORREF sh = GetSysColor(COLOR_BTNSHADOW);
            Draw3dRect(p, item, sh, sh);
        } else if (m_bDrawBorder) {
            Draw3dRect(p, item, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        return;
    }
    if (!m_bIsFlat) {
        Draw3dRect(p, item, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        Draw3dRect(p, item.adjusted(1, 1, -1, -1), GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
    } else if (m_bMouseOnButton && m_bDrawBorder) {
        Draw3dRect(p, item, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
}

QRect CImageButton::PrepareImageRect(bool hasTitle, const QRect& item, QRect& caption, bool pressed, int w,
                                     int h) const
{
    // Windows-style edges: right and bottom are exclusive.
    int l = item.left(), t = item.top(), r = item.left() + item.width(), b = item.top() + item.height();
    int x = l, y = t;
    auto centreBoth = [&] {
        x = l + (r - l - w) / 2;
        y = t + (b - t - h) / 2;
    };
    switch (m_byAlign) {
    case ST_ALIGN_HORIZ:
        if (!hasTitle) {
            centreBoth();
        } else {
            x = l + m_ptImageOrg.x();
            caption.setLeft(caption.left() + w + m_ptImageOrg.x());
            y = t + (b - t - h) / 2;
        }
        break;
    case ST_ALIGN_VERT:
        if (!hasTitle) {
            centreBoth();
        } else {
            x = l + (r - l - w) / 2;
            y = t + m_ptImageOrg.y();
            caption.setTop(caption.top() + h);
        }
        break;
    case ST_ALIGN_HORIZ_RIGHT:
        if (!hasTitle) {
            x = l + (r - l - w) / 2;
        } else {
            const int capRight = caption.left() + caption.width();
            const int newRight = capRight - (caption.left() + m_ptImageOrg.x() + w);
            caption.setLeft(m_ptImageOrg.x());
            caption.setWidth(std::max(0, newRight - caption.left()));
            x = r - m_ptImageOrg.x() - w;
            y = t + (b - t - h) / 2;
        }
        break;
    default:
        break;
    }
    if (pressed && !m_bIsCheckBox) {
        x += m_ptPressedShift.x();
        y += m_ptPressedShift.y();
    }
    return QRect(x, y, w, h);
}

void CImageButton::DrawIcon(QPainter& p, bool hasTitle, const QRect& item, QRect& caption, bool pressed,
                            bool disabled)
{
    const bool useIn = m_bIsCheckBox ? pressed : (pressed || m_bMouseOnButton);
    const QImage& img = (useIn || m_iconOut.image.isNull()) ? m_iconIn.image : m_iconOut.image;
    const QRect at = PrepareImageRect(hasTitle, item, caption, pressed, img.width(), img.height());
    if (disabled)
        DrawDisabledImage(p, at.topLeft(), img);
    else
        p.drawImage(at.topLeft(), img);
}

void CImageButton::DrawBitmap(QPainter& p, bool hasTitle, const QRect& item, QRect& caption, bool pressed,
                              bool disabled)
{
    const bool useIn = m_bIsCheckBox ? pressed : (pressed || m_bMouseOnButton);
    const QImage& img = (useIn || m_bitmapOut.image.isNull()) ? m_bitmapIn.image : m_bitmapOut.image;
    const QRect at = PrepareImageRect(hasTitle, item, caption, pressed, img.width(), img.height());
    if (disabled && m_bShowDisabledBitmap) {
        QImage scratch(img.size(), QImage::Format_ARGB32);
        scratch.fill(Qt::white);
        {
            QPainter sp(&scratch);
            sp.drawImage(0, 0, img);
        }
        DrawDisabledImage(p, at.topLeft(), scratch);
    } else {
        p.drawImage(at.topLeft(), img);
    }
}

void CImageButton::DrawCaption(QPainter& p, QRect caption, const QString& text)
{
    if (m_bIsPressed && !m_bIsCheckBox)
        caption.translate(m_ptPressedShift);
    p.save();
    p.setFont(font());
    const int measureFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;
    QRect block = p.fontMetrics().boundingRect(QRect(0, 0, std::max(1, caption.width()), 100000),
                                                 measureFlags, text);
    const int dx = m_bTextLeftAligned ? 0 : (caption.width() - block.width()) / 2;
    const int dy = (caption.height() - block.height()) / 2;
    block.moveTo(caption.left() + dx, caption.top() + dy);
    if (m_bIsDisabled) {
        DrawEmbossedText(p, block, measureFlags, text);
    } else {
        COLORREF fg = m_crColors[BTNST_COLOR_FG_OUT];
        if (m_bMouseOnButton || m_bIsPressed)
            fg = m_crColors[BTNST_COLOR_FG_IN];
        else if (m_bIsFocused)
            fg = m_crColors[BTNST_COLOR_FG_FOCUS];
        p.setPen(ColorRefToQColor(fg));
        p.drawText(block, measureFlags, text);
    }
    p.restore();
}

} // namespace ulv
