#pragma once

// The Windows look the dialogs were drawn with: fixed system colours and
// metrics (Windows 10 defaults at 96 dpi), COLORREF conversions, the classic
// 3-D drawing helpers, the C runtime's rand and the font substitutions.
// Every control of the program draws through this module so that a colour
// given as 0x00BBGGRR lands on screen exactly as on the original platform.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

namespace ulv {

// 0x00BBGGRR: red in the lowest byte.
using COLORREF = std::uint32_t;

constexpr COLORREF Rgb(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }

// Opaque QRgb / QColor of a COLORREF (the top byte is ignored) and back.
QRgb ColorRefToRgb(COLORREF c);
QColor ColorRefToQColor(COLORREF c);
COLORREF ColorRefFromRgb(QRgb rgb);
COLORREF ColorRefFromQColor(const QColor& color);

// GetSysColor indexes.
enum SysColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_DESKTOP = COLOR_BACKGROUND,
};

// The colour of a system colour index; 0 (black) for an unknown index.
COLORREF GetSysColor(int index);
QRgb SysRgb(int index);

// GetSystemMetrics indexes.
enum SysMetricIndex : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_CXMIN = 28,
    SM_CYMIN = 29,
    SM_CXSIZE = 30,
    SM_CYSIZE = 31,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXMINTRACK = 34,
    SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXICONSPACING = 38,
    SM_CYICONSPACING = 39,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXSMSIZE = 52,
    SM_CYSMSIZE = 53,
    SM_CXMENUSIZE = 54,
    SM_CYMENUSIZE = 55,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
    SM_CXMENUCHECK = 71,
    SM_CYMENUCHECK = 72,
    SM_CXPADDEDBORDER = 92,
    SM_CXFIXEDFRAME = SM_CXDLGFRAME,
    SM_CYFIXEDFRAME = SM_CYDLGFRAME,
    SM_CXSIZEFRAME = SM_CXFRAME,
    SM_CYSIZEFRAME = SM_CYFRAME,
};

// The metric of an index at 96 dpi; 0 for an unknown index.
int GetSystemMetrics(int index);

// ---- Drawing. Rectangles are Qt rectangles (x, y, width, height).

void FillSolidRect(QPainter& p, const QRect& r, COLORREF color);

// One-pixel frame: top and left lines in topLeft, right and bottom lines (which
// own the corners they share) in bottomRight, as the classic Draw3dRect.
void Draw3dRect(QPainter& p, const QRect& r, COLORREF topLeft, COLORREF bottomRight);

// DrawEdge border kinds and sides.
enum EdgeBits : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
enum EdgeSides : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = 0xF,
    BF_MIDDLE = 0x800,
};

// Draws up to two nested one-pixel borders with the system's edge colours
// (raised outer: 3DLIGHT / 3DDKSHADOW, raised inner: BTNHIGHLIGHT / BTNSHADOW,
// sunken the reverse pairs) on the chosen sides; BF_MIDDLE fills the inside
// with COLOR_BTNFACE. Returns the rectangle inside the borders.
QRect DrawEdge(QPainter& p, const QRect& r, unsigned edge, unsigned sides = BF_RECT);

// The dotted focus rectangle (every other pixel, alternating black and white).
void DrawFocusRect(QPainter& p, const QRect& r);

// Disabled text: once in COLOR_BTNHIGHLIGHT moved by (1, 1), then in
// COLOR_BTNSHADOW in place. flags are Qt::AlignmentFlag | Qt::TextFlag.
void DrawEmbossedText(QPainter& p, const QRect& r, int flags, const QString& text);

// The platform's disabled-state rendering of a picture: every pixel that is
// neither transparent nor near white becomes part of a shape drawn in
// COLOR_BTNHIGHLIGHT moved by (1, 1) and then in COLOR_BTNSHADOW in place.
QImage DisabledImage(const QImage& image);
void DrawDisabledImage(QPainter& p, const QPoint& at, const QImage& image);

// ---- The C runtime's rand(), one generator per thread, seeded with 1.
int CrtRand();
void CrtSrand(unsigned seed);
constexpr int CRT_RAND_MAX = 0x7FFF;

// ---- Fonts.

// Maps the Windows faces the dialogs name onto the fonts installed here
// ("Arial Unicode MS" and "Arial" to Liberation Sans, "Tahoma" to DejaVu Sans,
// SimSun / 宋体 to WenQuanYi Micro Hei). Called once at start-up and by tests;
// calling it again does no harm.
void InstallFontSubstitutions();

// The face and size of the main window's views ("Arial Unicode MS", 8
// points), which every dialog and message box shares.
QFont ProgramFont();
// Makes ProgramFont() the application's default, so that windows of their
// own (dialogs, message boxes, file choosers) get it too: Qt hands a
// parent's font on to child widgets but not to windows. Needs the
// application object.
void InstallProgramFont();

// A font from LOGFONT-like values: a negative height is the character height
// in pixels, a positive one the cell height (taken as the pixel size too);
// weight on the 100..900 scale; 0 keeps the face's normal weight.
QFont LogFont(const QString& face, int height, int weight = 400, bool italic = false,
              bool underline = false);

// The menu font of the system's non-client metrics (Segoe UI, 9 points at
// 96 dpi).
QFont SystemMenuFont();

} // namespace ulv
