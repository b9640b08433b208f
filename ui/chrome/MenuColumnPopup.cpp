#include "ui/chrome/MenuColumnPopup.h"

#include "ui/chrome/WinMenuInternal.h"
#include "ui/controls/WinLook.h"

#include <QAction>
#include <QActionEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace ulv {

namespace {

    // Room of a bar break: the etched line (two pixels) with a pixel either side.
    constexpr int kBarGap = 4;

    int FrameWidth(const QWidget* w) { return winmenu::Style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, w); }

    // An item that is not owner-drawn, for the style that paints it.
    QStyleOptionMenuItem PlainItemOption(const QWidget* popup, QAction* a, const QRect& r, bool selected)
    {
        QStyleOptionMenuItem opt;
        opt.initFrom(popup);
        opt.state = QStyle::State_None;
        if (a->isEnabled())
            opt.state |= QStyle::State_Enabled;
        if (selected)
            opt.state |= QStyle::State_Selected;
        opt.font = popup->font();
        opt.fontMetrics = QFontMetrics(opt.font);
        opt.menuHasCheckableItems = true;
        opt.checkType = a->isCheckable() ? QStyleOptionMenuItem::NonExclusive : QStyleOptionMenuItem::NotCheckable;
        opt.checked = a->isChecked();
        opt.menuItemType = a->isSeparator() ? QStyleOptionMenuItem::Separator
            : a->menu()                     ? QStyleOptionMenuItem::SubMenu
                                            : QStyleOptionMenuItem::Normal;
        opt.text = a->text();
        const int tab = int(opt.text.indexOf(QLatin1Char('\t')));
        if (tab >= 0)
            opt.reservedShortcutWidth = opt.fontMetrics.horizontalAdvance(opt.text.mid(tab + 1));
        opt.rect = r;
        opt.menuRect = popup->rect();
        return opt;
    }

    QSize PlainItemSize(const QWidget* popup, QAction* a)
    {
        const QStyleOptionMenuItem opt = PlainItemOption(popup, a, QRect(), false);
        QSize contents(2, 2);
        if (!a->isSeparator()) {
            const QString label = opt.text.section(QLatin1Char('\t'), 0, 0);
            contents = QSize(opt.fontMetrics.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, label).width(),
                opt.fontMetrics.height());
        }
        return winmenu::Style()->sizeFromContents(QStyle::CT_MenuItem, &opt, contents, popup);
    }

} // namespace

MenuColumnPopup::MenuColumnPopup(HMENU menu, MenuColumnPopup* parentPopup)
    // A sub-menu's popup belongs to the popup that opened it, so the whole
    // chain goes with the tracked one even when a closed sub-menu's
    // deferred delete has not run yet.
    : QWidget(parentPopup, Qt::Popup | Qt::FramelessWindowHint)
    , m_menu(menu)
    , m_menuObject(menu)
    , m_parent(parentPopup)
{
    setMouseTracking(true);
    m_subMenuTimer.setSingleShot(true);
    m_subMenuTimer.setInterval(std::max(0, winmenu::Style()->styleHint(QStyle::SH_Menu_SubMenuPopupDelay, nullptr, this)));
    connect(&m_subMenuTimer, &QTimer::timeout, this, [this] {
        if (m_current >= 0 && m_current != m_childCell)
            OpenChild(m_current, false);
    });
    if (m_menu) {
        m_menu->installEventFilter(this);
        // The menu may go while it is shown (its owner destroys it).
        connect(m_menu, &QObject::destroyed, this, [this] {
            // A widget says it is destroyed before a pointer guarding it
            // learns so: let go of it at once.
            m_menu = nullptr;
            m_cells.clear();
            if (m_parent)
                m_parent->CloseChild();
            else
                close();
        });
    }
}

MenuColumnPopup::~MenuColumnPopup()
{
    if (m_child)
        delete m_child.data();
    if (m_menu)
        m_menu->removeEventFilter(this);
    Unregister();
}

void MenuColumnPopup::Unregister()
{
    if (m_shownAs && winmenu::ShownBy(m_shownAs) == this)
        winmenu::SetShownBy(m_shownAs, nullptr);
    m_shownAs = nullptr;
}

