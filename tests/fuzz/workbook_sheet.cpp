// Any bytes as a workbook's XML parts: the sheet, the shared strings, the
// workbook and its relations. The first byte picks the part and the row
// limit; a parser may refuse the bytes but must never crash or hang, and the
// writer's escaping must read back to the text it started from.
#include "atlib/core/WorkbookXml.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t selector = data[0];
    const QByteArray xml(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    switch (selector % 5) {
    case 0:
    case 1: {
        const int maxRow = selector % 2 ? 65534 : 1 + selector / 8;
        const ulv::SheetScan scan = ulv::ParseSheetXml(xml, maxRow);
        if (!scan.ok)
            break;
        // The same bytes as the strings part, asked for what the sheet wants.
        std::vector<qint64> wanted;
        int previous = 0;
        for (const ulv::SheetRow& row : scan.rows) {
            if (row.number <= previous || row.number > maxRow)
                std::abort(); // rows must come ascending and within the limit
            previous = row.number;
            for (const ulv::SheetCell& c : row.cells) {
                if (c.sharedIndex >= 0)
                    wanted.push_back(c.sharedIndex);
            }
        }
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        ulv::ParseSharedStringsXml(xml, wanted);
        break;
    }
    case 2:
        ulv::ParseSharedStringsXml(xml, { 0, 1, 2, 5, 1000 });
        break;
    case 3: {
        const ulv::WorkbookFirstSheet first = ulv::ParseWorkbookXml(xml);
        const ulv::WorkbookRelations rels = ulv::ParseRelationsXml(xml);
        if (const ulv::WorkbookRelation* r = ulv::FindRelationById(rels, first.relationId))
            ulv::ResolveWorkbookPart(QStringLiteral("xl/workbook.xml"), r->target);
        if (const ulv::WorkbookRelation* r = ulv::FindRelationByType(rels, u"sharedStrings"))
            ulv::ResolveWorkbookPart(QString(), r->target);
        break;
    }
    case 4: {
        const QString text = QString::fromUtf8(xml);
        if (ulv::DecodeWorkbookEscapes(ulv::ProtectWorkbookEscapes(text)) != text)
            std::abort();
        ulv::WorkbookNumberText(text);
        break;
    }
    }
    return 0;
}
