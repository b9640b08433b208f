// Any file offered for import, zip layer first, reads as a workbook or fails
// with a message; it never faults, and never takes more rows than one import may.
#include "atlib/core/AtcWorkbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

// Files of a run live in memory where it can: each input is written and read
// several times, and a disk's flushes would take most of the run.
inline QString FuzzTempRoot()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    static QTemporaryDir dir(FuzzTempRoot() + "/ulvfuzz-xlsx-XXXXXX");
    const QString path = dir.path() + "/in.xlsx";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    if (read.ok != read.error.isEmpty() || read.rows.size() > size_t(ulv::kMaxImportRows) || read.rowsLeftOut < 0)
        std::abort();
    return 0;
}
