#include "core/ppp/ChapResponse.h"
#include "core/ppp/Md5.h"
#include "core/ppp/PppFrameCodec.h"
#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <string>

using namespace ulv;

namespace {

// RFC 1321, appendix A.5.
struct Md5Vector {
    std::string message;
    const char* digest;
};
const Md5Vector kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
        "57edf4a22be3c955ac49da2e2107b67a"},
};

std::string Md5InPieces(const std::string& message, std::size_t piece)
{
    Md5Context ctx;
    Md5Init(ctx);
    const auto* p = reinterpret_cast<const std::uint8_t*>(message.data());
    for (std::size_t at = 0; at < message.size(); at += piece)
        Md5Update(ctx, p + at, std::min(piece, message.size() - at));
    Md5Final(ctx);
    return Md5DigestToHex(ctx.digest);
}

std::string UpperHex(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 32);
    return s;
}

} // namespace

TEST(Md5, Rfc1321Suite)
{
    for (const Md5Vector& v : kRfc1321Suite) {
        EXPECT_EQ(Md5StringHex(v.message.c_str()), v.digest) << v.message;
        // Fed in pieces that straddle the 64-byte blocks, the digest is the same.
        for (std::size_t piece : {1u, 7u, 63u, 64u, 65u})
            EXPECT_EQ(Md5InPieces(v.message, piece), v.digest) << v.message << " in pieces of " << piece;
    }
    EXPECT_EQ(Md5InPieces(std::string(1000000, 'a'), 1000), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, FinalLeavesOnlyTheDigest)
{
    Md5Context ctx;
    Md5Init(ctx);
    Md5Update(ctx, reinterpret_cast<const std::uint8_t*>("abc"), 3);
    Md5Final(ctx);
    EXPECT_EQ(Md5DigestToHex(ctx.digest), "900150983cd24fb0d6963f7d28e17f72");
    Md5Context zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(ctx.state, zero.state, sizeof zero.state), 0);
    EXPECT_EQ(std::memcmp(ctx.count, zero.count, sizeof zero.count), 0);
    EXPECT_EQ(std::memcmp(ctx.buffer, zero.buffer, sizeof zero.buffer), 0);
}

TEST(Md5, FileDigest)
{
    const QString path = ulv::test::TempHome() + "/md5-input.bin";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // More than one 1024-byte read, with bytes that text mode would change.
    QByteArray content;
    for (int i = 0; i < 2500; ++i)
        content.append(i % 3 == 0 ? '\r' : i % 3 == 1 ? '\n' : '\x1A');
    f.write(content);
    f.close();

    Md5Context ctx;
    Md5Init(ctx);
    Md5Update(ctx, reinterpret_cast<const std::uint8_t*>(content.constData()), content.size());
    Md5Final(ctx);
    EXPECT_EQ(Md5FileHex(path.toStdString()), Md5DigestToHex(ctx.digest));
    EXPECT_EQ(Md5FileHex((ulv::test::TempHome() + "/missing.bin").toStdString()), std::nullopt);
}

TEST(ChapMd5Response, KnownResponses)
{
    struct Case {
        const char* name;
        std::string identifier;
        std::string challenge;
        std::string secret;
        const char* response;
    } cases[] = {
        {"secret, challenge 00..0F", "01", "000102030405060708090A0B0C0D0E0F", PppStringToHex("secret"),
            "740E86463BDA3A4D7017D6E0FBA0699D"},
        {"independent vector", "01", "102DB5DF085D3041", PppStringToHex("MyPw"), "8F028814450D66D94C72331EF455A172"},
        {"blanks and lower case", "01", "10 2d b5 df 08 5d 30 41", PppStringToHex("MyPw"),
            "8F028814450D66D94C72331EF455A172"},
        {"empty secret: MD5 of 17 bytes", "01", "000102030405060708090A0B0C0D0E0F", "",
            "5619D278188B4F5A4DE00521375FDFD0"},
        // Longer than the 160 bytes the input once had to fit: hashed in full.
        {"200-byte secret", "01", "000102030405060708090A0B0C0D0E0F", PppStringToHex(std::string(200, 'x')),
            "8DB799CB7F60A7784E70357ED5B946D0"},
        {"odd digits", "1", "0001", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChapMd5Response(c.identifier, c.challenge, c.secret), c.response) << c.name;
}

TEST(ChapMd5Response, SpellsTheRfc1321Messages)
{
    // identifier + secret + challenge laid end to end form each test message.
    for (const Md5Vector& v : kRfc1321Suite) {
        if (v.message.size() < 2)
            continue;
        const std::string hex = PppStringToHex(v.message);
        const std::string id = hex.substr(0, 2);
        const std::size_t secretChars = 2 * ((v.message.size() - 1) / 2);
        const std::string secret = hex.substr(2, secretChars);
        const std::string challenge = hex.substr(2 + secretChars);
        EXPECT_EQ(ChapMd5Response(id, challenge, secret), UpperHex(v.digest)) << v.message;
    }
}
