#include "core/sms/Gsm7Codec.h"
#include "core/text/TextCodecs.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(Gsm7Pack, PacksSeptetsIntoCeilingOctets)
{
    struct Case {
        QByteArray text;
        const char* hex;
    } cases[] = {
        {"abc", "61F118"},
        {"hellohello", "E8329BFD4697D9EC37"},
        {"abcdefgh", "61F1985C369FD1"},    // 8 characters fill 7 octets exactly
        {"abcdefg", "61F1985C369F01"},     // 7 characters take 7 octets too
        {"a", "61"},                       // the last partial octet is written
        {"How are you?", "C8F71D14969741F977FD07"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesToHex(Gsm7Pack(c.text)), QByteArray(c.hex)) << c.text.constData();
}

TEST(Gsm7Pack, KeepsEachCharacterToSevenBits)
{
    EXPECT_EQ(Gsm7Pack("\xe1\xe2"), Gsm7Pack("ab"));
}

TEST(Gsm7Unpack, GivesEveryCompleteSeptet)
{
    struct Case {
        const char* hex;
        QByteArray text;
    } cases[] = {
        {"61F1985C369FD1", "abcdefgh"},
        {"61F1985C369F01", QByteArray("abcdefg\0", 8)}, // 7 octets always give 8 characters
        {"E8329BFD4697D9EC37", "hellohello"},
        {"61F118", "abc"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Gsm7Unpack(HexToBytes(c.hex)), c.text) << c.hex;
}

TEST(Gsm7Unpack, AfterFillSkipsOneBit)
{
    // User data after a 6-octet concatenation header: one fill bit, then "Hakuna".
    EXPECT_EQ(Gsm7UnpackAfterFill(HexToBytes("90E175DD1D06")), QByteArray("Hakuna"));
    EXPECT_EQ(Gsm7UnpackAfterFill(HexToBytes("40ED303D4C0F03")), QByteArray(" matata"));
    EXPECT_EQ(Gsm7UnpackAfterFill({}), QByteArray());
}

TEST(Gsm7Unpack, SeptetRangeStaysInsideTheOctets)
{
    const QByteArray octets = HexToBytes("E8329BFD4697D9EC37"); // hellohello
    struct Case {
        qsizetype first;
        qsizetype count;
        QByteArray text;
    } cases[] = {
        {0, 5, "hello"},
        {5, 5, "hello"},
        {7, 100, "llo"},
        {10, 1, ""},
        {-1, 3, ""},
        {2, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Gsm7UnpackSeptets(octets, c.first, c.count), c.text) << c.first << "+" << c.count;
}
