#pragma once

// Everything the simulated module remembers: settings, SIM and network, the
// message store, calls and audio values. Tests read and change it through
// SimModule::With.

#include "sim/SimText.h"
#include "sim/SmsMessage.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace ulv::sim {

enum class Family { Gsm, Umts };
// The model decides which maker commands exist: TZ and P are GSM modules,
// RX70, RX50 and KV UMTS/HSPA modules.
enum class Model { Tz, P, Rx70, Rx50, Kv };
enum class SimState { Ready, PinRequired, NotInserted };

// A message the module was asked to send (AT+CMGS).
struct SentSms {
    std::string destination; // decoded from the TE character set, or from the PDU
    int dcs = 0;
    std::u16string text;     // decoded characters (octets for 8-bit data)
    std::string pdu;         // PDU mode: the hex as received
    std::string body;        // the bytes before Ctrl-Z, as received
    int reference = 0;       // the number "+CMGS:" answered
};

struct Call {
    int id = 1;
    int direction = 0; // 0 outgoing, 1 incoming
    int stat = 0;      // 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
    std::string number;
};

// A place in the SIM phonebook ("SM").
struct PhonebookEntry {
    std::string number;
    int type = 129;
    std::u16string text;
};

// A PDP context (AT+CGDCONT).
struct PdpContext {
    std::string type = "IP";
    std::string apn;
    std::string address;
    int dataCompression = 0;
    int headerCompression = 0;
};

struct ModemState {
    // V.250 settings
    bool echo = true;
    bool verbose = true;
    int cmee = 0;
    int ipr = 115200;
    std::string urcPort = "uart1";
    // Time the module takes to answer after a line ends: the echo goes out
    // first, on its own, as it does from a real module.
    int answerLatencyMs = 5;

    // identity, SIM and network
    std::string manufacturer = "Ulvenscope Simulated Modules";
    std::string imei = "356938035643809";
    std::string imsi = "001010123456789";
    std::string iccid = "89860012345678901234";
    // The subscriber's own number (AT+CNUM); a message sent to it comes back as
    // a received one.
    std::string ownNumber = "+8613500001111";
    std::string pin = "1234";
    SimState sim = SimState::Ready;
    int rssi = 20;
    int ber = 99;
    int cregMode = 0;
    int cregStat = 1;
    int cgregMode = 0;
    int cgregStat = 1;
    // Location area and cell of the serving cell (AT+CREG=2, AT+CGREG=2).
    std::string lac = "1A2B";
    std::string cellId = "00C3";
    // AT+CFUN: 1 full, 0 minimum, 4 radio off. While the radio is off (or
    // AT+COPS=2 deregistered the module) the registrations it had wait in
    // savedCregStat/savedCgregStat for the radio to come back.
    int fun = 1;
    int savedCregStat = 1;
    int savedCgregStat = 1;
    // AT+COPS: mode 0 automatic, 1 manual, 2 deregistered; format 0 long,
    // 1 short, 2 numeric.
    int copsMode = 0;
    int copsFormat = 0;
    std::string operatorName = "Test PLMN 1-1";
    std::string operatorShort = "Test";
    std::string operatorNumeric = "00101";
    // AT+CBC: connection state and charge in percent.
    int batteryStatus = 0;
    int batteryLevel = 100;
    int smsInitState = 3;
    int jideact = 0;
    // The position the network's cell locator reports (AT+JCELLLOC), degrees.
    double cellLatitude = 59.913900;
    double cellLongitude = 10.752200;
    // The fix of the GNSS engine (AT+JGPSLOC?), signed degrees.
    double gnssLatitude = 59.913900;
    double gnssLongitude = 10.752200;
    int jdac = 0;

    // messages
    bool textMode = false; // AT+CMGF
    Charset charset = Charset::Gsm;
    bool showHeader = false; // AT+CSDH
    std::array<int, 4> csmp = {17, 167, 0, 0};
    std::string sca = "+8613800100500";
    int scaType = 145;
    int firstIndex = 1;  // lowest storage index (0 in the UMTS/HSPA family)
    int capacity = 50;
    std::map<int, SmsMessage> store;
    std::vector<SentSms> sent;
    int nextReference = 1;
    int sendError = 0; // when not 0, every send ends with "+CMS ERROR: <sendError>"
    // AT+CNMI <mode>,<mt>,<bm>,<ds>,<bfr>; with mode 0 the indications wait in
    // bufferedIndications until a mode that shows them.
    std::array<int, 5> cnmi = {2, 1, 0, 0, 0};
    std::vector<std::string> bufferedIndications;
    // Time from a send until what the network answers later (a status report,
    // a message to the own number) arrives.
    int networkDelayMs = 100;

    // The module's own clock (AT+CCLK): the host's clock moved by clockOffsetS
    // seconds, shown in the zone clockZone (quarter hours east of UTC; the
    // host's at start). The network stamps what it delivers with this clock.
    long long clockOffsetS = 0;
    int clockZone = 0;

    // The SIM phonebook: indexes 1..phonebookCapacity, the longest number and
    // text a place holds (in characters; a text outside the GSM alphabet is
    // kept as UCS2 and holds half as many less one).
    std::map<int, PhonebookEntry> phonebook;
    int phonebookCapacity = 100;
    int phonebookNumberLength = 20;
    int phonebookTextLength = 14;

    // packet data: the contexts by cid; the context of the data call up (0: none)
    std::map<int, PdpContext> contexts;
    int dataCallCid = 0;

    // calls
    std::vector<Call> calls;
    bool advanceCallOnQuery = true; // each AT+CLCC moves a dialled call on a stage
    int clip = 0;                   // AT+CLIP: "+CLIP:" after RING

    // audio
    int volume = 60;
    int mute = 0;
    int ringSilent = 0;
    int sideTone = 100;
    int channel = 0;
    std::array<int, 3> micGain = {9, 9, 9}; // per channel (GSM and KV modules)
    int micGainA = 20000;                   // RX modules: the two gain values
    int micGainB = 25000;
};

} // namespace ulv::sim
