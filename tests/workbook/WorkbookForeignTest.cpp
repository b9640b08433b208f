// Workbooks this program did not write: other writers' layouts, the row
// limit, and files that are no workbook at all.
#include "atlib/core/AtcWorkbook.h"

#include "ZipFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using ulv::AtcWorkbookRow;
using ulv::test::ZipEntries;

std::vector<std::vector<QString>> Cells(const ulv::AtcWorkbookRead& read)
{
    std::vector<std::vector<QString>> out;
    for (const AtcWorkbookRow& r : read.rows)
        out.push_back({ r.classification, r.atc, r.refer, r.func });
    return out;
}

void ExpectCells(const QString& path, const std::vector<std::vector<QString>>& expected)
{
    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(Cells(read), expected);
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ZipEntries Without(ZipEntries e, const QString& name)
{
    std::erase_if(e, [&](const auto& entry) { return entry.first == name; });
    return e;
}

class WorkbookForeign : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// A package laid out the way other writers do it: the first tab is not
// sheet1.xml, targets are absolute and percent-encoded, the strings part has
// its own name, the sheet uses a namespace prefix, and cells come in every kind.
TEST_F(WorkbookForeign, HandMadePackageWithEveryCellKind)
{
    const QByteArray ns = R"(xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    ZipEntries e;
    e.emplace_back("_rels/.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="r9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/book/main.xml"/>)"
        R"(</Relationships>)");
    e.emplace_back("book/main.xml",
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheets><sheet name="Commands" sheetId="2" r:id="rId7"/><sheet name="Old" sheetId="1" r:id="rId1"/></sheets></workbook>)");
    e.emplace_back("book/_rels/main.xml.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/book/worksheets/my%20commands.xml"/>)"
        R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="text/strings.xml"/>)"
        R"(</Relationships>)");
    e.emplace_back("book/worksheets/sheet1.xml",
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>the wrong sheet</t></is></c></row></sheetData></worksheet>)");
    e.emplace_back("book/text/strings.xml",
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<si><t>SMS</t></si>)"
        R"(<si><r><t>AT+</t></r><r><rPr><b/></rPr><t>CMGS</t></r><rPh sb="0" eb="2"><t>PH</t></rPh></si>)"
        R"(<si><t xml:space="preserve">  line 1_x000D__x000A_line 2 &lt;&amp;&gt;  </t></si>)"
        R"(<si><t xml:space="preserve">   </t></si>)"
        R"(</sst>)");
    e.emplace_back("book/worksheets/my commands.xml",
        "<x:worksheet " + ns
            + "><x:dimension ref=\"A1:E5\"/><x:sheetData>"
              // shared strings, rich text, a number and a boolean
              R"(<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="B1" t="s"><x:v>1</x:v></x:c>)"
              R"(<x:c r="C1" t="s"><x:v>2</x:v></x:c><x:c r="D1"><x:v>12.0</x:v></x:c><x:c r="E1" t="s"><x:v>99</x:v></x:c></x:row>)"
              // no r on the row nor its cells; inline string with a character reference
              R"(<x:row><x:c t="inlineStr"><x:is><x:t>Call</x:t></x:is></x:c><x:c t="b"><x:v>1</x:v></x:c>)"
              R"(<x:c><x:v>1.5</x:v></x:c><x:c t="inlineStr"><x:is><x:t>a&#13;&#10;b</x:t></x:is></x:c></x:row>)"
              // a number in column A, a formula's string result, D missing
              R"(<x:row r="3"><x:c r="A3"><x:v>13800138000</x:v></x:c><x:c r="B3" t="str"><x:f>B1</x:f><x:v>AT+CMGS</x:v></x:c>)"
              R"(<x:c r="C3" t="b"><x:v>0</x:v></x:c></x:row>)"
              // column A blank after trimming: the import ends here
              R"(<x:row r="4"><x:c r="A4" t="s"><x:v>3</x:v></x:c><x:c r="B4" t="s"><x:v>0</x:v></x:c></x:row>)"
              R"(<x:row r="5"><x:c r="A5" t="s"><x:v>0</x:v></x:c></x:row>)"
              "</x:sheetData></x:worksheet>");
    const QString path = Path("foreign.xlsx");
    ulv::test::WriteZip(path, e);
    ExpectCells(path,
        {
            { "SMS", "AT+CMGS", "line 1\r\nline 2 <&>", "12" },
            { "Call", "TRUE", "1.5", "a\r\nb" },
            { "13800138000", "AT+CMGS", "FALSE", "" },
        });
}

