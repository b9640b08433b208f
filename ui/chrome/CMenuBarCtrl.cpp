#include "ui/chrome/CMenuBarCtrl.h"

#include "ui/chrome/ChromeResources.h"
#include "ui/chrome/ChromeStyle.h"
#include "ui/controls/WinLook.h"

#include <QAction>
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

bool CMenuBarCtrl::LoadMenu(int menuId, int trueColor)
{
    const std::vector<MenuPopupResource> menu = LoadMenuResource(menuId);
    if (menu.empty() || !m_images.Create(24, 22, trueColor, 0))
        return false;
    m_commandIds.clear();
    clear();
    for (const MenuPopupResource& popupRes : menu) {
        QMenu* popup = addMenu(popupRes.text);
        PreparePopup(popup);
        for (const MenuItemResource& item : popupRes.items) {
            if (item.id == 0)
                popup->addSeparator();
            else
                popup->addAction(MakeAction(item, popup));
        }
    }
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

} // namespace ulv
