#include "ui/chrome/CFlatMenuBarCtrl.h"

#include "ui/chrome/CMenuXP.h"
#include "ui/chrome/MenuResources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>

namespace ulv {

namespace {

    const char* const kPicture = "ulvPicture";

    // Paints the buttons of a flat toolbar through its DrawButton, without
    // the toolbar's own edges.
    class FlatButtonStyle : public QProxyStyle {
    public:
        FlatButtonStyle()
            : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
        {
        }
        void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
            const QWidget* widget) const override
        {
            if (element == PE_PanelButtonTool || element == PE_PanelButtonBevel) {
                const QWidget* w = widget;
                while (w && !qobject_cast<const CFlatToolBarCtrl*>(w))
                    w = w->parentWidget();
                if (auto* bar = const_cast<CFlatToolBarCtrl*>(qobject_cast<const CFlatToolBarCtrl*>(w))) {
                    const bool enabled = option->state & State_Enabled;
                    bar->DrawButton(*painter, option->rect, enabled && (option->state & State_MouseOver),
                        option->state & State_On, option->state & State_Sunken);
                    return;
                }
            }
            if (element == PE_PanelToolBar || element == PE_FrameButtonTool)
                return;
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    };

    QStyle* FlatStyle()
    {
        static QPointer<QStyle> style;
        if (!style) {
            style = new FlatButtonStyle;
            style->setParent(qApp);
        }
        return style;
    }

} // namespace

CFlatToolBarCtrl::CFlatToolBarCtrl(QWidget* parent)
    : QToolBar(parent)
{
    setStyle(FlatStyle());
    setMovable(false);
}

CFlatToolBarCtrl::~CFlatToolBarCtrl() = default;

int CFlatToolBarCtrl::PictureIndex(const QAction* action)
{
    const QVariant v = action ? action->property(kPicture) : QVariant();
    return v.isValid() ? v.toInt() : -1;
}

bool CFlatToolBarCtrl::LoadToolBar(int toolbarId)
{
    const ToolBarResource* toolbar = FindToolBar(toolbarId);
    if (!toolbar)
        return false;
    m_pictures.Create(toolbar->imageWidth, toolbar->imageHeight);
    m_pictures.AddMasked(LoadBitmapResource(toolbarId), 0xFFC0C0C0);
    int picture = 0;
    for (unsigned id : toolbar->ids) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QString());
        action->setData(id);
        action->setProperty(kPicture, picture);
        const QImage image = m_pictures.Image(picture);
        if (!image.isNull())
            action->setIcon(QIcon(QPixmap::fromImage(image)));
        ++picture;
    }
    return true;
}

void CFlatToolBarCtrl::DrawButton(QPainter& p, const QRect& r, bool hot, bool checked, bool pressed)
{
    COLORREF fill = 0;
    if (hot)
        fill = m_crHotFill;
    else if (checked)
        fill = m_crCheckedFill;
    else if (pressed)
        fill = m_crPressedFill;
    else
        return;
    FillSolidRect(p, r, fill);
    Draw3dRect(p, r, m_crBorder, m_crBorder);
}

// ---- The flat menu bar.

CFlatMenuBarCtrl::CFlatMenuBarCtrl(QWidget* parent)
    : CFlatToolBarCtrl(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(16, 16));
}

CFlatMenuBarCtrl::~CFlatMenuBarCtrl()
{
    if (m_popup)
        m_popup->removeEventFilter(this);
}

QWidget* CFlatMenuBarCtrl::OwnerWindow() const { return parentWidget(); }

QToolButton* CFlatMenuBarCtrl::Button(int index) const
{
    const QList<QAction*> items = actions();
    if (index < 0 || index >= items.size())
        return nullptr;
    return qobject_cast<QToolButton*>(widgetForAction(items[index]));
}

bool CFlatMenuBarCtrl::SetMenu(CMenu* menu)
{
    if (!menu)
        return false;
    m_menu.reset(menu);
    clear();
    m_itemCount = menu->GetMenuItemCount();
    m_icons.Create(16, 16);
    for (int pos = 0; pos < m_itemCount; ++pos) {
        QString text;
        int picture = -1;
        const UINT type = GetMenuItemType(menu->m_hMenu, UINT(pos), MF_BYPOSITION);
        auto* item = reinterpret_cast<CMenuXPItem*>(GetMenuItemData(menu->m_hMenu, UINT(pos), MF_BYPOSITION));
        if ((type & MF_OWNERDRAW) && item && item->signature == CMenuXPItem::kSignature) {
            text = item->text.left(259);
            if (!item->icon.isNull())
                picture = m_icons.Add(item->icon.scaled(16, 16));
        } else {
            text = menu->GetMenuString(UINT(pos), MF_BYPOSITION).left(79);
        }
        QAction* action = addAction(text);
        action->setData(pos);
        action->setProperty(kPicture, picture);
        if (picture >= 0)
            action->setIcon(QIcon(QPixmap::fromImage(m_icons.Image(picture))));
    }
    return m_itemCount > 0;
}

