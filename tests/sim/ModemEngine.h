#pragma once

// The simulated module's protocol engine: bytes from the host go in, the bytes
// the module would answer come out, with their timing. It knows nothing of file
// descriptors or threads (SimModule carries it over a pseudo-terminal).

#include "sim/Fault.h"
#include "sim/IpStack.h"
#include "sim/ModemState.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ulv::sim {

struct MmsState;

// One write of the module: sent delayMs after the previous emission. A hang-up
// emission drops the line instead of writing.
struct Emission {
    std::string bytes;
    int delayMs = 0;
    bool hangUp = false;
};

constexpr unsigned ModelBit(Model m)
{
    return 1u << unsigned(m);
}

// The host's time zone now, in quarter hours east of UTC.
int HostZone();

class ModemEngine {
public:
    struct Output {
        std::vector<Emission> emissions;
        std::vector<std::string> lines; // completed command lines, without their CR
        // Where in the bytes fed the data call began (they are data from
        // there on); npos when it did not.
        std::size_t dataFrom = std::string_view::npos;
    };

    // Longest command line kept; longer lines are answered with ERROR.
    static constexpr std::size_t kMaxLine = 2048;
    static constexpr std::size_t kMaxBody = 4096;

    ModemEngine(Family family, std::string revision);

    Family GetFamily() const { return m_family; }
    Model GetModel() const { return m_model; }
    const std::string& Revision() const { return m_revision; }
    std::string ModelName() const;
    ModemState& State() { return m_state; }
    const ModemState& State() const { return m_state; }

    Output Feed(std::string_view bytes);

    // Unsolicited result codes, framed as the current ATV setting wants.
    std::vector<Emission> Unsolicited(std::string_view text) const;
    // An incoming call: the call becomes "incoming" and RING goes out (with
    // "+CLIP:" after it when AT+CLIP=1 asked for it).
    std::vector<Emission> Ring(const std::string& number);
    // The far end ends the call: NO CARRIER.
    std::vector<Emission> RemoteHangUp();
    // Stores a message at the first free place; -1 when the store is full.
    // With notify the message arrives from the network: AT+CNMI decides what
    // goes into out ("+CMTI: "SM",<index>" by default; with <mt> 2 "+CMT:" and
    // the message is not stored, -1).
    int StoreSms(SmsMessage message, bool notify, std::vector<Emission>& out);
    // New registration states; "+CREG:"/"+CGREG:" go out where enabled (with
    // the location and cell where AT+CREG=2 / AT+CGREG=2 asked for them).
    std::vector<Emission> SetRegistration(int cregStat, int cgregStat);

    void AddFault(Fault fault) { m_faults.push_back(std::move(fault)); }
    void ClearFaults() { m_faults.clear(); }
    // The faults still in force (those with a count that ran out are gone).
    const std::vector<Fault>& Faults() const { return m_faults; }

    bool InSmsBody() const { return m_inBody; }

    // --- The module's clock (ClockCommands.cpp)
    using HostClock = std::function<std::chrono::system_clock::time_point()>;
    // The host clock the module's clock runs from (the system clock unless a
    // test fixes it).
    void SetHostClock(HostClock clock) { m_hostClock = std::move(clock); }
    // The module's time as "yy/MM/dd,hh:mm:ss+zz" (zz in quarter hours).
    std::string ModuleTime() const;

    // --- The IP stack (IpCommands.cpp)
    // How the module sends what happens on its own (socket data, a closing):
    // the carrier runs fn under its lock and sends what it returns.
    using Post = std::function<void(std::function<std::vector<Emission>(ModemEngine&)> fn)>;
    void SetPost(Post post) { m_post = std::move(post); }
    // Maps the address the host gives to a port on 127.0.0.1.
    void MapAddress(const std::string& address, int port, int loopbackPort);
    IpStack& Ip();
    // Stops the socket thread (before the carrier goes away).
    void ShutdownIp();

    // --- The MMS client and the RAM file system (MmsCommands.cpp)
    MmsState& Mms();