TEST_F(WorkbookForeign, PackageWithoutRootRelationsUsesTheUsualPlace)
{
    const QString path = Path("norels.xlsx");
    ulv::test::WriteZip(path,
        Without(ulv::test::MinimalWorkbook(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)", "<si><t>only</t></si>"),
            "_rels/.rels"));
    ExpectCells(path, { { "only", "", "", "" } });
}

TEST_F(WorkbookForeign, RowsAfter65534AreNotImportedButCounted)
{
    // Rows 65535..65540 would have followed; row 65541 is blank in column A, so
    // row 65542 would not have been taken either.
    QByteArray data;
    data.reserve(65542 * 48);
    for (int r = 1; r <= 65540; ++r) {
        const QByteArray n = QByteArray::number(r);
        data += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"s\"><v>" + (r >= 65534 ? n : "0") + "</v></c></row>";
    }
    data += R"(<row r="65541"><c r="A65541" t="inlineStr"><is><t> </t></is></c></row>)";
    data += R"(<row r="65542"><c r="A65542" t="inlineStr"><is><t>after the gap</t></is></c></row>)";
    QByteArray items = "<si><t>x</t></si>";
    for (int i = 1; i <= 65540; ++i)
        items += i >= 65534 ? "<si><t>row " + QByteArray::number(i) + "</t></si>" : "<si/>";
    const QString path = Path("limit.xlsx");
    ulv::test::WriteZip(path, ulv::test::MinimalWorkbook(data, items));

    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    ASSERT_EQ(read.rows.size(), 65534u);
    EXPECT_EQ(read.rows.back().classification, QStringLiteral("row 65534"));
    EXPECT_EQ(read.rowsLeftOut, 6);
}

// Written by openpyxl: inline strings, numbers, booleans, CR LF as a
// character reference, padding, and a second sheet.
TEST_F(WorkbookForeign, WrittenByOpenpyxl)
{
    const QString python = ulv::test::OpenpyxlPython();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is not installed";
    const QString path = Path("openpyxl.xlsx");
    bool ran = false;
    ulv::test::RunPython(python,
        "import sys, openpyxl\n"
        "wb = openpyxl.Workbook()\n"
        "ws = wb.active\n"
        "ws.title = 'Commands'\n"
        "ws.append(['SMS', 'AT+CMGF=1', 12, 1.5])\n"
        "ws.append(['  Call  ', True, False, 'line 1\\r\\nline 2'])\n"
        "ws.append([42, 'AT\\'s \"x\"', '<&>', 1e20])\n"
        "ws.append([None, 'not read'])\n"
        "ws.append(['not read either'])\n"
        "wb.create_sheet('Other')['A1'] = 'other sheet'\n"
        "wb.save(sys.argv[1])\n",
        path, &ran);
    ASSERT_TRUE(ran);
    ExpectCells(path,
        {
            { "SMS", "AT+CMGF=1", "12", "1.5" },
            { "Call", "TRUE", "FALSE", "line 1\r\nline 2" },
            { "42", "AT's \"x\"", "<&>", "1E+20" },
        });
}

