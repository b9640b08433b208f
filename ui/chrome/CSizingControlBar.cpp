#include "ui/chrome/CSizingControlBar.h"

#include "platform/ProfileStore.h"
#include "ui/chrome/DockRowLayout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QResizeEvent>

#include <algorithm>

namespace ulv {

namespace {

QSize AtLeast(QSize size, QSize minimum)
{
    return {std::max(size.width(), minimum.width()), std::max(size.height(), minimum.height())};
}

} // namespace

CSizingControlBar::CSizingControlBar(QWidget* parent)
    : QDockWidget(parent)
{
    // A close request from a child or the title must never destroy the bar;
    // owners hide it explicitly.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    connect(this, &QDockWidget::topLevelChanged, this, &CSizingControlBar::OnTopLevelChanged);
    connect(this, &QDockWidget::dockLocationChanged, this, &CSizingControlBar::OnLocationChanged);
}

CSizingControlBar::~CSizingControlBar()
{
    // The dock widget's own destruction must not call back into this part.
    disconnect(this, &QDockWidget::topLevelChanged, this, &CSizingControlBar::OnTopLevelChanged);
    disconnect(this, &QDockWidget::dockLocationChanged, this, &CSizingControlBar::OnLocationChanged);
}

bool CSizingControlBar::DockBeside(CSizingControlBar* other)
{
    if (!m_site || !other || other == this || other->m_site != m_site || other->isFloating()
        || m_site->dockWidgetArea(other) == Qt::NoDockWidgetArea)
        return false;
    const Qt::DockWidgetArea area = m_site->dockWidgetArea(other);
    const bool horz = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    if (isFloating())
        setFloating(false);
    m_site->splitDockWidget(other, this, horz ? Qt::Horizontal : Qt::Vertical);
    if (DockRowLayout* rows = RowLayout())
        rows->DelayRecalcLayout();
    return true;
}

std::vector<CSizingControlBar*> CSizingControlBar::RowBars() const
{
    std::vector<CSizingControlBar*> row;
    DockRowLayout* rows = RowLayout();
    if (!rows || isFloating() || !isVisible())
        return row;
    rows->ReadRows();
    for (SizingBarState* bar : CollectRowBars())
        if (auto* sizing = dynamic_cast<CSizingControlBar*>(bar))
            row.push_back(sizing);
    return row;
}

DockRowLayout* CSizingControlBar::RowLayout() const
{
    // Found, never made here: a bar going away with its frame must not
    // make a layout for a frame half destroyed.
    return m_site ? m_site->findChild<DockRowLayout*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool CSizingControlBar::Create(const QString& title, QMainWindow* parent, int id, unsigned style)
{
    if (!parent)
        return false;
    m_site = parent;
    m_id = id;
    m_dwSCBStyle = style;
    setParent(parent);
    setWindowTitle(title);
    setObjectName(QStringLiteral("SCBar-%1").arg(id));
    setMinimumSize(MinimumForSide());
    DockRowLayout::Of(parent);
    return true;
}

bool CSizingControlBar::Create(
    const QString& title, QMainWindow* parent, QSize defaultSize, bool /*gripper*/, int id, unsigned style)
{
    m_szHorz = m_szVert = m_szFloat = defaultSize;
    return Create(title, parent, id, style);
}

QString CSizingControlBar::StateSection(const QString& profileName, int id)
{
    // The section name is bounded as the profile API bounds it.
    return QStringLiteral("%1-SCBar-%2").arg(profileName).arg(id).left(255);
}

void CSizingControlBar::LoadState(const QString& profileName)
{
    const QString section = StateSection(profileName, m_id);
    auto read = [&](const char* key, int current, int minimum) {
        return std::max(minimum, ProfileStore::GetInt(section, QString::fromLatin1(key), current));
    };
    m_szHorz.setWidth(read("sizeHorzCX", m_szHorz.width(), m_szMinHorz.width()));
    m_szHorz.setHeight(read("sizeHorzCY", m_szHorz.height(), m_szMinHorz.height()));
    m_szVert.setWidth(read("sizeVertCX", m_szVert.width(), m_szMinVert.width()));
    m_szVert.setHeight(read("sizeVertCY", m_szVert.height(), m_szMinVert.height()));
    m_szFloat.setWidth(read("sizeFloatCX", m_szFloat.width(), m_szMinFloat.width()));
    m_szFloat.setHeight(read("sizeFloatCY", m_szFloat.height(), m_szMinFloat.height()));
    if (DockSide() != 0)
        ApplyRememberedSize();
}

void CSizingControlBar::SaveState(const QString& profileName)
{
    const QString section = StateSection(profileName, m_id);
    ProfileStore::WriteInt(section, QStringLiteral("sizeHorzCX"), m_szHorz.width());
    ProfileStore::WriteInt(section, QStringLiteral("sizeHorzCY"), m_szHorz.height());
    ProfileStore::WriteInt(section, QStringLiteral("sizeVertCX"), m_szVert.width());
    ProfileStore::WriteInt(section, QStringLiteral("sizeVertCY"), m_szVert.height());
    ProfileStore::WriteInt(section, QStringLiteral("sizeFloatCX"), m_szFloat.width());
    ProfileStore::WriteInt(section, QStringLiteral("sizeFloatCY"), m_szFloat.height());
}

void CSizingControlBar::LoadAllBarStates(QMainWindow* frame, const QString& profileName)
{
    if (!frame)
        return;
    for (CSizingControlBar* bar : frame->findChildren<CSizingControlBar*>())
        bar->LoadState(profileName);
}

void CSizingControlBar::SaveAllBarStates(QMainWindow* frame, const QString& profileName)
{
    if (!frame)
        return;
    for (CSizingControlBar* bar : frame->findChildren<CSizingControlBar*>())
        bar->SaveState(profileName);
}

unsigned CSizingControlBar::DockSide() const
{
    if (!m_site)
        return 0;
    if (isFloating())
        return AFX_IDW_DOCKBAR_FLOAT;
    switch (m_site->dockWidgetArea(const_cast<CSizingControlBar*>(this))) {
    case Qt::TopDockWidgetArea:
        return AFX_IDW_DOCKBAR_TOP;
    case Qt::LeftDockWidgetArea:
        return AFX_IDW_DOCKBAR_LEFT;
    case Qt::RightDockWidgetArea:
        return AFX_IDW_DOCKBAR_RIGHT;
    case Qt::BottomDockWidgetArea:
        return AFX_IDW_DOCKBAR_BOTTOM;
    default:
        return 0;
    }
}

bool CSizingControlBar::IsHorzDocked() const
{
    const unsigned side = DockSide();
    return side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM;
}

bool CSizingControlBar::IsVertDocked() const
{
    const unsigned side = DockSide();
    return side == AFX_IDW_DOCKBAR_LEFT || side == AFX_IDW_DOCKBAR_RIGHT;
}

QSize CSizingControlBar::CalcDynamicLayout(int length, unsigned mode)
{
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (length == -1)
            m_bParentSizing = true;
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
    }
    if (mode & (LM_MRUWIDTH | LM_COMMIT))
        return m_szFloat;
    if (mode & LM_LENGTHY)
        m_szFloat.setHeight(length);
    else
        m_szFloat.setWidth(length);
    m_szFloat = AtLeast(m_szFloat, m_szMinFloat);
    return m_szFloat;
}

QSize CSizingControlBar::MinimumForSide() const
{
    // Along a docked row the bars' own sharing keeps each at its minimum
    // length and breaks a row that cannot hold them; left to the dock
    // layout, that minimum would make the frame grow instead.
    if (IsHorzDocked())
        return {0, m_szMinHorz.height()};
    if (IsVertDocked())
        return {m_szMinVert.width(), 0};
    return m_szMinFloat;
}

void CSizingControlBar::ApplyRememberedSize()
{
    m_applying = true;
    setMinimumSize(MinimumForSide());
    if (isFloating()) {
        resize(AtLeast(m_szFloat, m_szMinFloat));
    } else if (DockRowLayout* rows = RowLayout(); rows && (IsHorzDocked() || IsVertDocked())) {
        rows->RecalcLayout();
    }
    m_applying = false;
}

bool CSizingControlBar::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::ShowToParent:
        if (DockRowLayout* rows = RowLayout()) {
            // Shown while docked: the bar keeps its length through the next
            // sharing of its row (a re-docking by the layout is no showing).
            if (!rows->IsRearranging())
                OnPositionChanging(DockSide(), true);
            rows->DelayRecalcLayout();
        }
        break;
    case QEvent::HideToParent:
        if (DockRowLayout* rows = RowLayout())
            rows->DelayRecalcLayout();
        break;
    default:
        break;
    }
    return QDockWidget::event(e);
}