    // --- The GNSS engine (GnssCommands.cpp): told on the module's thread when
    // AT+JGPS=1 / AT+JGPSEND switch it; it must not block.
    void SetGnssSwitch(std::function<void(bool on)> fn) { m_gnssSwitch = std::move(fn); }
    bool GnssOn() const { return m_gnssOn; }

    // --- The data call (ModemCommands.cpp): a data dial (ATD*99#) asks
    // start, on the module's thread under its lock, to bring up the data path
    // for the context; true answers CONNECT and the module is in data mode
    // until EndDataCall, false (or none given) answers NO CARRIER. It must not block.
    void SetDataCall(std::function<bool(int cid)> start) { m_dataCall = std::move(start); }
    bool InDataMode() const { return m_dataMode; }
    // The call dropped (the escape, the host going, the network): the module
    // takes commands again. What goes out: NO CARRIER when the host is to
    // hear it, and the notices that waited for the call's end.
    std::vector<Emission> EndDataCall(bool tellHost);

    // Parsed command of a command line (exposed for the handler table).
    struct Command {
        enum class Op { Exec, Set, Read, Test };
        std::string name; // upper case: "+CMGS", "E", "&W", "D"
        Op op = Op::Exec;
        std::string args; // text after '=' or after a basic command's letter
        std::vector<std::string> params;
        std::vector<bool> quoted;
    };
    struct Reply {
        enum class Final { Ok, Error, Cme, Cms, NoCarrier, Prompt, None, Connect };
        Final final = Final::Ok;
        int code = 0;
        std::vector<std::vector<std::string>> blocks; // information text, one frame per block
    };

private:
    // One row of the command table: the handler answers the command on the
    // models whose bits are in `models`; any other command gets ERROR.
    struct Entry {
        const char* name;
        Reply (ModemEngine::*handler)(const Command&);
        unsigned models;
    };
    static const std::vector<Entry>& Table();
    static const std::vector<Entry>& IpTable();
    static const std::vector<Entry>& MmsTable();
    static const std::vector<Entry>& GnssTable();
    static const std::vector<Entry>& LocatorTable(); // LocatorCommands.cpp
    static const std::vector<Entry>& ClockTable();    // ClockCommands.cpp
    static const std::vector<Entry>& PhonebookTable(); // PhonebookCommands.cpp

    void CompleteLine(Output& out);
    void BodyByte(char byte, Output& out);
    void FinishBody(Output& out);
    void FlushEcho(Output& out);
    std::string Execute(std::string_view commandLine);
    std::string Render(const Reply& reply) const;
    // With numericCme the +CME code stays a number whatever AT+CMEE says.
    std::string RenderFinal(Reply::Final final, int code, bool numericCme = false) const;
    std::string RenderBlocks(const std::vector<std::vector<std::string>>& blocks) const;
    // The matching fault (longest prefix, latest on a tie), used up by one line.
    std::optional<Fault> TakeFault(std::string_view line);
    // Appends the writes that carry `reply` to the host, timed and cut as the fault says.
    void Shape(std::string reply, const Fault* fault, std::vector<Emission>& out) const;
    std::string FaultReply(const Fault& fault) const;

    // handlers
    Reply Basic(const Command& c);
    Reply Identity(const Command& c);
    Reply Sim(const Command& c);
    Reply Network(const Command& c);
    Reply Operator(const Command& c);
    Reply Settings(const Command& c);
    Reply Maker(const Command& c);
    Reply SmsSettings(const Command& c);
    Reply SmsSend(const Command& c);
    Reply SmsRead(const Command& c);
    Reply SmsList(const Command& c);
    Reply SmsDelete(const Command& c);
    Reply SmsSendStored(const Command& c);
    Reply SmsNotify(const Command& c);
    Reply Function(const Command& c);
    Reply CallControl(const Command& c);
    Reply Audio(const Command& c);
    Reply IpCommand(const Command& c);
    Reply MmsCommand(const Command& c);
    // A byte of a file upload (after CONNECT): none reaches the command line.
    void UploadByte(char byte, Output& out);
    bool UploadPending() const;
    Reply GnssCommand(const Command& c);
    Reply LocatorCommand(const Command& c);
    Reply ClockCommand(const Command& c);
    long long HostSeconds() const; // the host clock, seconds since the epoch
    Reply PhonebookCommand(const Command& c);
    Reply Attach(const Command& c);
    Reply PdpContextCommand(const Command& c);
    // ATD*99[*[<called address>][*[<L2P>][*[<cid>]]]]#, the dial string after the D.
    Reply DataDial(std::string_view dial);
    Reply ReturnToData(const Command& c); // ATO

