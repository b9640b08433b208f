#include "ui/controls/ControlResources.h"

#include "ui/controls/WinLook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace ulv {

namespace {

// Banner pattern behind the title strip: a deep blue band with a soft sheen.
QImage BannerPattern()
{
    QImage img(513, 59, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const int wave = (x * 7 + y * 3) % 64;
            const int shade = y < 26 ? 150 - y * 3 : 72;
            img.setPixel(x, y, qRgb(24 + wave / 8, 48 + shade / 3, shade + 60));
        }
    }
    return img;
}

// Signal bars: n of five rising bars lit.
QImage SignalBars(int lit)
{
    QImage img(35, 20, QImage::Format_RGB32);
    img.fill(qRgb(24, 58, 130));
    QPainter p(&img);
    for (int i = 0; i < 5; ++i) {
        const int h = 4 + i * 3;
        const QRect bar(3 + i * 6, 18 - h, 4, h);
        p.fillRect(bar, i < lit ? QColor(96, 240, 96) : QColor(70, 92, 140));
    }
    return img;
}

// The connection page's background: the page grey lightening toward the
// top, with a faint grid of rows that the captions and values sit on.
QImage ConnectionBackground()
{
    QImage img(1600, 600, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient shade(0, 0, 0, img.height());
    shade.setColorAt(0, QColor(0xE6, 0xE6, 0xEE));
    shade.setColorAt(1, QColor(0xCD, 0xCD, 0xCD));
    p.fillRect(img.rect(), shade);
    p.setPen(QColor(0xC0, 0xC0, 0xCC));
    for (int y = 25; y < img.height(); y += 25)
        p.drawLine(0, y, img.width(), y);
    return img;
}

QImage BuiltInBitmap(int id)
{
    switch (id) {
    case 187:
        return BannerPattern();
    case 188: {
        QImage img(1845, 113, QImage::Format_RGB32);
        img.fill(qRgb(24, 58, 130));
        return img;
    }
    case 330: return ConnectionBackground();
    case 250: return SignalBars(1);
    case 251: return SignalBars(2);
    case 252: return SignalBars(3);
    case 253: return SignalBars(4);
    case 242: return SignalBars(5);
    default:
        return {};
    }
}

QImage LoadFirst(const QStringList& paths, ResourceStatus* status)
{
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path))
            continue;
        return LoadImageFile(path, status);
    }
    if (status)
        *status = ResourceStatus::Missing;
    return {};
}

QMutex g_playerLock;
SoundPlayer g_player;

void DefaultPlayer(const QString& source, bool /*async*/)
{
    const QString aplay = QStandardPaths::findExecutable(QStringLiteral("aplay"));
    if (aplay.isEmpty() || !QFileInfo::exists(source))
        return;
    QString file = source;
    if (source.startsWith(QLatin1Char(':'))) {
        static QTemporaryDir dir;
        if (!dir.isValid())
            return;
        file = dir.filePath(QFileInfo(source).fileName());
        if (!QFileInfo::exists(file))
            QFile::copy(source, file);
    }
    QProcess::startDetached(aplay, {QStringLiteral("-q"), file});
}

} // namespace

QImage LoadImageFile(const QString& path, ResourceStatus* status)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        if (status)
            *status = ResourceStatus::Missing;
        return {};
    }
    QImageReader reader(path);
    QImage img = reader.read();
    if (status)
        *status = img.isNull() ? ResourceStatus::Unreadable : ResourceStatus::Loaded;
    return img;
}

QImage LoadBitmapResource(int id, ResourceStatus* status)
{
    const QString base = QStringLiteral(":/bitmaps/%1").arg(id);
    QImage img = LoadFirst({base + QStringLiteral(".png"), base + QStringLiteral(".bmp")}, status);
    if (img.isNull() && (!status || *status == ResourceStatus::Missing)) {
        img = BuiltInBitmap(id);
        if (!img.isNull() && status)
            *status = ResourceStatus::Loaded;
    }
    return img;
}

QImage LoadIconResource(int id, ResourceStatus* status)
{
    const QString base = QStringLiteral(":/icons/%1").arg(id);
    return LoadFirst({base + QStringLiteral(".png"), base + QStringLiteral(".ico")}, status);
}

std::optional<std::vector<QImage>> LoadResourceImages(ResourceLoader load, std::initializer_list<int> ids)
{
    std::vector<QImage> images;
    images.reserve(ids.size());
    for (int id : ids) {
        ResourceStatus st = ResourceStatus::Missing;
        images.push_back(id > 0 ? load(id, &st) : QImage());
        if (st == ResourceStatus::Unreadable)
            return std::nullopt;
    }
    return images;
}

QString SoundResourcePath(int id)
{
    return QStringLiteral(":/sounds/%1.wav").arg(id);
}

void PlaySoundFile(const QString& source, bool async)
{
    SoundPlayer player;
    {
        QMutexLocker lock(&g_playerLock);
        player = g_player;
    }
    if (player)
        player(source, async);
    else
        DefaultPlayer(source, async);
}

SoundPlayer SetSoundPlayer(SoundPlayer player)
{
    QMutexLocker lock(&g_playerLock);
    std::swap(player, g_player);
    return player;
}

std::uint32_t TickCount()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return std::uint32_t(clock.elapsed());
}

QString LoadStringResource(int id)
{
    QFile file(QStringLiteral(":/strings/%1.txt").arg(id));
    if (id <= 0 || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace ulv
