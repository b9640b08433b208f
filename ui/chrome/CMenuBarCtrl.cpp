#include "ui/chrome/CMenuBarCtrl.h"

#include "ui/chrome/ChromeResources.h"
#include "ui/chrome/ChromeStyle.h"
#include "ui/controls/WinLook.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace ulv {

CMenuBarCtrl::CMenuBarCtrl(QWidget* parent)
    : QMenuBar(parent)
    , m_style(new ChromeStyle(this))
{
    setNativeMenuBar(false);
    setFont(LogFont(QStringLiteral("Arial Unicode MS"), -11, 200));
    m_style->SetItemFont(font());
    m_style->SetPictures(&m_images, [this](unsigned id) { return PictureIndex(id); });
    setStyle(m_style);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

CMenuBarCtrl::~CMenuBarCtrl() = default;

QAction* CMenuBarCtrl::MakeAction(const MenuItemResource& item, QObject* owner)
{
    QAction* action = m_provider ? m_provider(item.id, item.text) : nullptr;
    if (!action) {
        action = new QAction(item.text, owner);
        action->setData(item.id);
    }
    return action;
}

void CMenuBarCtrl::AdoptSubMenu(QMenu* popup) const
{
    popup->setStyle(m_style);
    popup->setFont(font());
}

void CMenuBarCtrl::PreparePopup(QMenu* popup)
{
    AdoptSubMenu(popup);
    connect(popup, &QMenu::triggered, this, [this](QAction* action) {
        if (!action->isSeparator() && !action->menu())
            Q_EMIT Command(action->data().toUInt());
    });
}

void CMenuBarCtrl::FillPopup(QMenu* popup, const MenuPopupResource& popupRes)
{
    PreparePopup(popup);
    for (const MenuItemResource& item : popupRes.items) {
        if (item.id == 0)
            popup->addSeparator();
        else
            popup->addAction(MakeAction(item, popup));
    }
}

bool CMenuBarCtrl::LoadMenu(int menuId, int trueColor)
{
    const std::vector<MenuPopupResource> menu = LoadMenuResource(menuId);
    if (menu.empty() || !m_images.Create(24, 22, trueColor, 0))
        return false;
    m_commandIds.clear();
    clear();
    for (const MenuPopupResource& popupRes : menu)
        FillPopup(addMenu(popupRes.text), popupRes);
    return true;
}

void CMenuBarCtrl::LoadMenuImages(int toolbarId)
{
    const ToolBarResource* res = FindToolBarResource(toolbarId);
    if (!res)
        return;
    for (unsigned id : res->ids) {
        if (id != 0)
            m_commandIds.push_back(id);
    }
    m_images.Load(res->bitmap);
}

std::vector<QMenu*> CMenuBarCtrl::GetMenu() const
{
    std::vector<QMenu*> popups;
    for (QAction* action : actions()) {
        if (action->menu())
            popups.push_back(action->menu());
    }
    return popups;
}

int CMenuBarCtrl::PictureIndex(unsigned id) const
{
    for (std::size_t i = 0; i < m_commandIds.size(); ++i) {
        if (m_commandIds[i] == id)
            return int(i);
    }
    return -1;
}

bool CMenuBarCtrl::OpenMenuByKey(QChar key)
{
    const QChar wanted = key.toUpper();
    for (QAction* action : actions()) {
        const QString text = action->text();
        const int amp = text.indexOf(QLatin1Char('&'));
        if (!action->menu() || amp < 0 || amp + 1 >= text.size())
            continue;
        if (text[amp + 1].toUpper() != wanted)
            continue;
        setActiveAction(action);
        QMenu* popup = action->menu();
        for (QAction* item : popup->actions()) {
            if (!item->isSeparator() && item->isVisible()) {
                popup->setActiveAction(item);
                break;
            }
        }
        return true;
    }
    return false;
}

void CMenuBarCtrl::InsertItem(QMenu* popup, int position, QAction* action)
{
    const QList<QAction*> items = popup->actions();
    if (position >= 0 && position < items.size())
        popup->insertAction(items[position], action);
    else
        popup->addAction(action);
}

namespace {

constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_SETTINGCHANGE = 0x001A;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSCOMMAND = 0x0112;
constexpr unsigned WM_MENUCHAR = 0x0120;
constexpr quintptr VK_MENU = 0x12;
constexpr quintptr SC_KEYMENU = 0xF100;

} // namespace

void CMenuBarCtrl::LoadMenuFromHandle(const std::vector<QMenu*>& popups)
{
    for (QMenu* old : GetMenu())
        removeAction(old->menuAction());
    for (QMenu* popup : popups) {
        if (!popup)
            continue;
        addMenu(popup);
        PreparePopup(popup);
    }
}

bool CMenuBarCtrl::ProcessFrameMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_MENU)
            SetUnderlines(true);
        break;
    case WM_KEYUP:
        if (wParam == VK_MENU)
            SetUnderlines(false);
        break;
    case WM_ACTIVATE:
        SetActive((wParam & 0xFFFF) != 0);
        break;
    case WM_SETTINGCHANGE:
        updateGeometry();
        update();
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU && OnSysKeyMenu(int(lParam)))
            return false;
        break;
    case WM_MENUCHAR:
        OpenMenuByKey(QChar(char16_t(wParam & 0xFFFF)));
        break;
    default:
        break;
    }
    return true;
}

