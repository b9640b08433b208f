#include "core/gnss/WorldOutline.h"

#include "core/gnss/ChartMath.h"

#include <QFile>

#include <bit>
#include <cstdint>

namespace ulv {

namespace {

constexpr float kPerLongitude = 1.0f / 360.0f;
constexpr float kPerLatitude = 1.0f / 180.0f;

// Little-endian reader over the file's bytes that refuses to read past the end.
class ByteReader {
public:
    explicit ByteReader(std::string_view data)
        : m_data(data)
    {
    }
    size_t Left() const { return m_data.size() - m_pos; }
    bool ReadU32(uint32_t& v)
    {
        if (Left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_data.data() + m_pos);
        v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        m_pos += 4;
        return true;
    }
    bool ReadInt32(int32_t& v)
    {
        uint32_t u = 0;
        if (!ReadU32(u))
            return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool ReadFloat(float& v)
    {
        uint32_t u = 0;
        if (!ReadU32(u))
            return false;
        v = std::bit_cast<float>(u);
        return true;
    }

private:
    std::string_view m_data;
    size_t m_pos = 0;
};

} // namespace

QPoint WorldOutline::ProjectOutlinePoint(float longitude, float latitude, int width, int height)
{
    const float x = (longitude + 180.0f) * static_cast<float>(width) * kPerLongitude;
    const float y = static_cast<float>(height) * (90.0f - latitude) * kPerLatitude;
    return QPoint(TruncToInt(x), TruncToInt(y));
}

QPoint WorldOutline::ProjectPosition(double latitude, double longitude, int width, int height)
{
    const double x = (longitude + 180.0) * width * static_cast<double>(kPerLongitude);
    const double y = height * (90.0 - latitude) * static_cast<double>(kPerLatitude);
    return QPoint(TruncToInt(x), TruncToInt(y));
}

bool WorldOutline::IsMarkedPosition(double latitude, double longitude)
{
    return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

bool WorldOutline::Load(const QString& path, int width, int height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_polygons.clear();
        return false;
    }
    const QByteArray data = file.readAll();
    return LoadFromBytes(std::string_view(data.constData(), static_cast<size_t>(data.size())), width, height);
}

bool WorldOutline::LoadFromBytes(std::string_view data, int width, int height)
{
    m_polygons.clear();
    ByteReader in(data);
    int32_t count = 0;
    if (!in.ReadInt32(count) || count > kMaxPolygons)
        return false;

    std::vector<std::vector<QPoint>> polygons;
    if (count > 0)
        polygons.resize(static_cast<size_t>(count));
    for (auto& polygon : polygons) {
        int32_t n = 0;
        // A point count the remaining bytes cannot hold means a damaged file:
        // nothing of it is drawn.
        if (!in.ReadInt32(n) || n < 0 || static_cast<uint64_t>(n) * 8 > in.Left())
            return false;
        polygon.reserve(static_cast<size_t>(n));
        for (int32_t k = 0; k < n; ++k) {
            float lon = 0.0f;
            float lat = 0.0f;
            in.ReadFloat(lon);
            in.ReadFloat(lat);
            polygon.push_back(ProjectOutlinePoint(lon, lat, width, height));
        }
    }
    m_polygons = std::move(polygons);
    return true;
}

} // namespace ulv
