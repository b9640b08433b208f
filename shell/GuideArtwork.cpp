#include "shell/GuideArtwork.h"

#include "ui/controls/ControlResources.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ulv {

namespace {

struct PageArt {
    int id;
    QRgb top;
    QRgb bottom;
    const char* title;
    const char* lines[4];
};

// Each page has its own colours, so a page can be told from the next at a glance.
const PageArt kPages[] = {
    {322, qRgb(0x2b, 0x4f, 0x8a), qRgb(0x10, 0x22, 0x44), "Welcome to Ulvenscope",
        {"A bench tool for cellular modem modules", "on a serial port.", "", "Click next to go on."}},
    {332, qRgb(0x3a, 0x6a, 0x5a), qRgb(0x14, 0x30, 0x28), "Choose the module family",
        {"Pick the family of the module on your bench.", "", "", ""}},
    {320, qRgb(0x5a, 0x4a, 0x8a), qRgb(0x22, 0x1a, 0x40), "GSM family",
        {"Pages: connection, AT command, SMS, voice call,", "TCP/UDP, PPP dial-up, cell locator and AT scripts.",
            "", ""}},
    {338, qRgb(0x8a, 0x4a, 0x2a), qRgb(0x40, 0x1e, 0x0e), "UMTS/HSPA family",
        {"Pages: connection, AT command, SMS, voice call,", "TCP/UDP, PPP dial-up, MMS, GNSS, cell locator",
            "and AT scripts.", ""}},
    {346, qRgb(0x2a, 0x7a, 0x8a), qRgb(0x0c, 0x34, 0x3c), "GNSS and maps",
        {"The GNSS page reads NMEA from its own port and", "shows satellites, signal bars and the fix on a map.",
            "", ""}},
    {318, qRgb(0x6a, 0x6a, 0x2a), qRgb(0x2c, 0x2c, 0x0c), "The terminal",
        {"Every command sent and every reply received", "shows in the terminal, time-stamped if you wish,",
            "and can be written to a log file.", ""}},
    {317, qRgb(0x7a, 0x2a, 0x5a), qRgb(0x36, 0x0c, 0x26), "Connecting",
        {"Choose the serial port under Setting,", "then press Connect on the connection page.", "", ""}},
    {319, qRgb(0x3a, 0x3a, 0x3a), qRgb(0x12, 0x12, 0x12), "Ready",
        {"Click start to begin.", "", "", ""}},
};

QImage DrawPage(const PageArt& art)
{
    QImage img(700, 400, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 400);
    g.setColorAt(0, QColor(art.top));
    g.setColorAt(1, QColor(art.bottom));
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(40, 40, 620, 50), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(art.title));
    p.fillRect(QRect(40, 92, 620, 2), QColor(255, 255, 255, 140));
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(17);
    p.setFont(body);
    int y = 110;
    for (const char* line : art.lines) {
        p.drawText(QRect(40, y, 620, 26), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(line));
        y += 28;
    }
    return img;
}

QImage DrawNavButton(const QSize& size, const QString& text, QRgb face)
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    img.fill(face);
    p.setPen(QPen(QColor(255, 255, 255, 180), 1));
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, text);
    return img;
}

// A family card on pure green, the colour the buttons treat as transparent.
QImage DrawChoice(const QString& text, bool chosen)
{
    QImage img(220, 130, QImage::Format_RGB32);
    img.fill(qRgb(0, 0xFF, 0));
    QPainter p(&img);
    // No antialiasing at the card's edge: a blend with the green would show.
    QPainterPath card;
    card.addRoundedRect(QRectF(4, 4, 212, 122), 14, 14);
    p.fillPath(card, chosen ? QColor(0xF0, 0xA0, 0x20) : QColor(0x80, 0x80, 0x80));
    p.setPen(QPen(chosen ? QColor(Qt::white) : QColor(0xC0, 0xC0, 0xC0), chosen ? 4 : 2));
    p.drawPath(card);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    f.setBold(true);
    p.setFont(f);
    p.setPen(chosen ? Qt::black : QColor(0x30, 0x30, 0x30));
    p.drawText(QRect(4, 4, 212, 90), Qt::AlignCenter, text);
    f.setPixelSize(14);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(4, 84, 212, 36), Qt::AlignCenter, chosen ? QStringLiteral("chosen") : QStringLiteral("click to choose"));
    return img;
}

} // namespace

QImage GuidePicture(int id)
{
    ResourceStatus status = ResourceStatus::Missing;
    const QImage resource = LoadBitmapResource(id, &status);
    if (status == ResourceStatus::Loaded && !resource.isNull())
        return resource;
    for (const PageArt& art : kPages)
        if (art.id == id)
            return DrawPage(art);
    switch (id) {
    case 315:
        return DrawNavButton(QSize(78, 33), QStringLiteral("next >"), qRgb(0x33, 0x66, 0xAA));
    case 316:
        return DrawNavButton(QSize(77, 32), QStringLiteral("< pre"), qRgb(0x33, 0x66, 0xAA));
    case 321:
        return DrawNavButton(QSize(77, 32), QStringLiteral("start"), qRgb(0x22, 0x88, 0x44));
    case 333:
        return DrawChoice(QStringLiteral("GSM"), false);
    case 334:
        return DrawChoice(QStringLiteral("GSM"), true);
    case 335:
        return DrawChoice(QStringLiteral("UMTS/HSPA"), true);
    case 336:
        return DrawChoice(QStringLiteral("UMTS/HSPA"), false);
    default:
        return {};
    }
}

} // namespace ulv
