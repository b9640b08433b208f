#include "PtyPair.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct ProbeRun {
    int code;
    QByteArray out;
    QByteArray err;
};

ProbeRun Probe(const QStringList& args)
{
    QProcess p;
    p.start(ULVPROBE_PATH, args);
    p.waitForFinished(10000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

TEST(UlvprobeSend, WritesTheBytesAndPrintsTheReplyAsHex)
{
    PtyPair pty;
    std::thread device([&] {
        const QByteArray cmd = pty.Read(4, 5000);
        if (cmd == "AT\r\n")
            pty.Write("\r\nOK\r\n");
    });
    const ProbeRun r = Probe({"send", pty.SlavePath(), "41540d0a", "--read-ms", "1500"});
    device.join();
    EXPECT_EQ(r.code, 0) << r.err.constData();
    EXPECT_EQ(r.out, "0d 0a 4f 4b 0d 0a\n");
}

TEST(UlvprobeSend, UnopenablePortOrBadHexExitsTwo)
{
    struct Case {
        QStringList args;
        const char* errorStart;
    } cases[] = {
        {{"send", "/dev/ulv-no-such-port", "4154"}, "cannot open /dev/ulv-no-such-port"},
        {{"send", "/dev/null", "41x"}, "not a hex string"},
        {{"send", "/dev/null"}, "usage:"},
    };
    for (const Case& c : cases) {
        const ProbeRun r = Probe(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(c.errorStart)) << r.err.constData();
    }
}

TEST(UlvprobePorts, EveryLineIsAPortObject)
{
    const ProbeRun r = Probe({"ports"});
    ASSERT_EQ(r.code, 0);
    for (const QByteArray& line : r.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        EXPECT_TRUE(o.value("path").toString().startsWith("/dev/")) << line.constData();
        EXPECT_TRUE(o.contains("friendly") && o.contains("kind") && o.value("module").isBool()) << line.constData();
    }
}
