#include "pages/positioning/CChartContrl.h"

#include "core/gnss/NmeaParser.h"
#include "ui/controls/WinLook.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cstring>

namespace ulv {

namespace {

constexpr COLORREF kMarkerColours[5] = {0xC8C800, 0x00C8C8, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr COLORREF kPositionColour = 0x00FF00;
constexpr COLORREF kLandColour = 0x7D7D7D;

} // namespace

CChartContrl::CChartContrl(QWidget* parent)
    : ChartSkeleton(parent)
    , m_labelFont(ChartFont(QStringLiteral("SimSun"), 12, 900))
    , m_dLatitude(NmeaParser::kDefaultLatitude)
    , m_dLongitude(NmeaParser::kDefaultLongitude)
{
}

bool CChartContrl::LoadOutline(const QString& path)
{
    UpdateClientRect();
    m_landLayerStale = true;
    return m_outline.Load(path, m_rectClient.Width(), m_rectClient.Height());
}

void CChartContrl::SetPosition(double latitude, double longitude)
{
    m_dLatitude = latitude;
    m_dLongitude = longitude;
}

void CChartContrl::SetMarker(int index, int active, int x, int y, int colour, const QString& text)
{
    if (index < 0 || index >= int(m_markers.size()))
        return;
    MapMarker& m = m_markers[size_t(index)];
    m.active = active;
    m.x = x;
    m.y = y;
    m.colour = colour;
    const QByteArray bytes = text.toUtf8().left(int(sizeof m.text) - 1);
    std::memset(m.text, 0, sizeof m.text);
    std::memcpy(m.text, bytes.constData(), size_t(bytes.size()));
}

void CChartContrl::DrawChart(QPainter& p)
{
    DrawLand(p);
    DrawPositionMarker(p);
    DrawMarkers(p);
}

void CChartContrl::DrawLand(QPainter& p)
{
    // The land only changes with the outline: filled once, then copied.
    const QSize size(std::max(1, m_rectClient.Width()), std::max(1, m_rectClient.Height()));
    if (m_landLayer.size() != size || m_landLayerStale) {
        m_landLayer = QImage(size, QImage::Format_ARGB32_Premultiplied);
        m_landLayer.fill(Qt::transparent);
        QPainter l(&m_landLayer);
        l.setPen(Qt::NoPen);
        l.setBrush(ColorRefToQColor(kLandColour));
        for (const auto& polygon : m_outline.Polygons()) {
            if (polygon.size() < 3)
                continue;
            l.drawPolygon(QPolygon(QList<QPoint>(polygon.begin(), polygon.end())), Qt::OddEvenFill);
        }
        m_landLayerStale = false;
    }
    p.drawImage(m_rectClient.left, m_rectClient.top, m_landLayer);
}

void CChartContrl::DrawPositionMarker(QPainter& p)
{
    if (!WorldOutline::IsMarkedPosition(m_dLatitude, m_dLongitude))
        return;
    const QPoint c = WorldOutline::ProjectPosition(m_dLatitude, m_dLongitude, m_rectClient.Width(), m_rectClient.Height());
    p.save();
    p.setPen(ColorRefToQColor(kPositionColour));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 7, 7);
    p.drawLine(c.x() - 13, c.y(), c.x() + 13, c.y());
    p.drawLine(c.x(), c.y() - 13, c.x(), c.y() + 13);
    p.restore();
}

void CChartContrl::DrawMarkers(QPainter& p)
{
    p.save();
    p.setFont(m_labelFont);
    for (const MapMarker& m : m_markers) {
        if (!m.active)
            continue;
        const QColor colour = ColorRefToQColor(kMarkerColours[m.colour >= 0 && m.colour < 5 ? m.colour : 0]);
        p.setPen(colour);
        p.setBrush(colour);
        p.drawEllipse(EdgeRect(m.x - 13, m.y - 10, m.x + 13, m.y + 10));
        p.setPen(Qt::white);
        p.drawText(EdgeRect(m.x - 12, m.y - 9, m.x + 12, m.y + 9), Qt::AlignCenter | Qt::TextSingleLine,
            QString::fromUtf8(m.text, int(strnlen(m.text, sizeof m.text))));
    }
    p.restore();
}

} // namespace ulv