void MenuColumnPopup::Prepare()
{
    if (m_menu)
        winmenu::SendInitMenuPopup(m_menu);
    Layout();
}

void MenuColumnPopup::Layout()
{
    m_cells.clear();
    m_barLines.clear();
    m_columns = 0;
    const int fw = FrameWidth(this);
    if (!IsMenu(m_menu)) {
        m_size = QSize(2 * fw, 2 * fw);
        m_current = -1;
        return;
    }
    struct Column {
        int width = 0;
        int height = 0;
        int items = 0;
        bool bar = false;
    };
    std::vector<Column> columns;
    std::vector<QSize> sizes;
    const QList<QAction*> items = m_menu->actions();
    const int sideBar = winmenu::SideBarWidth(m_menu);
    int first = 0;
    if (sideBar > 0) {
        columns.push_back({ sideBar, 0, 1, false });
        m_cells.push_back({ items[0], 0, 0, {}, false });
        sizes.emplace_back(sideBar, 0);
        first = 1;
    }
    for (int pos = first; pos < items.size(); ++pos) {
        QAction* a = items[pos];
        if (!a->isVisible())
            continue;
        const UINT flags = winmenu::ItemFlags(a);
        if (columns.empty() || ((flags & (MF_MENUBREAK | MF_MENUBARBREAK)) && columns.back().items > 0))
            columns.push_back({ 0, 0, 0, !columns.empty() && (flags & MF_MENUBARBREAK) });
        const QSize size = winmenu::IsOwnerDrawn(a) ? winmenu::MeasureOwnerDrawnItem(m_menu, a) : PlainItemSize(this, a);
        Column& column = columns.back();
        column.width = std::max(column.width, size.width());
        column.height += size.height();
        ++column.items;
        m_cells.push_back({ a, pos, int(columns.size()) - 1, {}, !a->isSeparator() });
        sizes.push_back(size);
    }
    m_columns = int(columns.size());
    int contentHeight = 0;
    for (const Column& c : columns)
        contentHeight = std::max(contentHeight, c.height);
    std::vector<int> left(columns.size(), 0);
    int x = fw;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].bar) {
            m_barLines.push_back(x + 1);
            x += kBarGap;
        }
        left[c] = x;
        x += columns[c].width;
    }
    std::vector<int> top(columns.size(), fw);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        Cell& cell = m_cells[i];
        const auto c = std::size_t(cell.column);
        if (sideBar > 0 && i == 0) {
            cell.rect = QRect(left[0], fw, sideBar, contentHeight);
            continue;
        }
        cell.rect = QRect(left[c], top[c], columns[c].width, sizes[i].height());
        top[c] += sizes[i].height();
    }
    m_size = QSize(x + fw, contentHeight + 2 * fw);
    if (m_current >= int(m_cells.size()))
        m_current = -1;
}

QAction* MenuColumnPopup::Exec(const QPoint& at)
{
    ShowAt(at);
    if (!isVisible())
        return nullptr;
    QEventLoop loop;
    m_loop = &loop;
    QPointer<MenuColumnPopup> guard(this);
    loop.exec();
    if (!guard)
        return nullptr;
    m_loop = nullptr;
    return m_chosen;
}

void MenuColumnPopup::ShowAt(const QPoint& at)
{
    resize(m_size);
    QPoint pos = at;
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        // Kept on the screen, as a QMenu keeps itself.
        const QRect avail = screen->availableGeometry();
        pos.setX(std::max(avail.left(), std::min(pos.x(), avail.right() + 1 - m_size.width())));
        pos.setY(std::max(avail.top(), std::min(pos.y(), avail.bottom() + 1 - m_size.height())));
    }
    move(pos);
    if (m_menu) {
        m_shownAs = m_menu;
        winmenu::SetShownBy(m_menu, this);
    }
    show();
}

MenuColumnPopup* MenuColumnPopup::Root()
{
    MenuColumnPopup* p = this;
    while (p->m_parent)
        p = p->m_parent;
    return p;
}

QRect MenuColumnPopup::ItemRect(int position) const
{
    const int cell = CellOfPosition(position);
    return cell >= 0 ? m_cells[std::size_t(cell)].rect : QRect();
}

