#include "core/sms/SmsPdu.h"

#include "common/TestEnv.h"
#include "core/text/TextCodecs.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

SmsPduRecord Record(const char* smsc, const char* number, unsigned char dcs, const QByteArray& text)
{
    SmsPduRecord r;
    r.smscNumber = smsc;
    r.number = number;
    r.dcs = dcs;
    r.text = text;
    return r;
}

QByteArray Repeat(const QByteArray& piece, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

const QByteArray kNi = "\xe4\xbd\xa0"; // 你, three bytes of UTF-8

struct VectorRow {
    QByteArray pdu;
    QByteArray source;
};

std::vector<VectorRow> LoadVectors()
{
    std::vector<VectorRow> rows;
    QFile f(ulv::test::TestDataPath("sms/pdu-vectors.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        return rows;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> cols = line.split('\t');
        rows.push_back({cols.value(0), cols.value(1)});
    }
    return rows;
}

} // namespace

TEST(EncodeSmsSubmitPdu, BuildsTheSubmitLayout)
{
    struct Case {
        SmsPduRecord record;
        const char* pdu;
    } cases[] = {
        {Record("31624000000", "31641600986", 0, "abc"), "07911326040000F011000B911346610089F60000000361F118"},
        {Record("31624000000", "31641600986", 0, "hellohello"),
            "07911326040000F011000B911346610089F6000000" "0AE8329BFD4697D9EC37"},
        {Record("2781191", "27821234567", 4, "Hello world!"),
            "0591721891F111000B917228214365F70004000C48656C6C6F20776F726C6421"},
        {Record("8613800100500", "10086", 8, "Hi"), "0891683108100005F0" "1100" "05910180F6" "000800" "04" "00480069"},
        {Record("8613800100500", "10086", 8, "\xe4\xbd\xa0\xe5\xa5\xbd"),
            "0891683108100005F0" "1100" "05910180F6" "000800" "04" "4F60597D"},
        {Record("", "123", 0, ""), "01911100039121F300000000"},  // no SMSC digits: 01 91
        {Record("1", "*#", 0, "a"), "0291F111000291BA0000000161"},
    };
    for (const auto& c : cases) {
        QByteArray out = "old";
        SmsPduError error = SmsPduError::Truncated;
        const int n = EncodeSmsSubmitPdu(c.record, out, &error);
        EXPECT_EQ(out, QByteArray(c.pdu)) << c.pdu;
        EXPECT_EQ(n, int(qstrlen(c.pdu))) << c.pdu;
        EXPECT_EQ(error, SmsPduError::None) << c.pdu;
    }
}

TEST(EncodeSmsSubmitPdu, RefusesWhatOneSmsCannotHold)
{
    struct Case {
        SmsPduRecord record;
        SmsPduError error;
    } cases[] = {
        {Record("1", "2", 0, Repeat("a", 161)), SmsPduError::TextTooLong},
        {Record("1", "2", 8, Repeat(kNi, 71)), SmsPduError::TextTooLong},
        {Record("1", "2", 4, Repeat("x", 141)), SmsPduError::TextTooLong},
        {Record("1", "2", 0, "caf\xc3\xa9"), SmsPduError::TextNotGsm7},
        {Record("1", "+4670", 0, "a"), SmsPduError::InvalidNumber},
        {Record("12 3", "2", 0, "a"), SmsPduError::InvalidNumber},
        {Record("1", Repeat("1", 21).constData(), 0, "a"), SmsPduError::InvalidNumber},
    };
    for (const auto& c : cases) {
        QByteArray out = "old";
        SmsPduError error = SmsPduError::None;
        EXPECT_EQ(EncodeSmsSubmitPdu(c.record, out, &error), 0);
        EXPECT_TRUE(out.isEmpty());
        EXPECT_EQ(error, c.error) << SmsPduErrorText(error).toStdString();
    }
}

TEST(EncodeSmsSubmitPdu, FullMessagesRoundTrip)
{
    const SmsPduRecord records[] = {
        Record("8613800100500", "8613912345678", 0, Repeat("0123456789abcdef", 10)),      // 160 septets
        Record("8613800100500", "8613912345678", 8, Repeat(kNi, 70)),                     // 70 CJK characters
        Record("46708251358", Repeat("9", 20).constData(), 4, Repeat(QByteArray(1, '\xff'), 140)),
        Record("1", "12345", 0, "odd number"),
    };
    for (const auto& r : records) {
        QByteArray pdu;
        ASSERT_GT(EncodeSmsSubmitPdu(r, pdu), 0);
        SmsPduRecord back;
        const int n = DecodeSmsPdu(pdu, back);
        EXPECT_EQ(n, int(r.text.size()));
        EXPECT_EQ(back.smscNumber, r.smscNumber);
        EXPECT_EQ(back.number, r.number);
        EXPECT_EQ(back.dcs, r.dcs);
        EXPECT_EQ(back.text, r.text);
        EXPECT_TRUE(back.timeStamp.isEmpty());
    }
}

TEST(DecodeSmsPdu, ReadsPdusFromOtherImplementations)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    struct Expected {
        int result;
        const char* smsc;
        const char* number;
        int dcs;
        const char* timeStamp;
        QByteArray text;
        int reference, parts, part;
        SmsPduError error;
    };
    // In file order. The originator of the third row is alphanumeric ("InternetSMS",
    // type D0): this codec reads its semi-octets as digits. The originator field of
    // the node-pdu rows (0B91 9746121611F1) holds the digits 79642161111, which is
    // what is read, whatever the file's note says. Time stamps are the 14 digits as
    // the semi-octets give them (zone 84: minus 4 quarters).
    const Expected expected[] = {
        {12, "31624000000", "31641600986", 0, "02082619374184", "How are you?", 0, 0, 0, SmsPduError::None},
        {10, "", "46708251358", 0, "", "hellohello", 0, 0, 0, SmsPduError::None},
        {8, "79037011111", "9473DBC277799E3D6E41", 8, "11032919200416", "\xd1\x82\xd0\xb5\xd1\x81\xd1\x82", 0, 0, 0,
            SmsPduError::None},
        {6, "79037011111", "79642161111", 0, "01101619263232", "Hakuna", 0x2E, 2, 1, SmsPduError::None},
        {7, "79037011111", "79642161111", 0, "01101619263332", " matata", 0x2E, 2, 2, SmsPduError::None},
        {6, "79037011111", "79642161111", 0, "18110720212232", "Hello,", 0x1234, 2, 1, SmsPduError::None},
        {12, "2781191", "27821234567", 4, "", "Hello world!", 0, 0, 0, SmsPduError::None},
        {-1, "12345678901", "18005551212", 0, "11010112345600", "", 0, 0, 0, SmsPduError::Truncated},
    };
    const auto rows = LoadVectors();
    ASSERT_EQ(rows.size(), std::size(expected)) << "the vector file and this table must list the same PDUs";
    for (size_t i = 0; i < rows.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(rows[i].source.toStdString() + " " + rows[i].pdu.toStdString());
        SmsPduRecord r;
        SmsPduError error = SmsPduError::BadHex;
        EXPECT_EQ(DecodeSmsPdu(rows[i].pdu, r, &error), e.result);
        EXPECT_EQ(error, e.error);
        EXPECT_EQ(r.smscNumber, QByteArray(e.smsc));
        EXPECT_EQ(r.number, QByteArray(e.number));
        EXPECT_EQ(r.pid, 0);
        EXPECT_EQ(r.dcs, e.dcs);
        EXPECT_EQ(r.timeStamp, QByteArray(e.timeStamp));
        EXPECT_EQ(r.text, e.text);
        EXPECT_EQ(r.concatReference, e.reference);
        EXPECT_EQ(r.concatParts, e.parts);
        EXPECT_EQ(r.concatPart, e.part);
    }
}

