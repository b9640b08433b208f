#include "platform/TempLog.h"

#include "platform/DataFolder.h"

#include <QFile>
#include <mutex>

namespace ulv::TempLog {

QString Path()
{
    return DataPath("Ulvenscope_Temp_log.txt");
}

bool Append(const QString& text)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    QFile f(Path());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = text.toUtf8();
    return f.write(bytes) == bytes.size();
}

} // namespace ulv::TempLog
