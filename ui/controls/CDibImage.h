#pragma once

#include "ui/controls/WinLook.h"

#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

namespace ulv {

// A device-independent bitmap held as one packed buffer: the 40-byte
// BITMAPINFOHEADER, the palette (blue, green, red, 0 per entry) and the pixel
// rows, bottom row first, each padded to four bytes.
class CDibImage {
public:
    struct BitmapInfoHeader {
        std::uint32_t biSize = 40;
        std::int32_t biWidth = 0;
        std::int32_t biHeight = 0;
        std::uint16_t biPlanes = 1;
        std::uint16_t biBitCount = 0;
        std::uint32_t biCompression = 0;
        std::uint32_t biSizeImage = 0;
        std::int32_t biXPelsPerMeter = 0;
        std::int32_t biYPelsPerMeter = 0;
        std::uint32_t biClrUsed = 0;
        std::uint32_t biClrImportant = 0;
    };
    static constexpr int kHeaderSize = 40;

    CDibImage() = default;
    virtual ~CDibImage() = default;
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // Frees everything and allocates a zeroed image; null for a size of zero
    // or less, or when the buffer cannot be allocated.
    std::uint8_t* Create(int width, int height, int bitsPerPixel);
    void Free();
    bool IsEmpty() const { return m_packed.empty(); }

    std::uint8_t* GetBits();
    const std::uint8_t* GetBits() const;
    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    int GetLineWidth() const { return m_lineWidth; }
    int GetBitCount() const { return m_header.biBitCount; }
    int GetNumColors() const { return m_paletteEntries; }
    int GetSize() const;
    const BitmapInfoHeader& GetHeader() const { return m_header; }

    void SetPaletteIndex(int index, int red, int green, int blue);
    COLORREF GetPaletteColor(int index) const;
    int BlendPalette(COLORREF color, int percent);
    void SetGrayPalette();
    void Clear(std::uint8_t value);
    // y counted from the top.
    void SetPixelIndex(int x, int y, int index);
    int GetPixelIndex(int x, int y) const;
    // Colour of a pixel (y from the top), through the palette for paletted depths.
    QRgb GetPixelRgb(int x, int y) const;
    void Copy(const CDibImage& other);

    QImage ToImage() const;
    void Draw(QPainter& p, int x, int y) const;
    // A .bmp file; false for an empty name, no image or a file that cannot be written.
    bool SaveToFile(const QString& fileName) const;

private:
    std::uint8_t* Palette();
    const std::uint8_t* Palette() const;
    void WriteHeader();

    std::vector<std::uint8_t> m_packed;
    BitmapInfoHeader m_header;
    int m_lineWidth = 0;
    int m_paletteEntries = 0;
};

} // namespace ulv
