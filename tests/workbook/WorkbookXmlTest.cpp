// The XML part parsers of the workbook reader, on hand-written parts.
#include "atlib/core/WorkbookXml.h"

#include <gtest/gtest.h>

namespace {

using ulv::ParseSheetXml;
using ulv::SheetScan;

QByteArray Sheet(const QByteArray& sheetData)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
        + sheetData + "</sheetData></worksheet>";
}

QByteArray Inline(const char* ref, const char* text)
{
    return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// The texts of columns A..D (shared indexes shown as "#n") of each scanned row.
std::vector<std::vector<QString>> Texts(const SheetScan& scan)
{
    std::vector<std::vector<QString>> out;
    for (const ulv::SheetRow& row : scan.rows) {
        std::vector<QString> cells { QString::number(row.number) };
        for (const ulv::SheetCell& c : row.cells)
            cells.push_back(c.sharedIndex >= 0 ? QStringLiteral("#%1").arg(c.sharedIndex) : c.text);
        out.push_back(cells);
    }
    return out;
}

TEST(WorkbookEscapes, DecodeTable)
{
    struct Case {
        const char16_t* in;
        QString out;
    } cases[] = {
        { u"plain", QStringLiteral("plain") },
        { u"a_x000D__x000A_b", QStringLiteral("a\r\nb") },
        { u"_x005F_x0041_", QStringLiteral("_x0041_") }, // escaped underscore stays literal
        { u"_x0041_x0042_", QStringLiteral("Ax0042_") }, // one escape consumes its underscores
        { u"_x004a__x004A_", QStringLiteral("JJ") }, // either case of hex digit
        { u"_x12G4_", QStringLiteral("_x12G4_") }, // not hex: left alone
        { u"_x123_", QStringLiteral("_x123_") }, // too short
        { u"_x0041", QStringLiteral("_x0041") }, // cut off at the end
        { u"\u4E2D_x6587_", QString::fromUtf8("\xE4\xB8\xAD\xE6\x96\x87") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ulv::DecodeWorkbookEscapes(QString::fromUtf16(c.in)), c.out)
            << QString::fromUtf16(c.in).toStdString();
}

TEST(WorkbookEscapes, ProtectedTextsDecodeToThemselves)
{
    const QString texts[] = {
        QStringLiteral("_x0041_"),
        QStringLiteral("_x0041_x0042_"),
        QStringLiteral("__x005F_x005F_"),
        QStringLiteral("a_xbeef_"),
        QStringLiteral("x_"),
        QString(QChar(0)) + QStringLiteral("after nul"),
        QStringLiteral("_x0041") + QChar(0) + QStringLiteral("x0042_"), // the NUL's escape must not close an escape
        QStringLiteral("no escape at all"),
        QStringLiteral("_x0041") + QChar(0xFFFF) + QChar(0xFFFE),
        QStringLiteral("lone ") + QChar(0xD800) + QStringLiteral(" and ") + QChar(0xDC00) + QStringLiteral("_x0041"),
        QStringLiteral("pair ") + QChar(0xD83D) + QChar(0xDE00),
    };
    for (const QString& t : texts) {
        const QString protectedText = ulv::ProtectWorkbookEscapes(t);
        // What is left is text XML can carry: no NUL, no non-character, no lone surrogate.
        EXPECT_EQ(QString::fromUtf8(protectedText.toUtf8()), protectedText) << t.toStdString();
        EXPECT_FALSE(protectedText.contains(QChar(0)) || protectedText.contains(QChar(0xFFFF))
            || protectedText.contains(QChar(0xFFFE)));
        EXPECT_EQ(ulv::DecodeWorkbookEscapes(protectedText), t) << t.toStdString();
    }
}

TEST(WorkbookNumbers, TextOfTheValue)
{
    const std::pair<const char*, const char*> cases[] = {
        { "12", "12" },
        { "12.0", "12" },
        { "1.5", "1.5" },
        { " 1.50 ", "1.5" },
        { "-3", "-3" },
        { "-0", "0" },
        { "0", "0" },
        { "1E3", "1000" },
        { "1.2e-3", "0.0012" },
        { "13800138000", "13800138000" },
        { "0.30000000000000004", "0.3" }, // 15 significant digits, as a spreadsheet shows it
        { "1E+20", "1E+20" },
        { "123456789012345678", "1.23456789012346E+17" },
        { "", "" },
        { "abc", "abc" }, // not a number: the text as it is
        { "12abc", "12abc" },
        { "nan", "nan" },
        { "inf", "inf" },
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ulv::WorkbookNumberText(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
}

TEST(WorkbookParts, ResolveTargets)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        { "xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml" },
        { "xl/workbook.xml", "/xl/worksheets/data.xml", "xl/worksheets/data.xml" },
        { "xl/workbook.xml", "./worksheets/../sheets/a%20b.xml", "xl/sheets/a b.xml" },
        { "xl/workbook.xml", "../other/book.xml", "other/book.xml" },
        { "xl/workbook.xml", "../../escape.xml", "" },
        { "", "xl/workbook.xml", "xl/workbook.xml" },
        { "", "/xl/workbook.xml", "xl/workbook.xml" },
    };
    for (const auto& [source, target, part] : cases)
        EXPECT_EQ(ulv::ResolveWorkbookPart(QString::fromLatin1(source), QString::fromLatin1(target)),
            QString::fromLatin1(part))
            << source << " + " << target;
}

TEST(WorkbookParts, FirstSheetIsTheFirstListed)
{
    const QByteArray xml = R"(<?xml version="1.0"?>)"
                           R"(<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                           R"(xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
                           R"(<x:bookViews/><x:sheets><x:sheet name="Data" sheetId="9" rel:id="rId7"/>)"
                           R"(<x:sheet name="Other" sheetId="1" rel:id="rId1"/></x:sheets></x:workbook>)";
    const ulv::WorkbookFirstSheet first = ulv::ParseWorkbookXml(xml);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.relationId, QStringLiteral("rId7"));

    const QByteArray faulty[] = {
        R"(<workbook><sheets/></workbook>)",
        R"(<workbook><sheets><sheet name="A" id="rId1"/></sheets></workbook>)", // id without namespace
        R"(<workbook><sheets><sheet)",
        "",
    };
    for (const QByteArray& xml : faulty) {
        const ulv::WorkbookFirstSheet r = ulv::ParseWorkbookXml(xml);
        EXPECT_FALSE(r.ok) << xml.constData();
        EXPECT_FALSE(r.error.isEmpty());
    }
}

TEST(WorkbookParts, Relations)
{
    const QByteArray xml
        = R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rId3" Type="http://x/relationships/hyperlink" Target="http://e.com" TargetMode="External"/>)"
          R"(<Relationship Id="rId1" Type="http://purl.oclc.org/ooxml/officeDocument/relationships/sharedStrings" Target="s.xml"/>)"
          R"(<Relationship Id="rId2" Type="http://x/relationships/mysharedStrings" Target="wrong.xml"/>)"
          R"(</Relationships>)";
    const ulv::WorkbookRelations rels = ulv::ParseRelationsXml(xml);
    ASSERT_TRUE(rels.ok);
    const ulv::WorkbookRelation* shared = ulv::FindRelationByType(rels, u"sharedStrings");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->target, QStringLiteral("s.xml"));
    ASSERT_NE(ulv::FindRelationById(rels, u"rId3"), nullptr);
    EXPECT_TRUE(ulv::FindRelationById(rels, u"rId3")->external);
    EXPECT_EQ(ulv::FindRelationById(rels, u"rId9"), nullptr);
}

TEST(WorkbookSheet, CellKinds)
{
    const QByteArray data
        = R"(<row r="1">)"
          R"(<c r="A1" t="s"><v>3</v></c>)"
          R"(<c r="B1" t="inlineStr"><is><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r><rPh><t>PH</t></rPh></is></c>)"
          R"(<c r="C1"><v>12.0</v></c>)"
          R"(<c r="D1" t="b"><v>1</v></c>)"
          R"(<c r="E1"><v>ignored</v></c>)"
          R"(</row><row r="2">)"
          R"(<c r="A2" t="str"><f>"x"&amp;"y"</f><v>x&amp;y_x000D_</v></c>)"
          R"(<c r="B2" t="e"><v>#N/A</v></c>)"
          R"(<c r="C2" t="n"><v>1.5</v></c>)"
          R"(<c r="D2" t="b"><v>0</v></c>)"
          R"(</row>)";
    const SheetScan scan = ParseSheetXml(Sheet(data), 65534);
    ASSERT_TRUE(scan.ok) << scan.error.toStdString();
    const std::vector<std::vector<QString>> expected {
        { "1", "#3", "rich text", "12", "TRUE" },
        { "2", "x&y\r", "#N/A", "1.5", "FALSE" },
    };
    EXPECT_EQ(Texts(scan), expected);
}

TEST(WorkbookSheet, PositionsWithoutReferences)
{
    // Rows and cells without r follow the previous ones; a cell with r jumps.
    const QByteArray data = "<row>" + Inline("", "a")
        + "<c t=\"inlineStr\"><is><t>b</t></is></c></row>"
          "<row><c t=\"inlineStr\"><is><t>c</t></is></c>"
        + Inline("D2", "d") + "<c><v>5</v></c></row>"; // E2, beyond the columns read
    const SheetScan scan = ParseSheetXml(Sheet(data), 65534);
    ASSERT_TRUE(scan.ok) << scan.error.toStdString();
    const std::vector<std::vector<QString>> expected {
        { "1", "a", "b", "", "" },
        { "2", "c", "", "", "d" },
    };
    EXPECT_EQ(Texts(scan), expected);
}

TEST(WorkbookSheet, StopsWhereTheImportStops)
{
    struct Case {
        const char* what;
        QByteArray data;
        int maxRow;
        std::vector<int> rows;
    } cases[] = {
        { "cells outside rows", Inline("A1", "a") + Inline("A2", "b"), 10, {} },
        { "row 1 missing", "<row r=\"2\">" + Inline("A2", "a") + "</row>", 10, {} },
        { "empty A ends it",
            "<row r=\"1\">" + Inline("A1", "a") + "</row><row r=\"2\">" + Inline("B2", "b") + "</row><row r=\"3\">"
                + Inline("A3", "c") + "</row>",
            10, { 1, 2 } },
        { "blank A ends it",
            "<row r=\"1\">" + Inline("A1", " \t ") + "</row><row r=\"2\">" + Inline("A2", "c") + "</row>", 10, { 1 } },
        { "row limit",
            "<row r=\"1\">" + Inline("A1", "a") + "</row><row r=\"2\">" + Inline("A2", "b") + "</row><row r=\"3\">"
                + Inline("A3", "c") + "</row>",
            2, { 1, 2 } },
    };
    for (const Case& c : cases) {
        const SheetScan scan = ParseSheetXml(Sheet(c.data), c.maxRow);
        ASSERT_TRUE(scan.ok) << c.what;
        std::vector<int> numbers;
        for (const ulv::SheetRow& r : scan.rows)
            numbers.push_back(r.number);
        EXPECT_EQ(numbers, c.rows) << c.what;
    }
}

TEST(WorkbookSheet, OutOfOrderRowsAreMerged)
{
    const QByteArray data = "<row r=\"1\">" + Inline("A1", "one")
        + "</row>"
          "<row r=\"2\">"
        + Inline("A2", "two")
        + "</row>"
          "<row r=\"1\">"
        + Inline("B1", "again")
        + "</row>"
          "<row r=\"2\">"
        + Inline("C2", "more")
        + "</row>"
          "<row r=\"9\">"
        + Inline("A9", "beyond") + "</row>";
    const SheetScan scan = ParseSheetXml(Sheet(data), 5);
    ASSERT_TRUE(scan.ok);
    const std::vector<std::vector<QString>> expected {
        { "1", "one", "again", "", "" },
        { "2", "two", "", "more", "" },
    };
    EXPECT_EQ(Texts(scan), expected);
}

TEST(WorkbookSheet, DamagedPartsAreErrors)
{
    const QByteArray faulty[] = {
        Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>x</v></c></row>"), // shared index not a number
        Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>"),
        Sheet("<row r=\"1\">" + Inline("A1", "a &bogus; b") + "</row>"), // undefined entity
        Sheet("<row r=\"1\">" + Inline("A1", "a") + "</row>").chopped(12), // truncated
        R"(<!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;">]><worksheet><sheetData><row><c t="inlineStr"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>)",
        "not xml at all",
    };
    for (const QByteArray& xml : faulty) {
        const SheetScan scan = ParseSheetXml(xml, 65534);
        EXPECT_FALSE(scan.ok) << xml.constData();
        EXPECT_FALSE(scan.error.isEmpty());
    }
}

