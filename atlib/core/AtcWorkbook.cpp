#include "atlib/core/AtcWorkbook.h"

namespace ulv {

QString WriteAtcWorkbook(const QString& path, const std::vector<AtcWorkbookRow>& rows)
{
    (void)rows;
    return QStringLiteral("Cannot write the workbook %1: not available yet.").arg(path);
}

AtcWorkbookRead ReadAtcWorkbook(const QString& path)
{
    AtcWorkbookRead r;
    r.error = QStringLiteral("Cannot read the workbook %1: not available yet.").arg(path);
    return r;
}

} // namespace ulv
