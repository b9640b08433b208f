#include "core/text/CommandFieldCheck.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

enum Kind { kQuoted, kBare, kNumber, kPort, kIpv4, kCommand };

QString Check(Kind kind, const QString& value)
{
    const QString field = QStringLiteral("Field");
    switch (kind) {
    case kQuoted: return CheckQuotedField(field, value);
    case kBare: return CheckBareField(field, value);
    case kNumber: return CheckNumberField(field, value);
    case kPort: return CheckPortField(field, value);
    case kIpv4: return CheckIpv4Field(field, value);
    case kCommand: return CheckCommandLine(field, value);
    }
    return {};
}

} // namespace

TEST(CommandFieldCheck, RefusesWhatWouldEndOrBreakTheCommand)
{
    const struct {
        Kind kind;
        const char* value;
        const char* message; // empty: accepted
    } cases[] = {
        {kQuoted, "CMNET", ""},
        {kQuoted, "cm net;x,y=1", ""}, // inside quotes these are plain text
        {kQuoted, "", ""},
        {kQuoted, "CMNET\";+CFUN=0;+JICSGP=1,\"CMNET", "\"Field\" must not contain a double quote (\")!"},
        {kQuoted, "a\rb", "\"Field\" must not contain a line break!"},
        {kQuoted, "a\nb", "\"Field\" must not contain a line break!"},
        {kQuoted, "a\x1A", "\"Field\" must not contain Ctrl-Z!"},
        {kQuoted, "\x1B", "\"Field\" must not contain Esc!"},
        {kBare, "1000", ""},
        {kBare, "1;+CFUN=0", "\"Field\" must not contain a semicolon (;)!"},
        {kBare, "1,2", "\"Field\" must not contain a comma (,)!"},
        {kBare, "\"", "\"Field\" must not contain a double quote (\")!"},
        {kNumber, "+8613500001111", ""},
        {kNumber, "*99#", ""},
        {kNumber, "", ""},
        {kNumber, "123;", "\"Field\" may hold only digits, +, * and #, not a semicolon (;)!"},
        {kNumber, "12a", "\"Field\" may hold only digits, +, * and #, not the character \"a\"!"},
        {kNumber, "1\r", "\"Field\" may hold only digits, +, * and #, not a line break!"},
        {kPort, "1", ""},
        {kPort, "65535", ""},
        {kPort, " 6003", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "0", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "70000", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "80;+CFUN=0", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "-1", "\"Field\" should be a number from 1 to 65535!"},
        {kPort, "99999999999999999999", "\"Field\" should be a number from 1 to 65535!"},
        {kIpv4, "203.0.113.60", ""},
        {kIpv4, "0.0.0.0", ""},
        {kIpv4, "255.255.255.255", ""},
        {kIpv4, "300.1.2.3", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "300.1.2", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "1.2.3", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "1.2.3.4.5", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "1..3.4", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "1.2.3.4\"", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kIpv4, "", "\"Field\" should be four numbers from 0 to 255 separated by dots!"},
        {kCommand, "AT+CGDCONT=1,\"IP\",\"cmnet\";+CGATT?", ""}, // a whole command line stays as typed
        {kCommand, "AT\rAT+CFUN=0", "\"Field\" must not contain a line break!"},
        {kCommand, "AT+CMGS=\"1\"\x1A", "\"Field\" must not contain Ctrl-Z!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(c.kind, QString::fromUtf8(c.value)).toStdString(), c.message) << int(c.kind) << " " << c.value;
}
