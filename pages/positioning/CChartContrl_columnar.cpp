#include "pages/positioning/CChartContrl_columnar.h"

#include "core/gnss/SignalBarLayout.h"
#include "ui/controls/WinLook.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace ulv {

namespace {

const QString kFace = QStringLiteral("Arial Unicode MS");

constexpr COLORREF kOutline = 0x7D7D7D;
constexpr COLORREF kPlot = 0xCDCDCD;

COLORREF BrushColour(BarBrush b)
{
    switch (b) {
    case BarBrush::GpsTracked: return 0x00A5FD;
    case BarBrush::GpsUsed: return 0xCE975A;
    case BarBrush::GlonassTracked: return 0x5C5CFF;
    case BarBrush::GlonassUsed: return 0xFF5C5C;
    case BarBrush::Sbas: return 0x52A86A;
    }
    return kOutline;
}

struct LegendEntry {
    const char* text;
    int boxLeft; // from the client's left edge
    BarBrush brush;
};
constexpr LegendEntry kLegend[] = {
    {"GPS Tracked", 15, BarBrush::GpsTracked},
    {"GPS Used", 105, BarBrush::GpsUsed},
    {"Glonass Tracked", 180, BarBrush::GlonassTracked},
    {"Glonass Used", 280, BarBrush::GlonassUsed},
    {"SBAS", 370, BarBrush::Sbas},
};

} // namespace

CChartContrl_columnar::CChartContrl_columnar(QWidget* parent)
    : ChartSkeleton(parent)
    , m_axisFont(ChartFont(kFace, 16, 400))
    , m_verticalFont(ChartFont(kFace, 16, 400))
    , m_prnFont(ChartFont(kFace, 12, 400))
    , m_valueFont(ChartFont(kFace, 14, 400))
    , m_legendFont(ChartFont(kFace, 14, 400))
{
}

std::vector<CChartContrl_columnar::LegendPlace> CChartContrl_columnar::PlaceLegend(const QFont& font) const
{
    // The boxes keep their places unless the text left of one is wider than
    // the room it leaves, as "Glonass Tracked" is in our fonts.
    const QFontMetrics fm(font);
    const ChartRect& c = m_rectClient;
    std::vector<LegendPlace> places;
    int textEnd = 0;
    for (const LegendEntry& e : kLegend) {
        const int left = std::max(c.left + e.boxLeft, textEnd + 6);
        const QString text = QString::fromLatin1(e.text);
        const QRect box(left, c.top + 1, 15, 15);
        const QRect textRect(left + 17, c.top + 1, fm.horizontalAdvance(text) + 1, std::max(16, fm.height()));
        places.push_back({text, box, textRect});
        textEnd = textRect.right() + 1;
    }
    return places;
}

QFont CChartContrl_columnar::LegendFont() const
{
    // A chart too narrow for the row in the legend font gets a smaller one,
    // so that every entry stays whole inside the chart.
    QFont font = m_legendFont;
    while (font.pixelSize() > 9 && PlaceLegend(font).back().textRect.right() >= m_rectClient.right)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

std::vector<CChartContrl_columnar::LegendPlace> CChartContrl_columnar::LegendPlaces() const
{
    return PlaceLegend(LegendFont());
}

void CChartContrl_columnar::DrawChart(QPainter& p)
{
    const ChartRect& c = m_rectClient;
    const SignalBarChartLayout layout = LayOutSignalBarChart(m_satellites, c);
    const ChartRect& plot = layout.plot;
    const int plotHeight = plot.bottom - plot.top;
    const QColor outline = ColorRefToQColor(kOutline);
    const QColor black(Qt::black);

    p.save();
    // Legend, one row along the top.
    p.setFont(LegendFont());
    const std::vector<LegendPlace> legend = LegendPlaces();
    for (size_t i = 0; i < legend.size(); ++i) {
        const QRect& box = legend[i].box;
        p.setPen(outline);
        p.setBrush(ColorRefToQColor(BrushColour(kLegend[i].brush)));
        p.drawRect(EdgeRect(box.left(), box.top(), box.right() + 1, box.bottom() + 1));
        p.setPen(black);
        p.drawText(legend[i].textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, legend[i].text);
    }

    // Axis titles.
    const int mx = c.left + (c.right - c.left) / 2;
    p.setFont(m_axisFont);
    p.drawText(EdgeRect(mx - 70, c.bottom - 30, mx + 70, c.bottom - 10), Qt::AlignHCenter | Qt::AlignTop,
        QStringLiteral("Satellite PRN number"));
    p.save();
    p.setFont(m_verticalFont);
    p.translate(c.left + 10, plot.top + plotHeight / 2 + 30);
    p.rotate(-90);
    p.drawText(QPoint(0, p.fontMetrics().ascent()), QStringLiteral("S/N [dBHZ]"));
    p.restore();

    // Plot box, axes with their arrow heads, and the upper and right border.
    p.setPen(ColorRefToQColor(kPlot));
    p.setBrush(ColorRefToQColor(kPlot));
    p.drawRect(EdgeRect(plot));
    p.setBrush(Qt::NoBrush);
    p.setPen(black);
    p.drawPolyline(QPolygon(QList<QPoint>{QPoint(plot.left - 3, plot.top - 2), QPoint(plot.left, plot.top - 9),
        QPoint(plot.left + 3, plot.top - 2)}));
    p.drawPolyline(QPolygon(QList<QPoint>{QPoint(plot.right + 2, plot.bottom - 3), QPoint(plot.right + 9, plot.bottom),
        QPoint(plot.right + 2, plot.bottom + 3)}));
    p.drawPolyline(QPolygon(QList<QPoint>{QPoint(plot.left, plot.top - 9), QPoint(plot.left, plot.bottom),
        QPoint(plot.right + 9, plot.bottom)}));
    p.setPen(outline);
    p.drawPolyline(QPolygon(QList<QPoint>{QPoint(plot.left, plot.top), QPoint(plot.right, plot.top),
        QPoint(plot.right, plot.bottom)}));

    // Vertical grid, one dotted line per slot.
    p.setPen(QPen(outline, 1, Qt::DotLine));
    for (int x : layout.gridX)
        p.drawLine(x, plot.top, x, plot.bottom);

    // Scale.
    p.setPen(black);
    p.setFont(m_valueFont);
    for (const auto& t : layout.ticks) {
        p.drawLine(plot.left - 2, t.y, plot.left + 2, t.y);
        if (!t.label.isEmpty())
            p.drawText(EdgeRect(t.labelBox), Qt::AlignHCenter | Qt::AlignTop, t.label);
    }

    // Bars with their value above and their number below.
    for (const auto& b : layout.bars) {
        p.setPen(outline);
        p.setBrush(ColorRefToQColor(BrushColour(b.brush)));
        p.drawRect(EdgeRect(b.rect));
        p.setPen(black);
        p.setFont(m_valueFont);
        p.drawText(EdgeRect(b.valueBox), Qt::AlignHCenter | Qt::AlignTop, b.value);
        p.setFont(m_prnFont);
        p.drawText(EdgeRect(b.prnBox), Qt::AlignHCenter | Qt::AlignTop, b.prn);
    }
    p.restore();
}

} // namespace ulv
