#include "ui/core/ListHeadings.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(ListHeadings, ParsesLabelWidthPairs)
{
    struct Case {
        const char* text;
        std::vector<std::pair<QString, int>> columns;
    } cases[] = {
        {"Index,50;Classification,200", {{"Index", 50}, {"Classification", 200}}},
        {"Index,50;Classification,200;", {{"Index", 50}, {"Classification", 200}}},
        {"Index,50;Trailing", {{"Index", 50}}},
        {"Name,;Size,x", {{"Name", 0}, {"Size", 0}}},
        {"A,12px;B, 30", {{"A", 12}, {"B", 30}}},
        {"Huge,99999999999", {{"Huge", 2147483647}}},
        {"", {}},
        {"no comma at all", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<QString, int>> got;
        for (const HeadingColumn& h : ParseHeadings(c.text))
            got.emplace_back(h.label, h.width);
        EXPECT_EQ(got, c.columns) << c.text;
    }
}

TEST(ListHeadings, LayoutBytesRoundTrip)
{
    const QByteArray bytes = EncodeColumnLayout({80, 120});
    EXPECT_EQ(bytes, QByteArray::fromHex("02000000" "50000000" "78000000"));
    EXPECT_EQ(DecodeColumnLayout(bytes, 2), (std::vector<int>{80, 120}));
    EXPECT_EQ(DecodeColumnLayout(EncodeColumnLayout({}), 0), std::vector<int>{});
}

TEST(ListHeadings, UnfittingLayoutIsIgnored)
{
    struct Case {
        QByteArray bytes;
        int columns;
    } cases[] = {
        {QByteArray::fromHex("02000000" "50000000" "78000000"), 3},  // other count
        {QByteArray::fromHex("02000000" "50000000"), 2},             // short
        {QByteArray::fromHex("020000"), 2},                          // not even a count
        {QByteArray(), 2},
        {QByteArray::fromHex("ffffffff"), -1},
        {QByteArray::fromHex("01000000" "f6ffffff"), 1},             // negative width
    };
    for (const Case& c : cases)
        EXPECT_FALSE(DecodeColumnLayout(c.bytes, c.columns).has_value()) << c.bytes.toHex().constData();
}
