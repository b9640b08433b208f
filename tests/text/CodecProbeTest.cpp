#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ProbeRun {
    int exitCode;
    QByteArray out;
};

ProbeRun Probe(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ULVPROBE_PATH), args);
    if (!p.waitForFinished(20000))
        return {-1, {}};
    return {p.exitCode(), p.readAllStandardOutput()};
}

QJsonObject Json(const QByteArray& out)
{
    return QJsonDocument::fromJson(out).object();
}

} // namespace

TEST(CodecProbe, PduDecodePrintsTheRecord)
{
    const ProbeRun r = Probe({"pdu-decode", "07919730071111F1400B919746121611F10000811170021222230E06080412340201C8329BFD6601"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject o = Json(r.out);
    EXPECT_EQ(o["result"].toInt(), 6);
    EXPECT_EQ(o["smsc"].toString(), "79037011111");
    EXPECT_EQ(o["number"].toString(), "79642161111");
    EXPECT_EQ(o["pid"].toInt(), 0);
    EXPECT_EQ(o["dcs"].toInt(), 0);
    EXPECT_EQ(o["timestamp"].toString(), "18110720212232");
    EXPECT_EQ(o["text"].toString(), "Hello,");
    const QJsonObject udh = o["udh"].toObject();
    EXPECT_EQ(udh["reference"].toInt(), 0x1234);
    EXPECT_EQ(udh["parts"].toInt(), 2);
    EXPECT_EQ(udh["part"].toInt(), 1);
}

TEST(CodecProbe, PduDecodeReportsAMalformedPdu)
{
    const ProbeRun r = Probe({"pdu-decode", "07912143658709F1040B918100551512F20000111010214365000BE8329BFD4697D9EC37"});
    EXPECT_EQ(r.exitCode, 2);
    const QJsonObject o = Json(r.out);
    EXPECT_EQ(o["result"].toInt(), -1);
    EXPECT_FALSE(o["error"].toString().isEmpty());
}

TEST(CodecProbe, PduEncodePrintsThePduAndItsLength)
{
    const ProbeRun r = Probe({"pdu-encode", "--smsc", "31624000000", "--number", "31641600986", "--pid", "0", "--dcs", "0",
        "--text", "abc"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject o = Json(r.out);
    EXPECT_EQ(o["pdu"].toString(), "07911326040000F011000B911346610089F60000000361F118");
    EXPECT_EQ(o["length"].toInt(), 50);

    const ProbeRun cjk = Probe({"pdu-encode", "--smsc", "1", "--number", "2", "--dcs", "8", "--text", "你好"});
    ASSERT_EQ(cjk.exitCode, 0);
    EXPECT_TRUE(Json(cjk.out)["pdu"].toString().endsWith("044F60597D"));

    EXPECT_EQ(Probe({"pdu-encode", "--number", "+46", "--text", "a"}).exitCode, 2);
    EXPECT_EQ(Probe({"pdu-encode", "--dcs", "256", "--text", "a"}).exitCode, 2);
}

TEST(CodecProbe, Gsm7AndHexView)
{
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray out;
    } cases[] = {
        {{"gsm7-pack", "hellohello"}, 0, "E8329BFD4697D9EC37\n"},
        {{"gsm7-unpack", "E8329BFD4697D9EC37"}, 0, "hellohello\n"},
        {{"gsm7-unpack", "E8329"}, 2, ""},
        {{"gsm7-unpack", "zz"}, 2, ""},
        {{"hexview", "AT\r\n"}, 0, "41 54 0d 0a \r\n\n"},
        {{"hexview"}, 2, ""},
    };
    for (const auto& c : cases) {
        const ProbeRun r = Probe(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
}