int MenuColumnPopup::HilitePosition() const
{
    return m_current >= 0 ? m_cells[std::size_t(m_current)].position : -1;
}

int MenuColumnPopup::CellAt(const QPoint& local) const
{
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i].rect.contains(local))
            return int(i);
    }
    return -1;
}

int MenuColumnPopup::CellOfPosition(int position) const
{
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i].position == position)
            return int(i);
    }
    return -1;
}

void MenuColumnPopup::SetCurrent(int cell)
{
    if (cell >= 0 && (cell >= int(m_cells.size()) || !m_cells[std::size_t(cell)].selectable))
        cell = -1;
    if (cell == m_current)
        return;
    m_current = cell;
    m_subMenuTimer.stop();
    update();
    if (cell >= 0 && m_menu && m_cells[std::size_t(cell)].action)
        winmenu::SendMenuSelect(m_menu, m_cells[std::size_t(cell)].action);
}

int MenuColumnPopup::FirstSelectable() const { return NextInOrder(-1, 1); }

int MenuColumnPopup::NextInOrder(int from, int step) const
{
    const int n = int(m_cells.size());
    if (n == 0)
        return -1;
    int i = from < 0 ? (step > 0 ? -1 : n) : from;
    for (int k = 0; k < n; ++k) {
        i = ((i + step) % n + n) % n;
        if (m_cells[std::size_t(i)].selectable && m_cells[std::size_t(i)].action)
            return i;
    }
    return -1;
}

int MenuColumnPopup::InNeighbourColumn(int from, int step, bool wrap) const
{
    if (from < 0)
        return FirstSelectable();
    const Cell& here = m_cells[std::size_t(from)];
    const int y = here.rect.center().y();
    for (int column = here.column + step;; column += step) {
        if (column < 0 || column >= m_columns) {
            if (!wrap)
                return -1;
            column = column < 0 ? m_columns - 1 : 0;
        }
        if (column == here.column)
            return -1;
        // The item on the same row, else the nearest one.
        int best = -1;
        int distance = INT_MAX;
        for (std::size_t i = 0; i < m_cells.size(); ++i) {
            const Cell& c = m_cells[i];
            if (c.column != column || !c.selectable || !c.action)
                continue;
            const int d = c.rect.top() <= y && y <= c.rect.bottom() ? 0 : std::abs(c.rect.center().y() - y);
            if (d < distance) {
                distance = d;
                best = int(i);
            }
        }
        if (best >= 0)
            return best;
    }
}

void MenuColumnPopup::Activate(int cell, bool byKey)
{
    if (cell < 0 || cell >= int(m_cells.size()))
        return;
    const Cell& c = m_cells[std::size_t(cell)];
    if (!c.selectable || !c.action || !c.action->isEnabled())
        return;
    if (c.action->menu())
        OpenChild(cell, byKey);
    else
        Choose(c.action);
}

void MenuColumnPopup::OpenChild(int cell, bool selectFirst)
{
    if (m_child && m_childCell == cell) {
        if (selectFirst && m_child->m_current < 0)
            m_child->SetCurrent(m_child->FirstSelectable());
        return;
    }
    CloseChild();
    QAction* a = m_cells[std::size_t(cell)].action;
    QMenu* sub = a ? a->menu() : nullptr;
    if (!IsMenu(sub) || !a->isEnabled())
        return;
    SetCurrent(cell);
    auto* child = new MenuColumnPopup(sub, this);
    child->setAttribute(Qt::WA_DeleteOnClose);
    m_child = child;
    m_childCell = cell;
    child->Prepare();
    // Beside this popup at the item's height, on the left when the right
    // has no room.
    const int fw = FrameWidth(this);
    const QRect r = m_cells[std::size_t(cell)].rect;
    QPoint at(mapToGlobal(QPoint(width() - fw, 0)).x(), mapToGlobal(r.topLeft()).y() - fw);
    if (const QScreen* screen = QGuiApplication::screenAt(mapToGlobal(r.center()))) {
        if (at.x() + child->sizeHint().width() > screen->availableGeometry().right() + 1)
            at.setX(mapToGlobal(QPoint(fw, 0)).x() - child->sizeHint().width());
    }
    child->ShowAt(at);
    if (selectFirst && m_child)
        m_child->SetCurrent(m_child->FirstSelectable());
}

