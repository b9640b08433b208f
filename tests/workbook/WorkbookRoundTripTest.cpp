// Export then import: what the manager writes comes back cell for cell, and
// the file is a workbook other programs read the same way.
#include "atlib/core/AtcWorkbook.h"

#include "ZipFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace ulv {

// For readable failure output and vector comparison.
bool operator==(const AtcWorkbookRow& a, const AtcWorkbookRow& b)
{
    return a.classification == b.classification && a.atc == b.atc && a.refer == b.refer && a.func == b.func;
}
void PrintTo(const AtcWorkbookRow& r, std::ostream* os)
{
    *os << "{" << r.classification.toStdString() << " | " << r.atc.toStdString() << " | " << r.refer.toStdString()
        << " | " << r.func.toStdString() << "}";
}

} // namespace ulv

namespace {

using ulv::AtcWorkbookRow;

const AtcWorkbookRow kHeader { "Classification", "AT command", "Parameter reference", "Function" };

std::vector<AtcWorkbookRow> SampleRows()
{
    return {
        { "SMS", "AT+CMGF=1", "0: PDU mode\r\n1: text mode", "Select message format\r\n\r\nsecond paragraph" },
        { QString::fromUtf8("短信分类"), "AT+CSCS=\"UCS2\"", QString::fromUtf8("参数说明 – ü ß € 日本語"),
            QString::fromUtf8("emoji \xF0\x9F\x98\x80 and Ж") },
        { "Call", "ATD'123';", "It's \"quoted\"", "O'Brien's \"phone\"" },
        { "XML", "<&>", "a < b && c > d; &amp; stays &amp;", "]]> <![CDATA[ x" },
        { "Gaps", "", "", "only the function" },
        { "Numbers", "123", "1.50", "007" },
        { "Escapes", "_x0041_", "tab\there", QStringLiteral("control \x01 and \x1f") },
        { "Long", QString(32000, u'x'), QString(2000, u'\n').prepend(u'a').append(u'b'), "end" },
    };
}

class WorkbookRoundTrip : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(WorkbookRoundTrip, EveryTextComesBackAsWritten)
{
    const std::vector<AtcWorkbookRow> rows = SampleRows();
    const QString path = Path("Exportfile.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, rows), QString());

    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    ASSERT_FALSE(read.rows.empty());
    EXPECT_EQ(read.rows[0], kHeader); // the import reads the header as a row too
    EXPECT_EQ(std::vector<AtcWorkbookRow>(read.rows.begin() + 1, read.rows.end()), rows);
}

// Characters an XML part cannot hold as they are still come back.
TEST_F(WorkbookRoundTrip, CharactersXmlCannotHold)
{
    const std::vector<AtcWorkbookRow> rows {
        { "Odd", QStringLiteral("nul ") + QChar(0) + QStringLiteral(" inside"),
            QStringLiteral("x") + QChar(0xFFFF) + "y",
            QStringLiteral("lone ") + QChar(0xD800) + QStringLiteral(" surrogate") },
        { "Controls", QStringLiteral("bell \a esc \x1b del \x7f"), QStringLiteral("_x0041") + QChar(0),
            QStringLiteral("v\v f\f end") },
    };
    const QString path = Path("odd.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, rows), QString());
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(std::vector<AtcWorkbookRow>(read.rows.begin() + 1, read.rows.end()), rows);
}

TEST_F(WorkbookRoundTrip, FiveThousandRows)
{
    std::vector<AtcWorkbookRow> rows;
    for (int i = 0; i < 5000; ++i) {
        rows.push_back({ QStringLiteral("Class %1").arg(i % 7), QStringLiteral("AT+TEST%1=%2").arg(i).arg(i * 3),
            QStringLiteral("line one %1\r\nline two").arg(i), i % 3 ? QStringLiteral("%1").arg(i) : QString() });
    }
    const QString path = Path("many.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, rows), QString());
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    ASSERT_EQ(read.rows.size(), rows.size() + 1);
    EXPECT_EQ(std::vector<AtcWorkbookRow>(read.rows.begin() + 1, read.rows.end()), rows);
}

TEST_F(WorkbookRoundTrip, EmptyListGivesTheHeaderOnly)
{
    const QString path = Path("empty.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, {}), QString());
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(read.rows, std::vector<AtcWorkbookRow> { kHeader });
}

// The written parts themselves: A1 alone is bold, and every cell is a string
// cell, also one holding "123".
TEST_F(WorkbookRoundTrip, HeaderStyleAndStringCells)
{
    const QString path = Path("styled.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, { { "SMS", "123", "1.5", "x" } }), QString());

    bool found = false;
    const QByteArray styles = ulv::test::ReadZipEntry(path, "xl/styles.xml", &found);
    ASSERT_TRUE(found);
    std::vector<bool> boldFonts;
    std::vector<int> xfFonts;
    {
        QXmlStreamReader x(styles);
        bool inFonts = false, inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == u"fonts")
                    inFonts = true;
                else if (x.name() == u"cellXfs")
                    inXfs = true;
                else if (inFonts && x.name() == u"font")
                    boldFonts.push_back(false);
                else if (inFonts && x.name() == u"b")
                    boldFonts.back() = true;
                else if (inXfs && x.name() == u"xf")
                    xfFonts.push_back(x.attributes().value("fontId").toInt());
            } else if (x.isEndElement()) {
                if (x.name() == u"fonts")
                    inFonts = false;
                else if (x.name() == u"cellXfs")
                    inXfs = false;
            }
        }
        ASSERT_FALSE(x.hasError());
    }
    auto bold = [&](int style) {
        return style >= 0 && style < int(xfFonts.size()) && xfFonts[style] < int(boldFonts.size())
            && boldFonts[xfFonts[style]];
    };

    const QByteArray sheet = ulv::test::ReadZipEntry(path, "xl/worksheets/sheet1.xml", &found);
    ASSERT_TRUE(found);
    std::map<QString, std::pair<bool, QString>> cells; // ref -> bold, type
    QXmlStreamReader x(sheet);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"c") {
            const auto a = x.attributes();
            cells[a.value("r").toString()] = { bold(a.value("s").toInt()), a.value("t").toString() };
        }
    }
    ASSERT_FALSE(x.hasError());
    const std::map<QString, std::pair<bool, QString>> expected {
        { "A1", { true, "s" } },
        { "B1", { false, "s" } },
        { "C1", { false, "s" } },
        { "D1", { false, "s" } },
        { "A2", { false, "s" } },
        { "B2", { false, "s" } },
        { "C2", { false, "s" } },
        { "D2", { false, "s" } },
    };
    EXPECT_EQ(cells, expected);
}

// openpyxl, a reader of its own, sees the same texts and the bold A1. It
// leaves the _xHHHH_ escapes of control characters (CR among them) to its
// caller, so the script decodes those the way spreadsheet applications do.
TEST_F(WorkbookRoundTrip, AnotherReaderSeesTheSameWorkbook)
{
    const QString python = ulv::test::OpenpyxlPython();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is not installed";
    const std::vector<AtcWorkbookRow> rows = SampleRows();
    const QString path = Path("for-openpyxl.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, rows), QString());

    bool ran = false;
    const QByteArray printed = ulv::test::RunPython(python,
        "import json, re, sys, openpyxl\n"
        "def text(v):\n"
        "    if v is None: return ''\n"
        "    return re.sub('_x(00[01][0-9A-Fa-f])_', lambda m: chr(int(m.group(1), 16)), v)\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
        "out = {'bold': [ws.cell(1, c).font.b for c in range(1, 5)],\n"
        "       'types': sorted({c.data_type for r in ws.iter_rows() for c in r if c.value is not None}),\n"
        "       'rows': [[text(c.value) for c in r] for r in ws.iter_rows(max_col=4)]}\n"
        "print(json.dumps(out))\n",
        path, &ran);
    ASSERT_TRUE(ran);
    const QJsonObject out = QJsonDocument::fromJson(printed).object();
    EXPECT_EQ(out["bold"].toArray(), QJsonArray({ true, false, false, false }));
    EXPECT_EQ(out["types"].toArray(), QJsonArray({ "s" }));
    const QJsonArray read = out["rows"].toArray();
    ASSERT_EQ(read.size(), qsizetype(rows.size() + 1));
    for (size_t i = 0; i <= rows.size(); ++i) {
        const AtcWorkbookRow& want = i == 0 ? kHeader : rows[i - 1];
        const QJsonArray r = read[qsizetype(i)].toArray();
        const AtcWorkbookRow got { r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString() };
        EXPECT_EQ(got, want) << "sheet row " << i + 1;
    }
}

TEST_F(WorkbookRoundTrip, ExportReplacesAnExistingFile)
{
    const QString path = Path("again.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, { { "first", "AT", "", "" } }), QString());
    const QFile::Permissions permissions
        = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, { { "second", "ATI", "", "" } }), QString());
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.rows, (std::vector<AtcWorkbookRow> { kHeader, { "second", "ATI", "", "" } }));
    // The replaced file keeps its permissions, and no temporary file is left.
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList { "again.xlsx" });
}

TEST_F(WorkbookRoundTrip, WriteFailuresAreReportedAndLeaveFilesAlone)
{
    const QString existing = Path("keep.xlsx");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous content");
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    const std::vector<AtcWorkbookRow> ok { { "SMS", "AT", "", "" } };
    const std::vector<AtcWorkbookRow> tooLong { { "SMS", QString(40000, u'x'), "", "" } };
    struct Case {
        const char* what;
        QString path;
        const std::vector<AtcWorkbookRow>* rows;
        const char* mentions;
    } cases[] = {
        { "missing folder", Path("no/such/folder/out.xlsx"), &ok, "out.xlsx" },
        { "path is a folder", Path("folder"), &ok, "folder" },
        { "empty path", QString(), &ok, "file name" },
        { "text too long for a cell", existing, &tooLong, "B2" },
    };
    for (const Case& c : cases) {
        const QString error = ulv::WriteAtcWorkbook(c.path, *c.rows);
        EXPECT_TRUE(error.contains(QLatin1String(c.mentions))) << c.what << ": " << error.toStdString();
    }
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("previous content"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
        (QStringList { "folder", "keep.xlsx" }));
}

} // namespace