// Every file that is no readable workbook gives an error that names it;
// nothing crashes, hangs or reads half a file.
TEST_F(WorkbookForeign, FilesThatAreNoWorkbook)
{
    const QString good = Path("good.xlsx");
    ASSERT_EQ(ulv::WriteAtcWorkbook(good, { { "SMS", "AT", "ref", "func" } }), QString());
    const QByteArray goodBytes = ReadFile(good);

    const QByteArray sheetRow = R"(<row r="1"><c r="A1" t="s"><v>5</v></c></row>)";
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
        const char* mentions;
    } cases[] = {
        { "text file", [](const QString& p) { WriteFile(p, "Classification;AT command\nSMS;AT+CMGF=1\n"); },
            "is not an Excel workbook" },
        { "empty file", [](const QString& p) { WriteFile(p, {}); }, "is not an Excel workbook" },
        { "old .xls",
            [](const QString& p) {
                WriteFile(p, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(4096, '\0'));
            },
            "97-2003" },
        { "truncated", [&](const QString& p) { WriteFile(p, goodBytes.left(goodBytes.size() / 2)); },
            "Excel workbook" },
        { "cut before the end record", [&](const QString& p) { WriteFile(p, goodBytes.chopped(10)); },
            "Excel workbook" },
        { "no workbook part",
            [](const QString& p) {
                ulv::test::WriteZip(p, Without(ulv::test::MinimalWorkbook("", ""), "xl/workbook.xml"));
            },
            "xl/workbook.xml is missing" },
        { "no workbook relations",
            [](const QString& p) {
                ulv::test::WriteZip(p, Without(ulv::test::MinimalWorkbook(""), "xl/_rels/workbook.xml.rels"));
            },
            "workbook.xml.rels" },
        { "no sheet part",
            [](const QString& p) {
                ulv::test::WriteZip(p, Without(ulv::test::MinimalWorkbook(""), "xl/worksheets/sheet1.xml"));
            },
            "sheet1.xml is missing" },
        { "no shared strings", [&](const QString& p) { ulv::test::WriteZip(p, ulv::test::MinimalWorkbook(sheetRow)); },
            "sharedStrings.xml is missing" },
        { "shared string out of range",
            [&](const QString& p) {
                ulv::test::WriteZip(p, ulv::test::MinimalWorkbook(sheetRow, "<si><t>a</t></si>"));
            },
            "shared string 5" },
        { "malformed sheet",
            [](const QString& p) { ulv::test::WriteZip(p, ulv::test::MinimalWorkbook("<row><c><v>1</row>")); },
            "not well-formed" },
        { "zip bomb",
            [](const QString& p) {
                ulv::test::WriteZipWithLargeEntry(p,
                    Without(ulv::test::MinimalWorkbook(""), "xl/worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml",
                    "<worksheet><sheetData>", quint64(300) << 20);
            },
            "MiB" },
        { "missing file", [](const QString&) {}, "does not exist" },
        { "folder", [](const QString& p) { QDir().mkpath(p); }, "not a file" },
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = Path(QStringLiteral("case%1.xlsx").arg(++n));
        c.make(path);
        const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_TRUE(read.rows.empty()) << c.what;
        EXPECT_TRUE(read.error.contains(path)) << c.what << ": " << read.error.toStdString();
        EXPECT_TRUE(read.error.contains(QLatin1String(c.mentions))) << c.what << ": " << read.error.toStdString();
    }
}

// Size fields that claim 2 GiB for small parts: the reader goes by the data,
// not by the claim, so it neither reserves gigabytes nor returns damaged text.
TEST_F(WorkbookForeign, DeclaredSizesAreNotTrusted)
{
    const QString path = Path("lying.xlsx");
    const std::vector<AtcWorkbookRow> rows { { "SMS", "AT+CMGF=1", "ref", "func" } };
    ASSERT_EQ(ulv::WriteAtcWorkbook(path, rows), QString());
    QByteArray bytes = ReadFile(path);
    int patched = 0;
    for (qsizetype i = 0; (i = bytes.indexOf("PK", i)) >= 0 && i + 30 <= bytes.size(); i += 2) {
        const char* sig = bytes.constData() + i;
        const qsizetype at = sig[2] == 3 && sig[3] == 4 ? i + 22 : sig[2] == 1 && sig[3] == 2 ? i + 24 : -1;
        if (at > 0) {
            bytes.replace(at, 4, QByteArray("\xff\xff\xff\x7f", 4));
            ++patched;
        }
    }
    ASSERT_GT(patched, 0);
    WriteFile(path, bytes);

    const ulv::AtcWorkbookRead read = ulv::ReadAtcWorkbook(path);
    if (read.ok) {
        EXPECT_EQ(Cells(read),
            (std::vector<std::vector<QString>> { { "Classification", "AT command", "Parameter reference", "Function" },
                { "SMS", "AT+CMGF=1", "ref", "func" } }));
    } else {
        EXPECT_TRUE(read.error.contains(path)) << read.error.toStdString();
    }
}

} // namespace
