#include "core/gnss/NmeaSentences.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <random>
#include <cmath>
#include <string>
#include <vector>

using namespace ulv;

namespace {

struct DoubleCase {
    const char* text;
    double expected;
};

TEST(NmeaFields, ToDoubleReadsTheLeadingNumberLikeAtof)
{
    const DoubleCase cases[] = {
        {"", -1.0},
        {"12.5", 12.5},
        {"000.0", 0.0},
        {"-3.25", -3.25},
        {"+2", 2.0},
        {"  7.5", 7.5},
        {"1e3", 1000.0},
        {"12.5*6A", 12.5}, // the number stops at the first other character
        {"abc", 0.0},
        {"-", 0.0},
        {"--5", 0.0},
        {"0x10", 16.0},
        {"1e999", HUGE_VAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NmeaFieldToDouble(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NmeaFields, ToDoubleRoundsPlainDecimalsCorrectly)
{
    // Plain decimals of every length up to beyond what a double holds exactly,
    // with the point anywhere: each must give the correctly rounded value that
    // strtod gives (from_chars as the reference, which needs no locale).
    std::mt19937 random(20240611);
    for (int n = 0; n < 20000; ++n) {
        const int digits = 1 + static_cast<int>(random() % 20);
        std::string text;
        for (int d = 0; d < digits; ++d)
            text += static_cast<char>('0' + random() % 10);
        const size_t point = random() % (text.size() + 1);
        if (random() % 4 != 0)
            text.insert(point, 1, '.');
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(NmeaFieldToDouble(text), expected) << text;
    }
}

struct CodeCase {
    const char* text;
    int expected;
};

TEST(NmeaFields, ToCodeMapsLettersAndReadsIntegers)
{
    const CodeCase cases[] = {
        {"", -1},
        {"A", 1},
        {"D", 2},
        {"E", 3},
        {"M", 4},
        {"N", 5},
        {"S", 6},
        {"V", 7},
        {"W", 8},
        {"n", 0}, // exact and case-sensitive
        {"AB", 0},
        {"1", 1},
        {"09", 9},
        {"081226", 81226},
        {"12abc", 12},
        {"-4", -4},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NmeaFieldToCode(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NmeaFields, ToDegreesSplitsDegreesFromMinutes)
{
    const DoubleCase cases[] = {
        {"4916.45", 49 + 16.45 / 60},
        {"12311.12", 123 + 11.12 / 60},
        {"4807.038", 48 + 7.038 / 60},
        {"01131.000", 11 + 31.0 / 60},
        {"0000.000", 0.0},
        {"", -1.0},
        {"4916", -1.0}, // no "."
        // Fewer than two digits before the ".": all of it is minutes.
        {"7.5", 7.5 / 60},
        {".5", 0.5 / 60},
        {".", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(NmeaToDegrees(c.text), c.expected, 1e-12) << '"' << c.text << '"';
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> sentences;
};

TEST(NmeaFields, SentencesRunFromDollarToTheLineEnd)
{
    const SplitCase cases[] = {
        {"CR LF", "$GPVTG,1*25\r\n", {"$GPVTG,1*25"}},
        {"bare LF keeps the last character", "$GPVTG,1*25\n", {"$GPVTG,1*25"}},
        {"only one CR goes", "$A,1\r\r\n", {"$A,1\r"}},
        {"text around sentences is dropped", "noise$A,1\nmore noise\n$B,2\r\n", {"$A,1", "$B,2"}},
        {"a second $ inside a line belongs to it", "$A,1$B,2\n", {"$A,1$B,2"}},
        {"an unended line is left", "$A,1\n$B,2", {"$A,1"}},
        {"empty lines", "\n\r\n$\n", {"$"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        ForEachSentence(c.text, [&](std::string_view s) { got.emplace_back(s); });
        EXPECT_EQ(got, c.sentences) << c.name;
    }
}

} // namespace
