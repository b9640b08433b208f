#include "pages/positioning/CChartContrl_radar.h"

#include "ui/controls/WinLook.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace ulv {

namespace {

const QString kFace = QStringLiteral("Arial Unicode MS");
constexpr COLORREF kClassColours[6] = {0xCE975A, 0x00A5FD, 0xFF5C5C, 0x5C5CFF, 0x52A86A, 0x7D7D7D};
constexpr COLORREF kGridBrush = 0xCDCDCD;

} // namespace

CChartContrl_radar::CChartContrl_radar(QWidget* parent)
    : ChartSkeleton(parent)
    , m_labelFont(ChartFont(kFace, 12, 900))
    , m_cardinalFont(ChartFont(kFace, 16, 400))
    , m_degreeFont(ChartFont(kFace, 14, 400))
{
}

QColor CChartContrl_radar::ClassColour(int colourClass)
{
    return ColorRefToQColor(kClassColours[colourClass >= 0 && colourClass < 6 ? colourClass : 5]);
}

void CChartContrl_radar::DrawChart(QPainter& p)
{
    // The grid depends on the size only: drawn once, then copied.
    const QSize size(std::max(1, m_rectClient.Width()), std::max(1, m_rectClient.Height()));
    if (m_gridLayer.size() != size) {
        m_gridLayer = QImage(size, QImage::Format_ARGB32_Premultiplied);
        m_gridLayer.fill(Qt::transparent);
        QPainter g(&m_gridLayer);
        DrawGrid(g, {0, 0, size.width(), size.height()});
    }
    p.drawImage(m_rectClient.left, m_rectClient.top, m_gridLayer);
    BuildSkyItems(m_satellites, m_items);
    DrawSatellites(p, m_rectClient);
}

void CChartContrl_radar::DrawGrid(QPainter& p, const ChartRect& rect)
{
    const SkyGridLayout grid = LayOutSkyGrid(rect);
    if (grid.circles.empty())
        return;
    const SkyFrame f = SkyPlotFrame(rect);
    p.save();
    p.setPen(Qt::black);
    p.setBrush(ColorRefToQColor(kGridBrush));
    p.setFont(m_degreeFont);
    for (const auto& c : grid.circles) {
        p.drawEllipse(EdgeRect(c.box));
        p.drawText(EdgeRect(c.labelBox), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, c.label);
    }
    for (const auto& s : grid.spokes) {
        p.drawLine(QPoint(f.cx, f.cy), s.end);
        p.setFont(s.cardinal ? m_cardinalFont : m_degreeFont);
        p.drawText(EdgeRect(s.labelBox), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, s.label);
    }
    p.restore();
}

void CChartContrl_radar::DrawSatellites(QPainter& p, const ChartRect& rect)
{
    p.save();
    p.setFont(m_labelFont);
    for (const SkyItem& item : m_items) {
        if (!item.active)
            continue;
        const QPoint c = SkyPosition(rect, item.elevation, item.azimuth);
        const QColor colour = ClassColour(item.colourClass);
        p.setPen(colour);
        p.setBrush(colour);
        p.drawEllipse(EdgeRect(c.x() - 13, c.y() - 10, c.x() + 13, c.y() + 10));
        p.setPen(Qt::white);
        p.drawText(EdgeRect(c.x() - 12, c.y() - 9, c.x() + 12, c.y() + 9), Qt::AlignCenter | Qt::TextSingleLine,
            QString::fromLatin1(item.label, int(strnlen(item.label, sizeof item.label))));
    }
    p.restore();
}

} // namespace ulv
