#include "ui/controls/WinLook.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStringList>

#include <array>

namespace ulv {

QRgb ColorRefToRgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ColorRefToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF ColorRefFromRgb(QRgb rgb)
{
    return Rgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

COLORREF ColorRefFromQColor(const QColor& color)
{
    return ColorRefFromRgb(color.rgb());
}

namespace {

struct IndexedColor {
    int index;
    COLORREF color;
};

// Windows 10 defaults (the "Windows" theme).
constexpr std::array<IndexedColor, 30> kSysColors{{
    {COLOR_SCROLLBAR, Rgb(200, 200, 200)},
    {COLOR_BACKGROUND, Rgb(0, 0, 0)},
    {COLOR_ACTIVECAPTION, Rgb(153, 180, 209)},
    {COLOR_INACTIVECAPTION, Rgb(191, 205, 219)},
    {COLOR_MENU, Rgb(240, 240, 240)},
    {COLOR_WINDOW, Rgb(255, 255, 255)},
    {COLOR_WINDOWFRAME, Rgb(100, 100, 100)},
    {COLOR_MENUTEXT, Rgb(0, 0, 0)},
    {COLOR_WINDOWTEXT, Rgb(0, 0, 0)},
    {COLOR_CAPTIONTEXT, Rgb(0, 0, 0)},
    {COLOR_ACTIVEBORDER, Rgb(180, 180, 180)},
    {COLOR_INACTIVEBORDER, Rgb(244, 247, 252)},
    {COLOR_APPWORKSPACE, Rgb(171, 171, 171)},
    {COLOR_HIGHLIGHT, Rgb(0, 120, 215)},
    {COLOR_HIGHLIGHTTEXT, Rgb(255, 255, 255)},
    {COLOR_BTNFACE, Rgb(240, 240, 240)},
    {COLOR_BTNSHADOW, Rgb(160, 160, 160)},
    {COLOR_GRAYTEXT, Rgb(109, 109, 109)},
    {COLOR_BTNTEXT, Rgb(0, 0, 0)},
    {COLOR_INACTIVECAPTIONTEXT, Rgb(0, 0, 0)},
    {COLOR_BTNHIGHLIGHT, Rgb(255, 255, 255)},
    {COLOR_3DDKSHADOW, Rgb(105, 105, 105)},
    {COLOR_3DLIGHT, Rgb(227, 227, 227)},
    {COLOR_INFOTEXT, Rgb(0, 0, 0)},
    {COLOR_INFOBK, Rgb(255, 255, 225)},
    {COLOR_HOTLIGHT, Rgb(0, 102, 204)},
    {COLOR_GRADIENTACTIVECAPTION, Rgb(185, 209, 234)},
    {COLOR_GRADIENTINACTIVECAPTION, Rgb(215, 228, 242)},
    {COLOR_MENUHILIGHT, Rgb(51, 153, 255)},
    {COLOR_MENUBAR, Rgb(240, 240, 240)},
}};

struct IndexedMetric {
    int index;
    int value;
};

// 96 dpi, a 1920 x 1080 screen with a 40-pixel task bar.
constexpr std::array<IndexedMetric, 47> kMetrics{{
    {SM_CXSCREEN, 1920},      {SM_CYSCREEN, 1080},      {SM_CXVSCROLL, 17},
    {SM_CYHSCROLL, 17},       {SM_CYCAPTION, 23},       {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},         {SM_CXDLGFRAME, 3},       {SM_CYDLGFRAME, 3},
    {SM_CYVTHUMB, 17},        {SM_CXHTHUMB, 17},        {SM_CXICON, 32},
    {SM_CYICON, 32},          {SM_CXCURSOR, 32},        {SM_CYCURSOR, 32},
    {SM_CYMENU, 20},          {SM_CXFULLSCREEN, 1920},  {SM_CYFULLSCREEN, 1017},
    {SM_CYVSCROLL, 17},       {SM_CXHSCROLL, 17},       {SM_CXMIN, 136},
    {SM_CYMIN, 39},           {SM_CXSIZE, 36},          {SM_CYSIZE, 22},
    {SM_CXFRAME, 4},          {SM_CYFRAME, 4},          {SM_CXMINTRACK, 136},
    {SM_CYMINTRACK, 39},      {SM_CXDOUBLECLK, 4},      {SM_CYDOUBLECLK, 4},
    {SM_CXICONSPACING, 75},   {SM_CYICONSPACING, 75},   {SM_CXEDGE, 2},
    {SM_CYEDGE, 2},           {SM_CXSMICON, 16},        {SM_CYSMICON, 16},
    {SM_CYSMCAPTION, 22},     {SM_CXSMSIZE, 22},        {SM_CYSMSIZE, 22},
    {SM_CXMENUSIZE, 19},      {SM_CYMENUSIZE, 19},      {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},           {SM_CXMENUCHECK, 15},     {SM_CYMENUCHECK, 15},
    {SM_CXPADDEDBORDER, 4},   {22 /* SM_DEBUG */, 0},
}};

} // namespace

COLORREF GetSysColor(int index)
{
    for (const auto& c : kSysColors)
        if (c.index == index)
            return c.color;
    return 0;
}

QRgb SysRgb(int index)
{
    return ColorRefToRgb(GetSysColor(index));
}

int GetSystemMetrics(int index)
{
    for (const auto& m : kMetrics)
        if (m.index == index)
            return m.value;
    return 0;
}

void FillSolidRect(QPainter& p, const QRect& r, COLORREF color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.fillRect(r, ColorRefToQColor(color));
}

namespace {

void DrawSides(QPainter& p, const QRect& r, COLORREF topLeft, COLORREF bottomRight, unsigned sides)
{
    const int x = r.x(), y = r.y(), cx = r.width(), cy = r.height();
    if (cx <= 0 || cy <= 0)
        return;
    if (sides & BF_TOP)
        FillSolidRect(p, QRect(x, y, cx - 1, 1), topLeft);
    if (sides & BF_LEFT)
        FillSolidRect(p, QRect(x, y, 1, cy - 1), topLeft);
    if (sides & BF_RIGHT)
        FillSolidRect(p, QRect(x + cx - 1, y, 1, cy), bottomRight);
    if (sides & BF_BOTTOM)
        FillSolidRect(p, QRect(x, y + cy - 1, cx, 1), bottomRight);
}

QRect Shrink(const QRect& r, unsigned sides)
{
    return r.adjusted((sides & BF_LEFT) ? 1 : 0, (sides & BF_TOP) ? 1 : 0,
                      (sides & BF_RIGHT) ? -1 : 0, (sides & BF_BOTTOM) ? -1 : 0);
}

} // namespace

void Draw3dRect(QPainter& p, const QRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    DrawSides(p, r, topLeft, bottomRight, BF_RECT);
}

QRect DrawEdge(QPainter& p, const QRect& r, unsigned edge, unsigned sides)
{
    QRect inner = r;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            DrawSides(p, inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW), sides);
        else
            DrawSides(p, inner, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT), sides);
        inner = Shrink(inner, sides);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            DrawSides(p, inner, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW), sides);
        else
            DrawSides(p, inner, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT), sides);
        inner = Shrink(inner, sides);
    }
    if (sides & BF_MIDDLE)
        FillSolidRect(p, inner, GetSysColor(COLOR_BTNFACE));
    return inner;
}

