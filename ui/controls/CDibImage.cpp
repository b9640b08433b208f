#include "ui/controls/CDibImage.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>

namespace ulv {

namespace {

void PutLe(std::uint8_t* at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = std::uint8_t(v >> (8 * i));
}

int PaletteEntriesFor(int bits)
{
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

} // namespace

std::uint8_t* CDibImage::Create(int width, int height, int bitsPerPixel)
{
    Free();
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32)
        return nullptr;
    const long long line = ((long long)width * bitsPerPixel + 31) / 32 * 4;
    const long long image = line * height;
    const int entries = PaletteEntriesFor(bitsPerPixel);
    const long long total = kHeaderSize + entries * 4LL + image;
    if (total > (1LL << 30))
        return nullptr;
    try {
        m_packed.assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
        Free();
        return nullptr;
    }
    m_header = BitmapInfoHeader{};
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biBitCount = std::uint16_t(bitsPerPixel);
    m_header.biSizeImage = std::uint32_t(image);
    m_lineWidth = int(line);
    m_paletteEntries = entries;
    WriteHeader();
    return m_packed.data();
}

void CDibImage::WriteHeader()
{
    std::uint8_t* h = m_packed.data();
    PutLe(h + 0, m_header.biSize, 4);
    PutLe(h + 4, std::uint32_t(m_header.biWidth), 4);
    PutLe(h + 8, std::uint32_t(m_header.biHeight), 4);
    PutLe(h + 12, m_header.biPlanes, 2);
    PutLe(h + 14, m_header.biBitCount, 2);
    PutLe(h + 16, m_header.biCompression, 4);
    PutLe(h + 20, m_header.biSizeImage, 4);
    // The remaining fields stay zero.
}

void CDibImage::Free()
{
    m_packed.clear();
    m_packed.shrink_to_fit();
    m_header = BitmapInfoHeader{};
    m_header.biSize = 0;
    m_header.biPlanes = 0;
    m_lineWidth = 0;
    m_paletteEntries = 0;
}

std::uint8_t* CDibImage::Palette()
{
    return m_packed.empty() ? nullptr : m_packed.data() + kHeaderSize;
}

const std::uint8_t* CDibImage::Palette() const
{
    return m_packed.empty() ? nullptr : m_packed.data() + kHeaderSize;
}

std::uint8_t* CDibImage::GetBits()
{
    return m_packed.empty() ? nullptr : m_packed.data() + kHeaderSize + m_paletteEntries * 4;
}

const std::uint8_t* CDibImage::GetBits() const
{
    return m_packed.empty() ? nullptr : m_packed.data() + kHeaderSize + m_paletteEntries * 4;
}

int CDibImage::GetSize() const
{
    if (m_packed.empty())
        return 0;
    return kHeaderSize + m_paletteEntries * 4 + int(m_header.biSizeImage);
}

void CDibImage::SetPaletteIndex(int index, int red, int green, int blue)
{
    if (index < 0 || index >= m_paletteEntries)
        return;
    std::uint8_t* e = Palette() + index * 4;
    e[0] = std::uint8_t(blue);
    e[1] = std::uint8_t(green);
    e[2] = std::uint8_t(red);
    e[3] = 0;
}

COLORREF CDibImage::GetPaletteColor(int index) const
{
    if (index < 0 || index >= m_paletteEntries)
        return 0;
    const std::uint8_t* e = Palette() + index * 4;
    return Rgb(e[2], e[1], e[0]);
}

int CDibImage::BlendPalette(COLORREF color, int percent)
{
    if (m_paletteEntries == 0)
        return 0;
    percent = std::clamp(percent, 0, 100);
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    std::uint8_t* pal = Palette();
    for (int i = 0; i < m_paletteEntries; ++i) {
        std::uint8_t* e = pal + i * 4;
        e[0] = std::uint8_t((b * percent + e[0] * (100 - percent)) / 100);
        e[1] = std::uint8_t((g * percent + e[1] * (100 - percent)) / 100);
        e[2] = std::uint8_t((r * percent + e[2] * (100 - percent)) / 100);
    }
    return m_paletteEntries;
}

void CDibImage::SetGrayPalette()
{
    for (int i = 0; i < m_paletteEntries; ++i)
        SetPaletteIndex(i, i, i, i);
    if (m_paletteEntries > 0)
        SetPaletteIndex(m_paletteEntries - 1, 255, 255, 255);
}

void CDibImage::Clear(std::uint8_t value)
{
    if (std::uint8_t* bits = GetBits())
        std::memset(bits, value, m_header.biSizeImage);
}

void CDibImage::SetPixelIndex(int x, int y, int index)
{
    if (m_paletteEntries == 0 || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return;
    std::uint8_t* row = GetBits() + (GetHeight() - y - 1) * m_lineWidth;
    switch (GetBitCount()) {
    case 8:
        row[x] = std::uint8_t(index);
        break;
    case 4: {
        std::uint8_t& b = row[x / 2];
        b = (x & 1) ? std::uint8_t((b & 0xF0) | (index & 0x0F)) : std::uint8_t((b & 0x0F) | ((index & 0x0F) << 4));
        break;
    }
    case 1: {
        std::uint8_t& b = row[x / 8];
        const std::uint8_t bit = std::uint8_t(0x80 >> (x % 8));
        b = (index & 1) ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
        break;
    }
    default:
        break;
    }
}

int CDibImage::GetPixelIndex(int x, int y) const
{
    if (m_paletteEntries == 0 || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return -1;
    const std::uint8_t* row = GetBits() + (GetHeight() - y - 1) * m_lineWidth;
    switch (GetBitCount()) {
    case 8: return row[x];
    case 4: return (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    default: return -1;
    }
}

QRgb CDibImage::GetPixelRgb(int x, int y) const
{
    if (m_packed.empty() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    if (m_paletteEntries > 0)
        return ColorRefToRgb(GetPaletteColor(GetPixelIndex(x, y)));
    const std::uint8_t* row = GetBits() + (GetHeight() - y - 1) * m_lineWidth;
    const int bpp = GetBitCount() / 8;
    if (bpp < 3)
        return 0;
    const std::uint8_t* px = row + x * bpp;
    return qRgb(px[2], px[1], px[0]);
}

void CDibImage::Copy(const CDibImage& other)
{
    if (&other == this)
        return;
    if (other.IsEmpty() || !Create(other.GetWidth(), other.GetHeight(), other.GetBitCount())) {
        Free();
        return;
    }
    m_packed = other.m_packed;
}

QImage CDibImage::ToImage() const
{
    if (m_packed.empty())
        return {};
    if (GetBitCount() == 8) {
        // Rows copied as they are, bottom row last; the palette as colour table.
        QImage img(GetWidth(), GetHeight(), QImage::Format_Indexed8);
        QList<QRgb> table(m_paletteEntries);
        for (int i = 0; i < m_paletteEntries; ++i)
            table[i] = ColorRefToRgb(GetPaletteColor(i));
        img.setColorTable(table);
        for (int y = 0; y < GetHeight(); ++y)
            std::memcpy(img.scanLine(y), GetBits() + (GetHeight() - y - 1) * m_lineWidth, size_t(GetWidth()));
        return img;
    }
    QImage img(GetWidth(), GetHeight(), QImage::Format_RGB32);
    for (int y = 0; y < GetHeight(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < GetWidth(); ++x)
            line[x] = GetPixelRgb(x, y);
    }
    return img;
}

void CDibImage::Draw(QPainter& p, int x, int y) const
{
    const QImage img = ToImage();
    if (!img.isNull())
        p.drawImage(x, y, img);
}

bool CDibImage::SaveToFile(const QString& fileName) const
{
    if (fileName.isEmpty() || m_packed.empty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::uint8_t head[14] = {};
    head[0] = 'B';
    head[1] = 'M';
    PutLe(head + 2, std::uint32_t(GetSize() + 14), 4);
    PutLe(head + 10, std::uint32_t(14 + kHeaderSize + m_paletteEntries * 4), 4);
    bool ok = file.write(reinterpret_cast<const char*>(head), 14) == 14;
    ok = ok && file.write(reinterpret_cast<const char*>(m_packed.data()), GetSize()) == GetSize();
    return ok;
}

} // namespace ulv
