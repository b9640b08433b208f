#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace {

struct ProbeRun {
    int exitCode;
    QString out;
};

ProbeRun Probe(const QStringList& args)
{
    QProcess p;
    p.start(ULVPROBE_PATH, args);
    if (!p.waitForFinished(10000))
        return {-1, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed()};
}

} // namespace

TEST(PppProbe, CommandsPrintWhatTheCoreComputes)
{
    struct Case {
        QStringList args;
        int exitCode;
        QString out;
    } cases[] = {
        {{"ppp-frame", "--protocol", "C021", "--code", "01", "--id", "01", "--data", "020600000000"}, 0,
            "7EFF7D23C0217D217D217D207D2A7D227D267D207D207D207D20587B7E"},
        {{"ppp-frame", "--protocol", "C021", "--code", "01", "--id", "01", "--data", "020600000000", "--accm",
             "00000000"},
            0, "7EFF03C0210101000A020600000000587B7E"},
        {{"ppp-frame", "--protocol", "8021", "--code", "03", "--id", "09", "--data", "03060A00020F", "--accm",
             "000A0000"},
            0, "7EFF0380210309000A03060A00020F7D5E187E"},
        {{"ppp-parse", "ff03c021020100041c90"}, 0,
            R"({"frame":"7EFF03C021020100041C907E","protocol":"C021","code":"02","id":"01","data":"","options":[]})"},
        {{"ppp-parse", "ff03c0230207000d084c6f67696e206f6b9bd9"}, 0,
            R"({"frame":"7EFF03C0230207000D084C6F67696E206F6B9BD97E","protocol":"C023","code":"02","id":"07",)"
            R"("data":"084C6F67696E206F6B"})"},
        {{"ppp-parse", "7E", "FF", "03", "80", "21", "03", "09", "00", "0A", "03", "06", "0A", "00", "02", "0F", "7D",
             "5E", "18", "7E"},
            0,
            R"({"frame":"7EFF0380210309000A03060A00020F7E187E","protocol":"8021","code":"03","id":"09",)"
            R"("data":"03060A00020F","options":[{"type":"03","length":6,"value":"0A00020F"}]})"},
        {{"ppp-parse", "ff03c021020100041c91"}, 2, R"({"error":"fcs","frame":"7EFF03C021020100041C917E"})"},
        {{"ppp-parse", "ff03c021020100051c90"}, 2, R"({"error":"length","frame":"7EFF03C021020100051C907E"})"},
        {{"ppp-parse", "7EFF03C0217E"}, 2, R"({"error":"length","frame":"7EFF03C0217E"})"},
        {{"md5", "abc"}, 0, "900150983cd24fb0d6963f7d28e17f72"},
        {{"md5", ""}, 0, "d41d8cd98f00b204e9800998ecf8427e"},
        {{"chap", "01", "000102030405060708090A0B0C0D0E0F", "secret"}, 0, "740E86463BDA3A4D7017D6E0FBA0699D"},
        {{"chap", "01", "102DB5DF085D3041", "MyPw"}, 0, "8F028814450D66D94C72331EF455A172"},
        // Usage and input errors.
        {{"ppp-frame", "--code", "01", "--id", "01"}, 2, ""},
        {{"ppp-frame", "--protocol", "C021", "--code", "01", "--id", "01", "--data", "0206000"}, 2, ""},
        {{"ppp-frame", "--protocol", "C021", "--code", "01", "--id", "01", "--accm", "FFFF"}, 2, ""},
        {{"ppp-parse", "7EFFXX"}, 2, ""},
        {{"ppp-parse"}, 2, ""},
        {{"chap", "01", "0001"}, 2, ""},
        {{"chap", "01", "000", "s"}, 2, ""},
    };
    for (const Case& c : cases) {
        const ProbeRun r = Probe(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
}
