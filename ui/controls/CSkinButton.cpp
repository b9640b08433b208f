#include "ui/controls/CSkinButton.h"

#include <QPainter>

#include <algorithm>

namespace ulv {

namespace {

int Cube(int k)
{
    return ((k * k * k) / 128) / 128;
}

} // namespace

CSkinButton::CSkinButton(QWidget* parent)
    : CImageButton(parent)
{
}

CSkinButton::CSkinButton(const QString& text, QWidget* parent)
    : CImageButton(text, parent)
{
}

CSkinButton::~CSkinButton() = default;

void CSkinButton::FillPattern(CDibImage& dib, unsigned type, int granularity)
{
    std::uint8_t* bits = dib.GetBits();
    if (!bits || dib.GetBitCount() != 8)
        return;
    const int w = dib.GetWidth(), h = dib.GetHeight(), line = dib.GetLineWidth();
    const int g = granularity;
    const int a = 255 - 2 * g;
    const int D = 32767 / std::max(1, 2 * g);
    auto noise = [&] { return CrtRand() / D - g; };
    // Memory order: row i = 0 is the bottom row of the picture.
    auto at = [&](int i, int j) -> std::uint8_t& { return bits[i * line + j]; };
    auto set = [&](int i, int j, int v) { at(i, j) = std::uint8_t(v); };

    switch (type) {
    case 1: {
        const int a1 = a / 2;
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j)
                set(i, j, g + (a1 * i) / h + (a1 * (w - j)) / w + noise());
        break;
    }
    case 2:
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j)
                set(i, j, g + (a * i) / h + noise());
        break;
    case 3:
        for (int j = 0; j < w; ++j)
            for (int i = 0; i < h; ++i)
                set(i, j, g + (a * (w - j)) / w + noise());
        break;
    case 4:
        for (int i = 0; i < h; ++i) {
            const int k = Cube((255 * i) / h - 127);
            for (int j = 0; j < w; ++j)
                set(i, j, (k * (128 - g)) / 128 + 128 + noise());
        }
        break;
    case 5:
        for (int j = 0; j < w; ++j) {
            const int k = Cube((255 * (w - j)) / w - 127);
            for (int i = 0; i < h; ++i)
                set(i, j, (k * (128 - g)) / 128 + 128 + noise());
        }
        break;
    case 6:
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j) {
                int k = ((Cube((255 * (w - j)) / w - 127) + Cube((255 * i) / h - 127)) * (128 - g)) / 128 + 128;
                k = std::clamp(k, g, 255 - g);
                set(i, j, k + noise());
            }
        break;
    case 7: {
        for (int i = 0; i < h; ++i) {
            const int k = Cube((255 * i) / h - 127);
            for (int j = 0; j < w; ++j)
                set(i, j, (k * (64 - g) * 2) / 128 + 128 + noise());
        }
        // Narrow or very low faces would divide by zero below: the rounded
        // ends then shrink to one pixel instead.
        const int d = std::max(1, std::min(16, w / 6));
        const int q = std::max(1, (h * h) / 4);
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j) {
                const int y = i - h / 2, x = j - w / 2;
                const int xs = w / 2 - d + (d * y * y) / q;
                if (x > xs)
                    set(i, j, g + ((w - j) * 128) / d);
                if (x + xs < 0)
                    set(i, j, (255 - g) - (j * 128) / d);
                set(i, j, at(i, j) + noise());
            }
        break;
    }
    case 8: {
        dib.Clear(0);
        const int minSide = std::min(w, h);
        for (int stroke = 0; stroke < 200; ++stroke) {
            const int x = CrtRand() / std::max(1, 32767 / w);
            const int y = CrtRand() / std::max(1, 32767 / h);
            const int length = (CrtRand() / std::max(1, 32767 / minSide)) / 2;
            const int shade = CrtRand() / 819;
            for (int s = 0; s < length; ++s) {
                if (x - s > 0 && y + s < h)
                    dib.SetPixelIndex(x - s, y + s, shade);
                if (x + s < w && y - s > 0)
                    dib.SetPixelIndex(w - x + s, y - s, shade);
            }
        }
        const int a3 = (a - 40) / 2;
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j)
                set(i, j, at(i, j) + (a3 * (w - j)) / w + (a3 * i) / h + CrtRand() / D);
        break;
    }
    default:
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j)
                set(i, j, 128 + noise());
        break;
    }
}

void CSkinButton::BuildDialogSkin()
{
    SetTextColors(0x333399);
    BuildSkin(4, 8, 20, 5, 0xFF3737);
}

void CSkinButton::BuildSkin(unsigned type, int granularity, int highlight, int coloring, COLORREF color)
{
    m_dibHover.Free();
    m_normalImage = QImage();
    m_hoverImage = QImage();
    if (!m_dibNormal.Create(width(), height(), 8)) {
        update();
        return;
    }
    const COLORREF S = GetSysColor(COLOR_BTNSHADOW), F = GetSysColor(COLOR_BTNFACE),
                   H = GetSysColor(COLOR_BTNHIGHLIGHT);
    auto mix = [](int i, COLORREF from, COLORREF to, int (*ch)(COLORREF)) {
        return ((128 - i) * ch(from) + i * ch(to)) / 128;
    };
    for (int i = 0; i <= 128; ++i)
        m_dibNormal.SetPaletteIndex(i, mix(i, S, F, GetRValue), mix(i, S, F, GetGValue), mix(i, S, F, GetBValue));
    for (int i = 1; i <= 128; ++i)
        m_dibNormal.SetPaletteIndex(127 + i, mix(i, F, H, GetRValue), mix(i, F, H, GetGValue),
                                    mix(i, F, H, GetBValue));
    m_dibNormal.BlendPalette(color, coloring);
    FillPattern(m_dibNormal, type, granularity);

    m_dibHover.Copy(m_dibNormal);
    m_dibHover.BlendPalette(GetSysColor(COLOR_BTNHIGHLIGHT), highlight);
    m_normalImage = m_dibNormal.ToImage().convertToFormat(QImage::Format_RGB32);
    m_hoverImage = m_dibHover.ToImage().convertToFormat(QImage::Format_RGB32);
    update();
}

void CSkinButton::DrawBackground(QPainter& p, QRect)
{
    if (!m_bMouseOnButton)
        p.drawImage(0, 0, m_normalImage);
    else if (m_bIsPressed)
        p.drawImage(1, 1, m_hoverImage);
    else
        p.drawImage(0, 0, m_hoverImage);
}

} // namespace ulv
