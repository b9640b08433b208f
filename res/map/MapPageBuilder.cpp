// Build step: turns a map page template into the page the program writes at start.
// The template's markers are replaced by Leaflet's style sheet and script (copied
// from the system's Leaflet) and by the world outline converted from
// Morvane_world.dat, so that a page draws land and markers with no network.
//
//   ulvmappage TEMPLATE LEAFLET_CSS LEAFLET_JS WORLD_DAT OUT

#include "core/gnss/WorldOutline.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

bool ReadFile(const char* path, QByteArray* out)
{
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "ulvmappage: cannot read %s\n", path);
        return false;
    }
    *out = f.readAll();
    return true;
}

// The outline as a script array of rings of [latitude, longitude] pairs, two
// decimals: projecting to a 36000 x 18000 grid gives exactly that resolution.
QByteArray OutlineScript(const QByteArray& dat, bool* ok)
{
    constexpr int kWidth = 36000;
    constexpr int kHeight = 18000;
    ulv::WorldOutline outline;
    *ok = outline.LoadFromBytes(std::string_view(dat.constData(), size_t(dat.size())), kWidth, kHeight);
    QByteArray js = "var ulvWorldOutline = [";
    bool firstRing = true;
    for (const auto& ring : outline.Polygons()) {
        if (ring.size() < 3)
            continue;
        js += firstRing ? "\n[" : ",\n[";
        firstRing = false;
        bool firstPoint = true;
        for (const QPoint& p : ring) {
            const double lng = p.x() / 100.0 - 180.0;
            const double lat = 90.0 - p.y() / 100.0;
            js += firstPoint ? "" : ",";
            firstPoint = false;
            js += "[" + QByteArray::number(lat, 'f', 2) + "," + QByteArray::number(lng, 'f', 2) + "]";
        }
        js += "]";
    }
    js += "];\n";
    return js;
}

bool Replace(QByteArray* page, const QByteArray& marker, const QByteArray& text)
{
    const qsizetype at = page->indexOf(marker);
    if (at < 0) {
        std::fprintf(stderr, "ulvmappage: the template lacks %s\n", marker.constData());
        return false;
    }
    page->replace(at, marker.size(), text);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: ulvmappage TEMPLATE LEAFLET_CSS LEAFLET_JS WORLD_DAT OUT\n");
        return 2;
    }
    QByteArray page, css, js, dat;
    if (!ReadFile(argv[1], &page) || !ReadFile(argv[2], &css) || !ReadFile(argv[3], &js) || !ReadFile(argv[4], &dat))
        return 1;
    if (js.contains("</script") || css.contains("</style")) {
        std::fprintf(stderr, "ulvmappage: Leaflet cannot be put inline as it is\n");
        return 1;
    }
    bool outlineOk = false;
    const QByteArray outline = OutlineScript(dat, &outlineOk);
    if (!outlineOk) {
        std::fprintf(stderr, "ulvmappage: %s is not a world outline\n", argv[4]);
        return 1;
    }
    if (!Replace(&page, "<!--ULV_LEAFLET_CSS-->", "<style type=\"text/css\">\n" + css + "\n</style>")
        || !Replace(&page, "<!--ULV_LEAFLET_JS-->", "<script type=\"text/javascript\">\n" + js + "\n</script>")
        || !Replace(&page, "<!--ULV_WORLD_OUTLINE-->", "<script type=\"text/javascript\">\n" + outline + "</script>"))
        return 1;
    QSaveFile out(QString::fromLocal8Bit(argv[5]));
    if (!out.open(QIODevice::WriteOnly) || out.write(page) != page.size() || !out.commit()) {
        std::fprintf(stderr, "ulvmappage: cannot write %s\n", argv[5]);
        return 1;
    }
    return 0;
}
