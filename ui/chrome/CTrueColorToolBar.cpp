#include "ui/chrome/CTrueColorToolBar.h"

#include "ui/chrome/ChromeResources.h"
#include "ui/chrome/ChromeStyle.h"

#include <QAction>
#include <QIcon>
#include <QToolButton>

namespace ulv {

CTrueColorToolBar::CTrueColorToolBar(QWidget* parent)
    : QToolBar(parent)
    , m_style(new ChromeStyle(this))
{
    setMovable(false);
    setFloatable(false);
    setStyle(m_style);
    setAutoFillBackground(false);
    setContentsMargins(0, 0, 0, 0);
}

bool CTrueColorToolBar::LoadTrueColorToolBar(int toolbarId, int trueColor)
{
    const ToolBarResource* res = FindToolBarResource(toolbarId);
    if (!res)
        return false;
    // A command string with a third part gives its button a label, and makes
    // every button of the toolbar tall enough for labels.
    std::vector<QString> labels;
    bool anyLabel = false;
    for (unsigned id : res->ids) {
        const QString label = id ? CommandString(id).section(QLatin1Char('\n'), 2, 2) : QString();
        anyLabel = anyLabel || !label.isEmpty();
        labels.push_back(label);
    }
    m_buttonSize = QSize(res->imageWidth + 8, res->imageHeight + (anyLabel ? 23 : 7));
    if (!m_images.Create(res->imageWidth, res->imageHeight, trueColor, int(res->ids.size()))
        || !m_images.Load(res->bitmap))
        return false;
    clear();
    setIconSize(QSize(res->imageWidth, res->imageHeight));
    setToolButtonStyle(anyLabel ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    int picture = 0;
    for (std::size_t i = 0; i < res->ids.size(); ++i) {
        const unsigned id = res->ids[i];
        if (id == 0) {
            addSeparator();
            continue;
        }
        QAction* action = m_provider ? m_provider(id, CommandTooltip(id)) : nullptr;
        if (!action) {
            action = new QAction(CommandTooltip(id), this);
            action->setData(id);
        }
        QIcon icon;
        icon.addPixmap(m_images.Pixmap(0, picture), QIcon::Normal);
        icon.addPixmap(m_images.Pixmap(1, picture), QIcon::Active);
        icon.addPixmap(m_images.Pixmap(2, picture), QIcon::Disabled);
        ++picture;
        action->setIcon(icon);
        action->setToolTip(CommandTooltip(id));
        action->setStatusTip(CommandPrompt(id));
        if (!labels[i].isEmpty())
            action->setIconText(labels[i]);
        addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
            button->setStyle(m_style);
            button->setFixedSize(m_buttonSize);
            button->setAutoRaise(true);
        }
    }
    return true;
}

QWidget* CTrueColorToolBar::Button(unsigned id) const
{
    for (QAction* action : actions()) {
        if (!action->isSeparator() && action->data().toUInt() == id)
            return widgetForAction(action);
    }
    return nullptr;
}

} // namespace ulv
