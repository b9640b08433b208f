// ulvprobe at: AT exchanges through a modem session, from the command line,
// against the simulated module.

#include "sim/SimFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ProbeRun {
    int code;
    QList<QJsonObject> lines;
    QByteArray err;
};

ProbeRun Probe(const QStringList& args)
{
    QProcess p;
    p.start(ULVPROBE_PATH, args);
    p.waitForFinished(30000);
    ProbeRun r{p.exitCode(), {}, p.readAllStandardError()};
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            r.lines << QJsonDocument::fromJson(line).object();
    return r;
}

class UlvprobeAt : public ulv::sim::SimFixture {};

} // namespace

TEST_F(UlvprobeAt, PrintsEachReplyAndItsResult)
{
    AddFault("AT+CPIN? | cme 10");
    const ProbeRun r = Probe({"at", QString::fromStdString(SlavePath()), "AT+CSQ", "AT+CPIN?", "AT+COPS?",
        "--timeout-ms", "5000"});
    EXPECT_EQ(r.code, 1) << "one command failed";
    ASSERT_EQ(r.lines.size(), 3) << r.err.constData();
    EXPECT_EQ(r.lines[0]["command"].toString(), "AT+CSQ");
    EXPECT_EQ(r.lines[0]["result"].toString(), "reply");
    EXPECT_TRUE(r.lines[0]["reply"].toString().contains("+CSQ: 20,99\r\n"));
    EXPECT_EQ(r.lines[1]["result"].toString(), "error");
    EXPECT_TRUE(r.lines[1]["reply"].toString().contains("+CME ERROR: 10"));
    EXPECT_EQ(r.lines[2]["result"].toString(), "reply");
    EXPECT_FALSE(r.lines[2]["reply"].toString().contains("CME")) << "each reply is its command's own";
    EXPECT_EQ(sim().Commands(), (std::vector<std::string>{"AT+CSQ", "AT+CPIN?", "AT+COPS?"}));
}

TEST_F(UlvprobeAt, ASilentModuleTimesOutAndAMissingPortExitsTwo)
{
    AddFault("AT | silent");
    const ProbeRun silent = Probe({"at", QString::fromStdString(SlavePath()), "AT", "--timeout-ms", "300"});
    EXPECT_EQ(silent.code, 1);
    ASSERT_EQ(silent.lines.size(), 1);
    EXPECT_EQ(silent.lines[0]["result"].toString(), "timeout");

    const ProbeRun missing = Probe({"at", "/dev/ulv-no-such-port", "AT"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.startsWith("cannot open /dev/ulv-no-such-port")) << missing.err.constData();
}
