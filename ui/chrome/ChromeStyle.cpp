#include "ui/chrome/ChromeStyle.h"

#include "ui/chrome/CToolBarImageSet.h"
#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace ulv {

namespace {

    QStyle* MakeBaseStyle()
    {
        // A fresh base of our own: the proxy owns it, and a base shared with the
        // application would be deleted with the first chrome widget.
        QStyle* base = QStyleFactory::create(QStringLiteral("Fusion"));
        return base;
    }

    QString StripMnemonic(QString text)
    {
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('&'))
                text.remove(i, 1); // "&&" leaves one '&' and skips it
        }
        return text;
    }

} // namespace

ChromeStyle::ChromeStyle(QObject* parent)
    : QProxyStyle(MakeBaseStyle())
{
    setParent(parent);
}

void ChromeStyle::SetPictures(const CToolBarImageSet* images, std::function<int(unsigned)> pictureIndex)
{
    m_images = images;
    m_pictureIndex = std::move(pictureIndex);
}

void ChromeStyle::SetItemFont(const QFont& font)
{
    m_itemFont = font;
    m_hasItemFont = true;
}

void ChromeStyle::DrawButtonBackground(QPainter& p, const QRect& r, bool hot, bool pressed)
{
    const QColor black(Qt::black);
    if (hot) {
        p.fillRect(r, black);
        FillSolidRect(p, r.adjusted(1, 1, -1, -1), kHotButtonFill);
    } else if (pressed) {
        // Open at the bottom, so the button joins the popup below.
        FillSolidRect(p, r, kHotButtonFill);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), black);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), black);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), black);
    } else {
        FillSolidRect(p, r, GetSysColor(COLOR_SCROLLBAR));
    }
}

void ChromeStyle::DrawItemBackground(QPainter& p, const QRect& r, bool selected)
{
    if (selected) {
        p.fillRect(r, Qt::black);
        FillSolidRect(p, r.adjusted(1, 1, -1, -1), kSelectedFill);
        return;
    }
    FillSolidRect(p, QRect(r.left(), r.top(), kPictureColumnWidth, r.height()), kPictureColumn);
    FillSolidRect(p, QRect(r.left() + kPictureColumnWidth, r.top(), r.width() - kPictureColumnWidth, r.height()),
        kItemBackground);
}

void ChromeStyle::DrawSeparator(QPainter& p, const QRect& r)
{
    DrawItemBackground(p, r, false);
    const int mid = r.top() + r.height() / 2;
    const int left = r.left() + 26;
    const int width = r.right() + 1 - left;
    FillSolidRect(p, QRect(left, mid - 1, width, 1), kSeparatorUpper);
    FillSolidRect(p, QRect(left, mid, width, 1), kSeparatorLower);
}

void ChromeStyle::DrawCheckMark(QPainter& p, const QRect& r, bool /*selected*/, bool disabled, bool checked)
{
    if (!checked)
        return;
    const QRect box = QRect(r.left(), r.top(), r.height(), r.height()).adjusted(3, 3, -3, -3);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF frame = disabled ? Rgb(std::max(0, GetRValue(face) - 0x20), std::max(0, GetGValue(face) - 0x20),
                               std::max(0, GetBValue(face) - 0x20))
                                    : kCheckFrame;
    Draw3dRect(p, box, frame, frame);
    const QRect inner = box.adjusted(3, 3, -3, -3);
    const QColor mark = ColorRefToQColor(disabled ? kCheckMarkDisabled : kCheckMark);
    static constexpr int kStart[7] = { 2, 3, 4, 3, 2, 1, 0 };
    for (int i = 0; i < 7; ++i)
        p.fillRect(QRect(inner.left() + i, inner.top() + kStart[i], 1, 3), mark);
}