void MenuColumnPopup::CloseChild()
{
    m_subMenuTimer.stop();
    m_childCell = -1;
    if (MenuColumnPopup* child = m_child) {
        m_child = nullptr;
        child->CloseChild();
        child->close();
    }
}

void MenuColumnPopup::Choose(QAction* action)
{
    MenuColumnPopup* root = Root();
    root->m_chosen = action;
    root->CloseAll();
}

void MenuColumnPopup::CloseAll()
{
    MenuColumnPopup* root = Root();
    root->CloseChild();
    root->close();
}

void MenuColumnPopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    CloseChild();
    m_armed = false;
    Unregister();
    if (m_menu)
        winmenu::SendMenuClosed(m_menu);
    if (m_parent && m_parent->m_child == this) {
        m_parent->m_child = nullptr;
        m_parent->m_childCell = -1;
    }
    if (m_loop)
        m_loop->quit();
}

bool MenuColumnPopup::eventFilter(QObject* watched, QEvent* event)
{
    // Compared as a plain object: the menu may be half destroyed.
    if (watched == m_menuObject && isVisible()) {
        switch (event->type()) {
        case QEvent::Close:
            // Closing the menu (a menu bar moving on) closes its popup.
            if (m_parent)
                m_parent->CloseChild();
            else
                CloseAll();
            break;
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
        case QEvent::ActionChanged:
            if (!m_relayoutQueued) {
                m_relayoutQueued = true;
                QTimer::singleShot(0, this, [this] {
                    m_relayoutQueued = false;
                    Layout();
                    resize(m_size);
                    update();
                });
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MenuColumnPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FillSolidRect(p, rect(), GetSysColor(COLOR_MENU));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    winmenu::Style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &p, this);
    if (!m_menu)
        return;
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const Cell& c = m_cells[i];
        if (!c.action)
            continue;
        const bool selected = int(i) == m_current;
        if (winmenu::IsOwnerDrawn(c.action)) {
            winmenu::PaintOwnerDrawnItem(m_menu, c.action, &p, c.rect, selected);
        } else {
            const QStyleOptionMenuItem opt = PlainItemOption(this, c.action, c.rect, selected);
            winmenu::Style()->drawControl(QStyle::CE_MenuItem, &opt, &p, this);
        }
    }
    // The etched line of a bar break runs the full height inside the frame.
    const int fw = FrameWidth(this);
    for (int x : m_barLines) {
        FillSolidRect(p, QRect(x, fw, 1, height() - 2 * fw), GetSysColor(COLOR_BTNSHADOW));
        FillSolidRect(p, QRect(x + 1, fw, 1, height() - 2 * fw), GetSysColor(COLOR_BTNHIGHLIGHT));
    }
}

void MenuColumnPopup::HandleMenuChar(QChar c)
{
    if (!m_menu)
        return;
    if (QAction* plain = winmenu::PlainMnemonicItem(m_menu, c)) {
        const int cell = CellOfPosition(int(m_menu->actions().indexOf(plain)));
        SetCurrent(cell);
        Activate(cell, true);
        return;
    }
    const LRESULT r = winmenu::AskMenuChar(m_menu, c);
    const int cell = CellOfPosition(int(LoWord(std::uintptr_t(r))));
    switch (HiWord(std::uintptr_t(r))) {
    case MNC_EXECUTE:
        if (cell >= 0) {
            SetCurrent(cell);
            Activate(cell, true);
        }
        break;
    case MNC_SELECT:
        SetCurrent(cell);
        break;
    case MNC_CLOSE:
        if (m_parent)
            m_parent->CloseChild();
        else
            CloseAll();
        break;
    default:
        break;
    }
}

void MenuColumnPopup::keyPressEvent(QKeyEvent* event)
{
    QPointer<MenuColumnPopup> self(this);
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        SetCurrent(NextInOrder(m_current, event->key() == Qt::Key_Down ? 1 : -1));
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        SetCurrent(NextInOrder(-1, event->key() == Qt::Key_Home ? 1 : -1));
        return;
    case Qt::Key_Right:
    case Qt::Key_Left: {
        const int step = event->key() == Qt::Key_Right ? 1 : -1;
        if (step > 0 && m_current >= 0) {
            QAction* a = m_cells[std::size_t(m_current)].action;
            if (a && a->menu() && a->isEnabled()) {
                OpenChild(m_current, true);
                return;
            }
        }
        const int next = InNeighbourColumn(m_current, step, false);
        if (next >= 0) {
            SetCurrent(next);
            return;
        }
        // Past the first column of a sub-menu lies the menu that opened it.
        if (step < 0 && m_parent) {
            m_parent->CloseChild();
            return;
        }
        // Past the edge of the tracked menu, a menu bar may move on.
        if (!m_parent && winmenu::OfferToMenuFilters(m_menu, event))
            return;
        if (self)
            SetCurrent(InNeighbourColumn(m_current, step, true));
        return;
    }
    case Qt::Key_Escape:
        if (m_parent) {
            m_parent->CloseChild();
            return;
        }
        winmenu::OfferToMenuFilters(m_menu, event);
        if (self)
            CloseAll();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Activate(m_current, true);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint() && !text[0].isSpace()) {
        HandleMenuChar(text[0]);
        return;
    }
    QWidget::keyPressEvent(event);
}