TEST(WorkbookSharedStrings, OnlyWantedItemsAreKept)
{
    const QByteArray xml = R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4">)"
                           R"(<si><t>zero</t></si>)"
                           R"(<si><r><t xml:space="preserve">one </t></r><r><rPr><i/></rPr><t>rich</t></r>)"
                           R"(<rPh sb="0" eb="1"><t>PHONETIC</t></rPh><phoneticPr fontId="1"/></si>)"
                           R"(<si><t>a_x000D__x000A_b &lt;&amp;&gt; &#13;</t></si>)"
                           R"(<si/>)"
                           R"(</sst>)";
    const ulv::SharedStrings s = ulv::ParseSharedStringsXml(xml, { 1, 2, 3, 7 });
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.texts.size(), 3u);
    EXPECT_EQ(s.texts.at(1), QStringLiteral("one rich"));
    EXPECT_EQ(s.texts.at(2), QStringLiteral("a\r\nb <&> \r"));
    EXPECT_EQ(s.texts.at(3), QString());
    EXPECT_EQ(s.texts.count(7), 0u);

    // Damage after the last wanted item does not matter; before it, it does.
    EXPECT_TRUE(ulv::ParseSharedStringsXml(xml.left(xml.indexOf("<si/>")), { 0 }).ok);
    EXPECT_FALSE(ulv::ParseSharedStringsXml(xml.left(xml.indexOf("<si/>")), { 3 }).ok);
}

} // namespace