bool CMenuBarCtrl::OnSysKeyMenu(int key)
{
    const bool focused = hasFocus();
    if (key == ' ') {
        if (focused)
            SetHotItem(-1);
        else
            SetUnderlines(false);
        return false;
    }
    if (key == 0) {
        if (focused) {
            SetHotItem(-1);
        } else {
            SetUnderlines(true);
            SetHotItem(0);
        }
        return true;
    }
    return false;
}

void CMenuBarCtrl::SetActive(bool active)
{
    if (active == m_bActive)
        return;
    SetUnderlines(false);
    m_bActive = active;
    update();
}

void CMenuBarCtrl::SetUnderlines(bool on)
{
    if (on == m_bUnderlines || !on)
        return;
    m_bUnderlines = on;
    update();
}

void CMenuBarCtrl::SetHotItem(int index)
{
    m_hotItem = index < 0 ? -1 : index;
    if (index < 0) {
        if (m_prevFocus)
            m_prevFocus->setFocus(Qt::OtherFocusReason);
        m_prevFocus = nullptr;
    } else {
        if (QWidget* focus = QApplication::focusWidget(); focus && focus != this)
            m_prevFocus = focus;
        setFocus(Qt::ShortcutFocusReason);
    }
    update();
}

bool CMenuBarCtrl::LoadContextMenu(int menuId)
{
    const std::vector<MenuPopupResource> menu = LoadMenuResource(menuId);
    if (menu.empty())
        return false;
    for (QMenu* old : m_context)
        delete old;
    m_context.clear();
    for (const MenuPopupResource& popupRes : menu) {
        auto* popup = new QMenu(popupRes.text, this);
        FillPopup(popup, popupRes);
        connect(popup, &QMenu::aboutToHide, this, [this] { m_bContextInUse = false; });
        m_context.push_back(popup);
    }
    return true;
}

QMenu* CMenuBarCtrl::TrackContextPopup(int position, int x, int y)
{
    const std::vector<QMenu*> menus = m_context.empty() ? GetMenu() : m_context;
    if (position < 0 || position >= int(menus.size()))
        return nullptr;
    QMenu* popup = menus[size_t(position)];
    m_bContextInUse = !m_context.empty();
    popup->popup(QPoint(x, y));
    return popup;
}

QMenu* CMenuBarCtrl::TrackContextPopupByText(const QString& text, int x, int y)
{
    const std::vector<QMenu*> menus = m_context.empty() ? GetMenu() : m_context;
    for (size_t i = 0; i < menus.size(); ++i)
        if (menus[i]->title() == text)
            return TrackContextPopup(int(i), x, y);
    return nullptr;
}

} // namespace ulv