void MenuColumnPopup::HoverAt(const QPoint& global)
{
    const int cell = CellAt(mapFromGlobal(global));
    if (cell < 0 || !m_cells[std::size_t(cell)].selectable) {
        // Over a separator or the frame an open sub-menu keeps its item lit.
        if (!m_child)
            SetCurrent(-1);
        return;
    }
    m_armed = true;
    if (cell == m_current)
        return;
    if (m_child && cell != m_childCell)
        CloseChild();
    SetCurrent(cell);
    QAction* a = m_cells[std::size_t(cell)].action;
    if (a && a->menu() && a->isEnabled())
        m_subMenuTimer.start();
}

bool MenuColumnPopup::RouteMouse(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    for (MenuColumnPopup* p = m_parent; p; p = p->m_parent) {
        if (!p->rect().contains(p->mapFromGlobal(global)))
            continue;
        if (event->type() == QEvent::MouseMove) {
            p->HoverAt(global);
        } else if (event->type() == QEvent::MouseButtonPress) {
            p->CloseChild();
            p->PressAt(global);
        }
        return true;
    }
    MenuColumnPopup* root = Root();
    if (!root->m_menu)
        return false;
    QMouseEvent offered(event->type(), root->m_menu->mapFromGlobal(global), event->globalPosition(), event->button(),
        event->buttons(), event->modifiers());
    return winmenu::OfferToMenuFilters(root->m_menu, &offered);
}

void MenuColumnPopup::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (rect().contains(event->position().toPoint())) {
        HoverAt(global);
        return;
    }
    QPointer<MenuColumnPopup> self(this);
    if (RouteMouse(event) || !self)
        return;
    if (!m_child)
        SetCurrent(-1);
}

void MenuColumnPopup::PressAt(const QPoint& global)
{
    m_armed = true;
    const int cell = CellAt(mapFromGlobal(global));
    HoverAt(global);
    // A sub-menu opens on the press; a command is chosen on the release.
    if (cell >= 0 && m_cells[std::size_t(cell)].action && m_cells[std::size_t(cell)].action->menu())
        Activate(cell, false);
}

void MenuColumnPopup::mousePressEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        PressAt(event->globalPosition().toPoint());
        return;
    }
    QPointer<MenuColumnPopup> self(this);
    if (RouteMouse(event) || !self)
        return;
    // A press anywhere else ends the menu with no command.
    CloseAll();
}

void MenuColumnPopup::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    MenuColumnPopup* target = this;
    while (target && !target->rect().contains(target->mapFromGlobal(global)))
        target = target->m_parent;
    // The release of the press that opened the menu chooses nothing.
    if (!target || !target->m_armed)
        return;
    const int cell = target->CellAt(target->mapFromGlobal(global));
    if (cell >= 0 && target->m_cells[std::size_t(cell)].action && !target->m_cells[std::size_t(cell)].action->menu())
        target->Activate(cell, false);
}

} // namespace ulv
