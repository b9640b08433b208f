#include "ui/core/NumericText.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(NumericText, Validity)
{
    struct Case {
        const char* text;
        float minimum, maximum;
        int expected;
    } cases[] = {
        {"12", 0, 255, NumTextValid},
        {" 12.5 ", 0, 255, NumTextValid},
        {"-3e2", -1000, 0, NumTextValid},
        {"+7", 0, 255, NumTextValid},
        {"256", 0, 255, NumTextOutOfRange},
        {"-0.5", 0, 255, NumTextOutOfRange},
        {"1e60", kNumEditLowest, kNumEditHighest, NumTextOutOfRange},
        {"nan", kNumEditLowest, kNumEditHighest, NumTextOutOfRange},
        {"", 0, 255, NumTextNotANumber},
        {"12a", 0, 255, NumTextNotANumber},
        {"1 2", 0, 255, NumTextNotANumber},
        {"--1", -5, 5, NumTextNotANumber},
        {"abc", 0, 255, NumTextNotANumber},
        {"+", 0, 255, NumTextLoneSign},
        {"-", 0, 255, NumTextLoneSign},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNumText(c.text, c.minimum, c.maximum), c.expected) << c.text;
}

TEST(NumericText, DecimalPlacesFollowTheShortForm)
{
    struct Case {
        float value;
        int places;
    } cases[] = {{2.5f, 1}, {0.125f, 3}, {3.0f, 0}, {1e-05f, 0}, {0.1f, 1}, {1.234567f, 5}, {-7.25f, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(DecimalPlacesOf(c.value), c.places) << c.value;
}

TEST(NumericText, FixedTextNeverUsesTheLocale)
{
    EXPECT_EQ(FixedFormat(2), "%.2f");
    EXPECT_EQ(FormatFixed(3.0f, 1), "3.0");
    EXPECT_EQ(FormatFixed(2.5f, 0), "2");
    EXPECT_EQ(FormatFixed(-48.125f, 2), "-48.12");
    EXPECT_EQ(NumTextMessage(NumTextOutOfRange), "Given value is out of range.\n");
    EXPECT_EQ(NumTextMessage(NumTextNotANumber), "Characters must be a number.\n");
    EXPECT_TRUE(NumTextMessage(NumTextLoneSign).isEmpty());
}