TEST(DecodeSmsPdu, EdgeCases)
{
    struct Case {
        const char* what;
        QByteArray pdu;
        int result;
        QByteArray text;
    } cases[] = {
        {"DCS 8 DELIVER with the UCS-2 codes of H and i",
            "00040B911346610089F60008208062917314480400480069", 2, "Hi"},
        {"DCS 0x10 reads as 8-bit data: the packed octets are the bytes",
            "00040B911346610089F6001020806291731448" "09E8329BFD4697D9EC37", 9,
            QByteArray::fromHex("E8329BFD4697D9EC37")},
        {"UCS-2 with a concatenation header", "00440B911346610089F60008208062917314480A05000301020100480069", 2, "Hi"},
        {"7-bit header of 3 octets: four fill bits",
            "00440B911346610089F600002080629173144805" "0201001004", 1, "A"},
        {"SUBMIT without validity period (first octet 01)",
            "0001000B911346610089F6000003" "61F118", 3, "abc"},
        {"SUBMIT with a 7-octet absolute validity period (first octet 19)",
            "0019000B911346610089F6000020806291731448" "0361F118", 3, "abc"},
        {"SUBMIT with an enhanced validity period (first octet 09)",
            "0009000B911346610089F6000001000000000000" "0361F118", 3, "abc"},
        {"lower-case hex", "00040b911346610089f60000208062917314480361f118", 3, "abc"},
        {"text after the user data is ignored", "00040B911346610089F60000208062917314480361F118FFFF0", 3, "abc"},
        {"an SMSC of 20 digits", "0B9121436587092143658709040191F1000020806291731448" "0161", 1, "a"},
        {"empty user data", "00040191F100002080629173144800", 0, ""},
        {"a 7-bit septet 0 stays a zero character", "00040191F1000020806291731448020000", 2, QByteArray(2, '\0')},
    };
    for (const auto& c : cases) {
        SmsPduRecord r;
        SmsPduError error = SmsPduError::BadHex;
        EXPECT_EQ(DecodeSmsPdu(c.pdu, r, &error), c.result) << c.what;
        EXPECT_EQ(error, SmsPduError::None) << c.what;
        EXPECT_EQ(r.text, c.text) << c.what;
    }
}