    // Ends the data context and its sockets (a deactivation or a detach).
    void DropDataContext();
    std::string FinishIpBody(const std::string& body);
    std::vector<Emission> IpArrived();
    std::vector<Emission> IpClosed();

    Reply CmeError(int code) const;
    std::optional<Reply> SimNotReady(bool sms) const;
    // Hands a message to the network and records it in State().sent: "<prefix>: <reference>",
    // or the +CMS error that refused it.
    Reply Transmit(const SmsMessage& message, int firstOctet, SentSms sent, const char* prefix);
    // Sends what follows from a finished send: the message back when it went
    // to the own number, and the status report when it asked for one.
    void AfterSend(int reference, const SmsMessage& message, int firstOctet);
    // A message from the network, stored or shown as AT+CNMI says; its index
    // or -1 when it was not stored.
    int Arrive(SmsMessage message, int delayMs);
    // A new-message indication: out now, or kept while AT+CNMI <mode> is 0.
    void Indicate(const std::string& text, int delayMs);
    // Unsolicited writes that go out after the answer of the current line.
    void FollowUp(std::vector<Emission> emissions, int delayMs);
    void AppendFollowUps(std::vector<Emission>& out);
    // The radio is on and the module not deregistered by AT+COPS=2.
    bool Online() const;
    // Loses or regains the registrations when a change takes the module off
    // the network or back on it.
    void ChangeOnline(const std::function<void()>& change);
    Reply IntSetting(const Command& c, int& value, int lo, int hi);
    std::string Address(std::string_view address) const;
    std::string TextHeader(const char* prefix, int index, const SmsMessage& m) const;
    // The text-mode fields after the status: address, time stamp, the details of AT+CSDH=1.
    std::string TextFields(bool list, const SmsMessage& m) const;
    std::string TextData(const SmsMessage& m) const;
    int TextLength(const SmsMessage& m) const;
    bool ValidIndex(int index) const;

    Family m_family;
    Model m_model;
    std::string m_revision;
    ModemState m_state;
    std::vector<Fault> m_faults;

    std::string m_line;
    bool m_overflow = false;
    bool m_skipLf = false;
    std::string m_echo;

    bool m_inBody = false;
    bool m_bodyText = false;
    bool m_bodyWrite = false; // AT+CMGW: the body is stored, not sent
    int m_bodyStat = -1;      // AT+CMGW <stat>; -1 when not given
    std::string m_bodyDestination;
    int m_bodyLength = 0;
    std::string m_body;
    bool m_bodyOverflow = false;

    std::vector<Emission> m_followUps;
    bool m_bodyIp = false; // the body is socket data (AT+JISEND), not a message
    // Results the module sends a moment after the answer (the outcome of an open).
    std::vector<std::string> m_afterReply;

    Post m_post;
    std::function<void(bool)> m_gnssSwitch;
    std::function<bool(int)> m_dataCall;
    bool m_dataMode = false;
    HostClock m_hostClock;
    bool m_gnssOn = false;
    std::shared_ptr<IpStack> m_ip;
    std::shared_ptr<MmsState> m_mms;
    struct IpState {
        bool context = false;
        bool regApp = false;
        int accessMode = 1; // 0: buffer, the host reads; 1: direct push
        bool noticePending = false;
        std::string apn;
    } m_ipState;
};

} // namespace ulv::sim