int CFlatMenuBarCtrl::ButtonAt(const QPoint& barPos) const
{
    QAction* action = actionAt(barPos);
    return action ? int(actions().indexOf(action)) : -1;
}

void CFlatMenuBarCtrl::ReleaseHot()
{
    if (QToolButton* b = Button(m_hotIndex))
        b->setDown(false);
}

void CFlatMenuBarCtrl::mousePressEvent(QMouseEvent* event)
{
    const int index = ButtonAt(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton) {
        m_hotIndex = index;
        TrackPopup();
        return;
    }
    CFlatToolBarCtrl::mousePressEvent(event);
}

void CFlatMenuBarCtrl::TrackPopup()
{
    HMENU popup = m_menu ? m_menu->GetSubMenu(m_hotIndex) : nullptr;
    QToolButton* button = Button(m_hotIndex);
    if (!popup || !button)
        return;
    m_tracking = true;
    button->setDown(true);
    QRect r(button->mapToGlobal(QPoint(0, 0)), button->size());
    if (const QScreen* screen = button->screen())
        r = r.intersected(screen->geometry());
    m_popup = popup;
    popup->installEventFilter(this);
    TrackPopupMenuEx(popup, TPM_VERTICAL | TPM_RIGHTBUTTON, r.left(), r.bottom() + 1, this, &r);
    if (m_popup)
        m_popup->removeEventFilter(this);
    m_popup = nullptr;
    if (QToolButton* b = Button(m_hotIndex))
        b->setDown(false);
}

bool CFlatMenuBarCtrl::eventFilter(QObject* watched, QEvent* event)
{
    auto* popup = qobject_cast<QMenu*>(watched);
    if (popup && popup == m_popup && FilterMenuMessage(popup, event))
        return true;
    return CFlatToolBarCtrl::eventFilter(watched, event);
}

bool CFlatMenuBarCtrl::FilterMenuMessage(QMenu* popup, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            popup->close();
            m_tracking = false;
            return true;
        }
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            ReleaseHot();
            m_hotIndex += key == Qt::Key_Left ? -1 : 1;
            popup->close();
            PostMessage(this, WM_FLATMENUBAR_TRACKPOPUP, 0, 0);
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        const QPoint at = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        if (at == m_lastMouse)
            return true;
        m_lastMouse = at;
        const int index = ButtonAt(at);
        if (index >= 0 && index != m_hotIndex) {
            ReleaseHot();
            popup->close();
            m_hotIndex = index;
            PostMessage(this, WM_FLATMENUBAR_TRACKPOPUP, 0, 0);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonPress: {
        const QPoint at = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        const int index = ButtonAt(at);
        if (index < 0) {
            m_tracking = false;
            return false;
        }
        if (index == m_hotIndex) {
            m_tracking = false;
            popup->close();
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool CFlatMenuBarCtrl::OpenMenuByKey(QChar key)
{
    if (!m_menu)
        return false;
    for (int pos = 0; pos < m_itemCount; ++pos) {
        QString text = m_menu->GetMenuString(UINT(pos), MF_BYPOSITION);
        auto* item = reinterpret_cast<CMenuXPItem*>(GetMenuItemData(m_menu->m_hMenu, UINT(pos), MF_BYPOSITION));
        if ((GetMenuItemType(m_menu->m_hMenu, UINT(pos), MF_BYPOSITION) & MF_OWNERDRAW) && item
            && item->signature == CMenuXPItem::kSignature)
            text = item->text;
        const int amp = int(text.indexOf(QLatin1Char('&')));
        if (amp >= 0 && amp + 1 < text.size() && text[amp + 1] == key.toUpper()) {
            m_hotIndex = pos;
            PostMessage(this, WM_FLATMENUBAR_TRACKPOPUP, 0, 0);
            return true;
        }
    }
    return false;
}

bool CFlatMenuBarCtrl::event(QEvent* e)
{
    if (e->type() != WinMessageEvent::EventType())
        return CFlatToolBarCtrl::event(e);
    auto* msg = static_cast<WinMessageEvent*>(e);
    switch (msg->message) {
    case WM_FLATMENUBAR_TRACKPOPUP:
        if (m_hotIndex < 0)
            m_hotIndex = m_itemCount - 1;
        else if (m_hotIndex >= m_itemCount)
            m_hotIndex = 0;
        TrackPopup();
        msg->result = 0;
        return true;
    case WM_MENUCHAR:
        if (auto* xp = dynamic_cast<CMenuXP*>(m_menu.get())) {
            msg->result = xp->OnMenuChar(LoWord(msg->wParam), HiWord(msg->wParam), MessagePointer<QMenu>(msg->lParam));
            return true;
        }
        return false;
    case WM_MEASUREITEM:
        if (auto* mis = MessagePointer<MEASUREITEMSTRUCT>(msg->lParam); mis && mis->CtlID == 0 && m_menu) {
            m_menu->MeasureItem(mis);
            msg->result = 1;
            return true;
        }
        return false;
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        msg->result = SendMessage(OwnerWindow(), msg->message, msg->wParam, msg->lParam);
        return true;
    default:
        return false;
    }
}

} // namespace ulv
