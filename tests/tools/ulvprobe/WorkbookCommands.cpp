// Workbook subcommand: what the AT-command manager's Import would take from a
// workbook, one JSON object per sheet row.
#include "Probe.h"

#include "atlib/core/AtcWorkbook.h"

namespace {

int WorkbookRead(const QStringList& args)
{
    if (args.size() != 1) {
        ulvprobe::PrintError(QStringLiteral("usage: workbook-read FILE"));
        return 2;
    }
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(args[0]);
    if (!read.ok) {
        ulvprobe::PrintError(read.error);
        return 2;
    }
    int row = 0;
    for (const ulv::AtcWorkbookRow& r : read.rows) {
        ulvprobe::Print(QStringLiteral("{\"row\":%1,\"classification\":%2,\"atc\":%3,\"refer\":%4,\"func\":%5}")
                            .arg(++row)
                            .arg(ulvprobe::JsonString(r.classification), ulvprobe::JsonString(r.atc),
                                ulvprobe::JsonString(r.refer), ulvprobe::JsonString(r.func)));
    }
    return 0;
}

const ulvprobe::Command workbookRead("workbook-read",
    "workbook-read FILE   print the rows an import takes from an .xlsx workbook as JSON lines "
    "(row, classification, atc, refer, func; trimmed, up to the first empty column A)",
    WorkbookRead);

} // namespace