void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QColor black(0, 0, 0), white(255, 255, 255);
    auto dot = [&](int x, int y) { p.fillRect(QRect(x, y, 1, 1), ((x + y) & 1) ? white : black); };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}

void DrawEmbossedText(QPainter& p, const QRect& r, int flags, const QString& text)
{
    p.save();
    p.setPen(ColorRefToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)));
    p.drawText(r.translated(1, 1), flags, text);
    p.setPen(ColorRefToQColor(GetSysColor(COLOR_BTNSHADOW)));
    p.drawText(r, flags, text);
    p.restore();
}

QImage DisabledImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.width() + 1, src.height() + 1, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb hi = SysRgb(COLOR_BTNHIGHLIGHT), sh = SysRgb(COLOR_BTNSHADOW);
    auto inShape = [&](int x, int y) {
        const QRgb px = src.pixel(x, y);
        if (qAlpha(px) < 128)
            return false;
        return qGray(px) < 192;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (inShape(x, y))
                out.setPixel(x + 1, y + 1, hi);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (inShape(x, y))
                out.setPixel(x, y, sh);
    return out;
}

void DrawDisabledImage(QPainter& p, const QPoint& at, const QImage& image)
{
    const QImage img = DisabledImage(image);
    if (!img.isNull())
        p.drawImage(at, img);
}

namespace {
thread_local std::uint32_t t_crtSeed = 1;
}

int CrtRand()
{
    t_crtSeed = t_crtSeed * 214013u + 2531011u;
    return int((t_crtSeed >> 16) & 0x7FFF);
}

void CrtSrand(unsigned seed)
{
    t_crtSeed = seed;
}

void InstallFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Arial Unicode MS"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"));
    QFont::insertSubstitution(QString::fromUtf8("宋体"), QStringLiteral("WenQuanYi Micro Hei"));
}

QFont ProgramFont()
{
    QFont font(QStringLiteral("Arial Unicode MS"));
    font.setPointSize(8);
    return font;
}

void InstallProgramFont()
{
    QGuiApplication::setFont(ProgramFont());
}

QFont LogFont(const QString& face, int height, int weight, bool italic, bool underline)
{
    QFont font(face);
    const int px = height < 0 ? -height : height;
    if (px > 0)
        font.setPixelSize(px);
    if (weight > 0)
        font.setWeight(QFont::Weight(qBound(1, weight, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QFont SystemMenuFont()
{
    static const QFont font = LogFont(QStringLiteral("Segoe UI"), -12, 400);
    return font;
}

} // namespace ulv