void ChromeStyle::DrawPopupItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item)
        return;
    QPainter& p = *painter;
    const QRect r = option->rect;
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        DrawSeparator(p, r);
        return;
    }
    const bool selected = option->state & State_Selected;
    const bool disabled = !(option->state & State_Enabled);
    int picture = -1;
    if (const auto* menu = qobject_cast<const QMenu*>(widget); menu && m_pictureIndex) {
        if (const QAction* action = menu->actionAt(r.center()))
            picture = m_pictureIndex(action->data().toUInt());
    }
    DrawItemBackground(p, r, selected);
    DrawCheckMark(p, r, selected, disabled, item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked);
    if (picture >= 0 && m_images) {
        const int state = disabled ? 2 : (selected ? 1 : 0);
        const int shift = selected ? 1 : 0;
        m_images->Draw(p, r.left() + 2 + shift, r.top() + (r.height() - 22) / 2 + shift, state, picture);
    }
    const QString label = item->text.section(QLatin1Char('\t'), 0, 0);
    const QString accel = item->text.contains(QLatin1Char('\t')) ? item->text.section(QLatin1Char('\t'), 1) : QString();
    const QRect textRect(r.left() + 28, r.top(), r.width() - 28 - r.height(), r.height());
    int colour = COLOR_MENUTEXT;
    if (!disabled)
        colour = selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    else
        colour = selected ? COLOR_GRAYTEXT : COLOR_BTNSHADOW;
    p.save();
    p.setFont(m_hasItemFont ? m_itemFont : item->font);
    p.setPen(QColor(SysRgb(colour)));
    const int mnemonic
        = proxy()->styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic, label);
    if (!accel.isEmpty())
        p.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic, accel);
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        // The arrow the platform adds to an item that opens a nested popup.
        const int cx = r.right() - 10, cy = r.center().y();
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRect(cx + i, cy - 3 + i, 1, 7 - 2 * i), p.pen().color());
    }
    p.restore();
}

void ChromeStyle::DrawPopupItemSystemColors(QPainter& p, const QRect& r, const QString& text, const QFont& font,
    bool selected, bool disabled, bool checked, const CToolBarImageSet* images, int picture)
{
    p.save();
    p.fillRect(r, QColor(SysRgb(COLOR_MENU)));
    if (selected) {
        p.fillRect(r, QColor(SysRgb(COLOR_MENUHILIGHT)));
        p.setPen(QColor(SysRgb(COLOR_HIGHLIGHT)));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    const int boxTop = r.top() + (r.height() - 22) / 2;
    if (checked) {
        const QRect box(r.left() + 2, boxTop, 24, 22);
        if (selected) {
            p.fillRect(box, QColor(SysRgb(COLOR_MENU)));
        } else {
            p.setPen(QColor(SysRgb(COLOR_HIGHLIGHT)));
            p.drawRect(box.adjusted(-1, -1, 0, 0));
        }
        if (picture < 0 || !images) {
            // The check glyph: a short stroke and a long one.
            p.setPen(QPen(QColor(SysRgb(COLOR_MENUTEXT)), 2));
            const QPoint c = box.center();
            p.drawLine(c + QPoint(-4, 0), c + QPoint(-1, 3));
            p.drawLine(c + QPoint(-1, 3), c + QPoint(5, -3));
        }
    }
    if (picture >= 0 && images)
        images->Draw(p, r.left() + 2, boxTop, disabled ? 2 : (selected ? 1 : 0), picture);
    int colour = COLOR_MENUTEXT;
    if (disabled)
        colour = selected ? COLOR_BTNSHADOW : COLOR_GRAYTEXT;
    else if (selected)
        colour = COLOR_HIGHLIGHTTEXT;
    const QRect textRect(r.left() + 32, r.top(), std::max(0, r.width() - 32 - r.height()), r.height());
    const QString label = text.section(QLatin1Char('\t'), 0, 0);
    const QString accel = text.contains(QLatin1Char('\t')) ? text.section(QLatin1Char('\t'), 1) : QString();
    p.setFont(font);
    p.setPen(QColor(SysRgb(colour)));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, label);
    if (!accel.isEmpty())
        p.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, accel);
    p.restore();
}

void ChromeStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case CE_MenuItem:
        DrawPopupItem(option, painter, widget);
        return;
    case CE_MenuEmptyArea:
        DrawItemBackground(*painter, option->rect, false);
        return;
    case CE_MenuBarEmptyArea:
    case CE_ToolBar:
        return; // the band shows through
    case CE_MenuBarItem: {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!item)
            return;
        const bool pressed = option->state & State_Sunken;
        const bool hot = (option->state & State_Selected) && !pressed;
        if (hot || pressed)
            DrawButtonBackground(*painter, option->rect, hot, pressed);
        painter->save();
        painter->setFont(item->font);
        painter->setPen(QColor(SysRgb(COLOR_MENUTEXT)));
        const int mnemonic
            = proxy()->styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
        painter->drawText(option->rect, Qt::AlignCenter | Qt::TextSingleLine | mnemonic, item->text);
        painter->restore();
        return;
    }
    default:
        QProxyStyle::drawControl(element, option, painter, widget);
    }
}

void ChromeStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelMenuBar:
    case PE_PanelToolBar:
        return;
    case PE_PanelMenu:
        FillSolidRect(*painter, option->rect, kItemBackground);
        return;
    case PE_FrameMenu: {
        const COLORREF c = GetSysColor(COLOR_BTNSHADOW);
        Draw3dRect(*painter, option->rect, c, c);
        return;
    }
    case PE_PanelButtonTool: {
        if (!(option->state & State_Enabled))
            return;
        if (option->state & (State_Sunken | State_On))
            DrawEdge(*painter, option->rect, BDR_SUNKENOUTER);
        else if (option->state & State_MouseOver)
            DrawEdge(*painter, option->rect, BDR_RAISEDINNER);
        return;
    }
    case PE_IndicatorToolBarSeparator: {
        const QRect r = option->rect;
        const int x = r.left() + r.width() / 2 - 1;
        FillSolidRect(*painter, QRect(x, r.top() + 2, 1, r.height() - 4), GetSysColor(COLOR_BTNSHADOW));
        FillSolidRect(*painter, QRect(x + 1, r.top() + 2, 1, r.height() - 4), GetSysColor(COLOR_BTNHIGHLIGHT));
        return;
    }
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

QSize ChromeStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const
{
    if (type == CT_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        const QFontMetrics fm(m_hasItemFont ? m_itemFont : (item ? item->font : QApplication::font()));
        const QString text = item && item->menuItemType != QStyleOptionMenuItem::Separator ? item->text : QString();
        const QString label = StripMnemonic(text.section(QLatin1Char('\t'), 0, 0));
        const QString accel = text.contains(QLatin1Char('\t')) ? text.section(QLatin1Char('\t'), 1) : QString();
        // A separator is a thin divider, not an item's height of empty space.
        const int h = item && item->menuItemType == QStyleOptionMenuItem::Separator
            ? GetSystemMetrics(SM_CYMENU) / 2
            : std::max(fm.height(), kMinItemHeight);
        int w = h / 2 + fm.horizontalAdvance(label) + 32;
        if (!accel.isEmpty())
            w += h / 2 + fm.horizontalAdvance(accel);
        // The platform widens every owner-drawn item by a check-mark width.
        return { w + GetSystemMetrics(SM_CXMENUCHECK), h };
    }
    if (type == CT_MenuBarItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item) {
            const QFontMetrics fm(item->font);
            return { fm.horizontalAdvance(StripMnemonic(item->text)) + 14, fm.height() + 8 };
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int ChromeStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarItemSpacing:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuDesktopFrameWidth:
    case PM_ToolBarItemSpacing:
    case PM_ToolBarItemMargin:
    case PM_ToolBarFrameWidth:
    case PM_ToolBarHandleExtent:
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
        return 0;
    case PM_MenuPanelWidth:
        return 1;
    case PM_ToolBarSeparatorExtent:
        return 8;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int ChromeStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_Menu_AllowActiveAndDisabled:
    case SH_UnderlineShortcut:
        return 1;
    case SH_MenuBar_AltKeyNavigation:
        return 1;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

} // namespace ulv