bool CSizingControlBar::IsWindowShown() const
{
    // A floating bar has left its row, whatever the row layout last read.
    return isVisible() && !isFloating();
}

void CSizingControlBar::SetWindowShown(bool shown)
{
    setVisible(shown);
}

int CSizingControlBar::WindowMinLength(bool horz) const
{
    // The dock widget's title (its buttons) and its content: a length below
    // this the dock layout would not give, and the row would not add up.
    const QSize least = layout() ? layout()->minimumSize() : QSize();
    return horz ? least.width() : least.height();
}

void CSizingControlBar::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void CSizingControlBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    if (m_applying || !isVisible())
        return;
    // Only what the user sizes is remembered: a floating frame's size, or a
    // docked bar's size while an edge is dragged. The dock layout moving
    // things about on its own is not a new size.
    const bool dragging = QGuiApplication::mouseButtons() != Qt::NoButton;
    const QSize now = event->size();
    if (isFloating())
        m_szFloat = AtLeast(now, m_szMinFloat);
    else if (dragging && IsHorzDocked())
        m_szHorz = AtLeast(now, m_szMinHorz);
    else if (dragging && IsVertDocked())
        m_szVert = AtLeast(now, m_szMinVert);
}

void CSizingControlBar::OnTopLevelChanged(bool floating)
{
    m_nDockBarID = DockSide();
    if (floating) {
        ApplyRememberedSize();
        return;
    }
    OnLocationChanged();
}

void CSizingControlBar::OnLocationChanged()
{
    // Called from inside the dock layout's own docking: the rows are laid
    // out once it is done.
    m_nDockBarID = DockSide();
    setMinimumSize(MinimumForSide());
    if (DockRowLayout* rows = RowLayout())
        rows->DelayRecalcLayout();
}

} // namespace ulv
