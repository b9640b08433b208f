#include "ui/chrome/CAutoHideFrame.h"

#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CDockPageBar.h"

#include <QMdiArea>

namespace ulv {

namespace {

struct StripSide {
    int id;
    unsigned style;
};

// Side styles carry the edge and the border facing the frame's centre.
constexpr StripSide kStrips[] = {
    {kAutoHideTopId, 0x2800},
    {kAutoHideBottomId, 0x8200},
    {kAutoHideLeftId, 0x1400},
    {kAutoHideRightId, 0x4100},
};

} // namespace

CAutoHideFrame::CAutoHideFrame(QWidget* parent)
    : QMainWindow(parent)
{
}

CAutoHideFrame::~CAutoHideFrame()
{
    DestroyStrips();
}

void CAutoHideFrame::DestroyStrips()
{
    for (const StripSide& side : kStrips)
        delete Strip(side.id);
}

void CAutoHideFrame::EnableDocking(unsigned dockStyle)
{
    for (const StripSide& side : kStrips) {
        if (!(side.style & dockStyle & CBRS_ALIGN_ANY) || Strip(side.id))
            continue;
        auto* strip = new CAutoHideBar(this);
        strip->Create(this, side.style, side.id);
    }
}

CAutoHideBar* CAutoHideFrame::Strip(int id) const
{
    for (CAutoHideBar* strip : findChildren<CAutoHideBar*>(Qt::FindDirectChildrenOnly))
        if (strip->GetDlgCtrlID() == id)
            return strip;
    return nullptr;
}

CMDIAutoHideFrame::CMDIAutoHideFrame(QWidget* parent)
    : CAutoHideFrame(parent)
    , m_mdi(new QMdiArea(this))
{
    setCentralWidget(m_mdi);
}

QWidget* CMDIAutoHideFrame::WorkArea() const
{
    return m_mdi;
}

} // namespace ulv
