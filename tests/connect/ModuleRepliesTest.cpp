#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/ModuleScripts.h"
#include "shell/core/CUlvenscopeApp.h"

#include <gtest/gtest.h>

using namespace ulv;

TEST(ModuleReplies, RegistrationStateFieldAndItsText)
{
    const struct {
        const char* reply;
        const char* prefix;
        const char* state;
        const char* text;
        bool registered;
    } cases[] = {
        {"AT+CREG?\r\r\n+CREG: 0,5\r\n\r\nOK\r\n", "+CREG:", "5", "Registered", true},
        {"AT+CGREG?\r\r\n+CGREG: 0,1\r\n\r\nOK\r\n", "+CGREG:", "1", "Registered", true},
        {"\r\n+CREG: 2,1,\"1A2B\",\"3C4D\",2\r\n\r\nOK\r\n", "+CREG:", "1", "Registered", true},
        {"\r\n+CREG: 0,2\r\n\r\nOK\r\n", "+CREG:", "2", "Not registered", false},
        {"\r\n+CGREG: 0, 3 \r\n\r\nOK\r\n", "+CGREG:", "3", "Registration denied", false},
        {"\r\n+CREG: 0,4\r\n\r\nOK\r\n", "+CREG:", "4", "Unknow", false},
        {"\r\n+CREG: 0,0\r\n\r\nOK\r\n", "+CREG:", "0", "Not registered", false},
        {"\r\n+CREG: 0,9\r\n\r\nOK\r\n", "+CREG:", "9", "", false},
        // A comma on a later line is not this reply's field.
        {"\r\n+CREG: 1\r\n\r\n+X: 1,2\r\nOK\r\n", "+CREG:", "", "", false},
        {"\r\nOK\r\n", "+CREG:", "", "", false},
    };
    for (const auto& c : cases) {
        const QString state = RegistrationStateField(c.reply, c.prefix);
        EXPECT_EQ(state, c.state) << c.reply;
        EXPECT_EQ(RegistrationStateText(state), c.text) << c.reply;
        EXPECT_EQ(IsRegisteredState(state), c.registered) << c.reply;
    }
}

TEST(ModuleReplies, ImsiGivesCountryAndNetworkCodes)
{
    const struct {
        const char* imsi;
        const char* mcc;
        const char* mnc;
    } cases[] = {
        {"001010123456789", "001", "01"},
        {"3101501234567890", "310", "150"},
        {"00101012345678", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        QString mcc = "x", mnc = "y";
        SplitImsi(c.imsi, mcc, mnc);
        EXPECT_EQ(mcc, c.mcc) << c.imsi;
        EXPECT_EQ(mnc, c.mnc) << c.imsi;
    }
}

TEST(ModuleReplies, ValuesOfSignalOperatorIccidAndBaudRate)
{
    bool ok = false;
    EXPECT_EQ(ParseSignalQuality("AT+CSQ\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n", &ok), 20);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ParseSignalQuality("\r\n+CSQ: 99,99\r\nOK\r\n", &ok), 99);
    ParseSignalQuality("\r\n+CSQ: \r\nOK\r\n", &ok);
    EXPECT_FALSE(ok);

    EXPECT_EQ(ParseOperatorName("\r\n+COPS: 0,0,\"Test PLMN 1-1\",2\r\n\r\nOK\r\n", &ok), "Test PLMN 1-1");
    EXPECT_TRUE(ok);
    ParseOperatorName("\r\n+COPS: 0\r\n\r\nOK\r\n", &ok);
    EXPECT_FALSE(ok);

    EXPECT_EQ(ParseIccidLine("+JCCID: 89860012345678901234"), "89860012345678901234");
    EXPECT_EQ(ParseIccidLine("89860012345678901234"), "89860012345678901234");

    EXPECT_EQ(ParseIprValue("AT+IPR?\r\r\n+IPR: 0\r\n\r\nOK\r\n"), "0");
    EXPECT_EQ(ParseIprValue("\r\n+IPR: 115200\r\n\r\nOK\r\n"), "115200");
    EXPECT_EQ(ParseIprValue("\r\nOK\r\n"), "");
}

TEST(ModuleReplies, UsbPortKindMatchesWholePortNames)
{
    const QStringList names = {"Modem DM Port (ttyUSB12)", "Modem AT Port (ttyUSB1)", "NMEA Port (ttyUSB3)",
        "Modem Port (ttyUSB4)", "Modem DM AT Port (ttyUSB5)"};
    const struct {
        const char* port;
        int kind;
    } cases[] = {
        {"/dev/ttyUSB1", 1},
        {"/dev/ttyUSB12", 2},
        {"/dev/ttyUSB3", 3},
        {"/dev/ttyUSB4", 5},
        {"/dev/ttyUSB5", 2},
        {"/dev/ttyUSB2", 4},
        {"/dev/ttyACM0", 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyUsbPort(names, c.port), c.kind) << c.port;
}

TEST(ModuleReplies, RevisionDecidesFamilyAndSubModel)
{
    const struct {
        const char* reply;
        int result;
        int tz;
        int subModel;
    } cases[] = {
        {"ATI\r\r\nMaker\r\nTZ20\r\nRevision: TZ20A01\r\n\r\nOK\r\n", 1, 1, 7},
        {"\r\nRevision: TZRX70\r\n\r\nOK\r\n", 1, 1, 7},
        {"\r\nRevision: RX70B03\r\nOK\r\n", 1, 5, 0},
        {"\r\nRevision: RX50C01\r\nOK\r\n", 1, 5, 1},
        {"\r\nRevision: KV33D01\r\nOK\r\n", 1, 5, 2},
        {"\r\nRevision: P21B02\r\nOK\r\n", 1, 0, 7},
        {"\r\nRevision: Q11\r\nOK\r\n", 0, 5, 7},
        {"\r\nMaker\r\nModel\r\nOK\r\n", 0, 5, 7},
        {"\r\nRevision: RX70", 0, 5, 7},
    };
    g_nModuleType = 1;
    for (const auto& c : cases) {
        g_bTzFamily = 5;
        g_nModuleSubModel = 7;
        EXPECT_EQ(ClassifyRevision(c.reply, nullptr), c.result) << c.reply;
        EXPECT_EQ(IsTzFamily(), c.tz) << c.reply;
        EXPECT_EQ(GetModuleSubModel(), c.subModel) << c.reply;
    }
    g_nModuleType = 0;
}

TEST(ModuleReplies, SmsInitialStateReadyByFamily)
{
    const struct {
        const char* reply;
        int family;
        std::optional<bool> ready;
    } cases[] = {
        {"\r\n+JINISTAT: 3\r\nOK\r\n", 0, true},
        {"\r\n+JINISTAT: 2\r\nOK\r\n", 0, false},
        {"\r\n+JINISTAT: 2\r\nOK\r\n", 1, true},
        {"\r\n+JINISTAT: 7\r\nOK\r\n", 1, true},
        {"\r\n+JINISTAT: 4\r\nOK\r\n", 1, false},
        // The colon of an unsolicited line before it is not the value's.
        {"\r\n+CREG: 3\r\n+JINISTAT: 1\r\nOK\r\n", 0, false},
        {"\r\n+JINISTAT:\r\nOK\r\n", 0, false},
        {"\r\nOK\r\n", 0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SmsInitReady(QString::fromLatin1(c.reply), c.family), c.ready) << c.reply << " family " << c.family;
}