TEST(DecodeSmsPdu, MalformedPdusAreErrors)
{
    struct Case {
        const char* what;
        QByteArray pdu;
        SmsPduError error;
    } cases[] = {
        {"empty", "", SmsPduError::Truncated},
        {"only an SMSC", "07911326040000F0", SmsPduError::Truncated},
        {"SMSC cut short", "0791132604", SmsPduError::Truncated},
        {"half an octet", "0", SmsPduError::Truncated},
        {"SMSC above 11 octets", "0C91214365870921436587092143", SmsPduError::AddressTooLong},
        {"address of 21 digits", "0004159121436587092143658709F1000020806291731448" "0161", SmsPduError::AddressTooLong},
        {"not hex", "00040B911346610089F60000208062917314480361G118", SmsPduError::BadHex},
        {"blank inside", "00 040B911346610089F6", SmsPduError::BadHex},
        {"7-bit user data over 160 septets", "00040191F1000020806291731448A1" + QByteArray(282, '0'),
            SmsPduError::UserDataTooLong},
        {"UCS-2 user data over 140 octets", "00040191F1000820806291731448" "8D" + QByteArray(282, '0'),
            SmsPduError::UserDataTooLong},
        {"header longer than the user data", "00440191F10004208062917314480305000300", SmsPduError::BadHeader},
        {"7-bit header longer than the septets", "00440191F100002080629173144802050000000000",
            SmsPduError::BadHeader},
        {"declared user data beyond the end", "00040191F10004208062917314480548656C6C", SmsPduError::Truncated},
        {"time stamp cut short", "00040191F10000208062", SmsPduError::Truncated},
        {"absolute validity period cut short", "0019000B911346610089F60000208062", SmsPduError::Truncated},
    };
    for (const auto& c : cases) {
        SmsPduRecord r;
        SmsPduError error = SmsPduError::None;
        EXPECT_EQ(DecodeSmsPdu(c.pdu, r, &error), -1) << c.what;
        EXPECT_EQ(error, c.error) << c.what << ": " << SmsPduErrorText(error).toStdString();
        EXPECT_LE(r.text.size(), 210) << c.what;
    }
}

TEST(DecodeSmsPdu, StartsFromAnEmptyRecord)
{
    SmsPduRecord r = Record("999", "888", 8, "old text");
    r.timeStamp = "old";
    r.concatParts = 3;
    ASSERT_EQ(DecodeSmsPdu("0001000B911346610089F6000003" "61F118", r), 3);
    EXPECT_EQ(r.smscNumber, QByteArray());
    EXPECT_EQ(r.timeStamp, QByteArray());
    EXPECT_EQ(r.dcs, 0);
    EXPECT_EQ(r.concatParts, 0);
}

TEST(DecodeSmsDeliverPdu, ReadsTheDeliverLayoutOnly)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const auto rows = LoadVectors();
    ASSERT_GE(rows.size(), 4u);
    SmsPduRecord a;
    SmsPduRecord b;
    // A plain DELIVER reads as with DecodeSmsPdu.
    EXPECT_EQ(DecodeSmsDeliverPdu(rows[0].pdu, a), 12);
    EXPECT_EQ(DecodeSmsPdu(rows[0].pdu, b), 12);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.timeStamp, b.timeStamp);

    // The user-data header is not recognised: all 13 septets read as text, header
    // included.
    EXPECT_EQ(DecodeSmsDeliverPdu(rows[3].pdu, a), 13);
    EXPECT_EQ(a.concatParts, 0);
    EXPECT_EQ(a.text.size(), 13);
    EXPECT_EQ(a.text.left(2), QByteArray("\x05\x00", 2));

    // A short PDU is an error, not a read past its end.
    SmsPduError error = SmsPduError::None;
    EXPECT_EQ(DecodeSmsDeliverPdu(rows[0].pdu.left(40), a, &error), -1);
    EXPECT_EQ(error, SmsPduError::Truncated);
}
