#include "sim/SimControl.h"

#include "sim/SimModule.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace ulv::sim {

const char kControlHelp[] = "ring NUMBER       a call comes in from NUMBER (RING, and +CLIP after AT+CLIP=1)\n"
                            "hangup            the far end ends the call (NO CARRIER)\n"
                            "sms NUMBER TEXT   a text message from NUMBER arrives (+CMTI as AT+CNMI says)\n"
                            "pdu HEX           an SMS-DELIVER PDU (with its SMSC part) arrives the same way\n"
                            "signal RSSI [BER] AT+CSQ's values from now on (RSSI 0-31 or 99, BER 0-7 or 99)\n"
                            "reg STAT [GPRS]   the registration states (0-5; GPRS as STAT when left out)\n"
                            "unplug            the module vanishes: its terminal hangs up\n"
                            "help              the commands\n";

namespace {

// The longest text a single message carries in each alphabet.
constexpr std::size_t kMaxSeptets = 160;
constexpr std::size_t kMaxUcs2 = 70;
constexpr int kMaxTpdu = 164;

bool Int(std::string_view s, int& out)
{
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool CallingNumber(std::string_view number)
{
    if (number.empty() || number.size() > 20 || number == "+")
        return false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || (c == '+' && i == 0)))
            return false;
    }
    return true;
}

// The first word and the rest after the spaces that follow it.
std::pair<std::string_view, std::string_view> Word(std::string_view s)
{
    const std::size_t end = std::min(s.find(' '), s.size());
    std::string_view rest = s.substr(end);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    return {s.substr(0, end), rest};
}

std::string Delivered(ModemEngine& e, SmsMessage message, std::vector<Emission>& out)
{
    const ModemState& s = e.State();
    if (s.sim != SimState::Ready)
        return "error no SIM ready: nothing arrives";
    if (s.fun != 1 || !(s.cregStat == 1 || s.cregStat == 5))
        return "error not registered: nothing arrives";
    message.status = 0;
    if (s.cnmi[1] == 2) {
        e.StoreSms(std::move(message), true, out);
        return "ok shown as +CMT";
    }
    const int index = e.StoreSms(std::move(message), true, out);
    return index < 0 ? "error the message store is full" : "ok stored at " + std::to_string(index);
}

std::string RunCommand(ModemEngine& e, std::string_view line, std::vector<Emission>& out)
{
    auto [command, rest] = Word(line);
    ModemState& s = e.State();
    if (command == "help") {
        std::string list = "ok";
        for (std::string_view help = kControlHelp; !help.empty();) {
            list += " " + std::string(Word(help).first);
            const std::size_t next = help.find('\n');
            help.remove_prefix(next == std::string_view::npos ? help.size() : next + 1);
        }
        return list;
    }
    if (command == "ring") {
        if (!CallingNumber(rest))
            return "error ring wants a number (digits, * and #, a leading +)";
        if (s.fun != 1 || !(s.cregStat == 1 || s.cregStat == 5))
            return "error not registered: no call reaches the module";
        if (!s.calls.empty())
            return "error a call is already up";
        out = e.Ring(std::string(rest));
        return "ok ringing";
    }
    if (command == "hangup") {
        if (!rest.empty())
            return "error hangup takes nothing";
        if (s.calls.empty())
            return "error no call";
        out = e.RemoteHangUp();
        return "ok";
    }
    if (command == "sms") {
        auto [number, text] = Word(rest);
        if (!CallingNumber(number) || number.find_first_of("*#") != std::string_view::npos)
            return "error sms wants a number and the text";
        SmsMessage m;
        m.address = std::string(number);
        m.text = Utf8ToUtf16(text);
        const bool gsm = FitsGsm7(m.text);
        if (gsm ? ToGsm7(m.text).size() > kMaxSeptets : m.text.size() > kMaxUcs2)
            return "error the text is longer than one message";
        m.dcs = gsm ? 0 : 8;
        m.timestamp = e.ModuleTime();
        m.sca = s.sca;
        return Delivered(e, std::move(m), out);
    }
    if (command == "pdu") {
        std::string why;
        const int length = SmsTpduLength(rest);
        auto m = length > 0 && length <= kMaxTpdu ? DecodeSmsPdu(rest, &why) : std::nullopt;
        if (!m)
            return "error not a PDU" + (why.empty() ? std::string() : ": " + why);
        if (!m->IsReceived())
            return "error not an SMS-DELIVER";
        return Delivered(e, std::move(*m), out);
    }
    if (command == "signal") {
        auto [rssiText, berText] = Word(rest);
        int rssi = 0, ber = s.ber;
        if (!Int(rssiText, rssi) || (rssi > 31 && rssi != 99) || rssi < 0
            || (!berText.empty() && (!Int(berText, ber) || (ber > 7 && ber != 99) || ber < 0)))
            return "error signal wants RSSI 0-31 or 99 and BER 0-7 or 99";
        s.rssi = rssi;
        s.ber = ber;
        return "ok";
    }
    if (command == "reg") {
        auto [statText, gprsText] = Word(rest);
        int stat = 0, gprs = 0;
        if (!Int(statText, stat) || stat < 0 || stat > 5 || (!gprsText.empty() && (!Int(gprsText, gprs) || gprs < 0 || gprs > 5)))
            return "error reg wants STAT 0-5 and GPRS 0-5";
        if (gprsText.empty())
            gprs = stat;
        if (s.fun != 1 || s.copsMode == 2) {
            s.savedCregStat = stat;
            s.savedCgregStat = gprs;
            return "ok when the radio is back";
        }
        out = e.SetRegistration(stat, gprs);
        return "ok";
    }
    if (command == "unplug") {
        if (!rest.empty())
            return "error unplug takes nothing";
        out.push_back({{}, 0, true});
        return "ok";
    }
    return "error unknown command (help lists them)";
}

} // namespace

std::string SimModule::Control(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    std::string answer = "error the module is unplugged";
    WithEmit([&](ModemEngine& e) {
        std::vector<Emission> out;
        answer = RunCommand(e, line, out);
        return out;
    });
    return answer;
}

ControlSocket::ControlSocket(Handler handler)
    : m_handler(std::move(handler))
{
}

ControlSocket::~ControlSocket()
{
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    for (Client& c : m_clients)
        ::close(c.fd);
    if (m_listen >= 0) {
        ::close(m_listen);
        ::unlink(m_path.c_str());
    }
    if (m_wake >= 0)
        ::close(m_wake);
}

bool ControlSocket::Start(const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return fail("control path empty or longer than " + std::to_string(sizeof address.sun_path - 1) + " bytes");
    std::memcpy(address.sun_path, path.data(), path.size());
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode))
            return fail(path + " exists and is not a socket");
        ::unlink(path.c_str()); // left by a module that was killed
    }
    m_listen = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listen < 0)
        return fail(std::string("socket: ") + std::strerror(errno));
    if (::bind(m_listen, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listen, 4) != 0) {
        const std::string why = path + ": " + std::strerror(errno);
        ::close(m_listen);
        m_listen = -1;
        return fail(why);
    }
    m_path = path;
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0)
        return fail(std::string("eventfd: ") + std::strerror(errno));
    m_thread = std::thread([this] { Run(); });
    return true;
}

void ControlSocket::Run()
{
    for (;;) {
        std::vector<pollfd> fds = {{m_wake, POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const Client& c : m_clients)
            fds.push_back({c.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents & POLLIN)
            return;
        // Clients first: the indexes in fds follow m_clients as it was.
        for (std::size_t i = m_clients.size(); i-- > 0;) {
            if (fds[i + 2].revents != 0 && !Serve(m_clients[i])) {
                ::close(m_clients[i].fd);
                m_clients.erase(m_clients.begin() + std::ptrdiff_t(i));
            }
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0)
                continue;
            if (m_clients.size() >= kMaxClients) {
                const char busy[] = "error too many control connections\n";
                [[maybe_unused]] auto n = ::send(fd, busy, sizeof busy - 1, MSG_NOSIGNAL);
                ::close(fd);
                continue;
            }
            m_clients.push_back({fd, {}, false});
        }
    }
}

bool ControlSocket::Serve(Client& client)
{
    char buffer[1024];
    const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (n == 0)
        return false;
    auto answer = [&](std::string text) {
        text += '\n';
        // Answers are short; a client that reads none of them is dropped
        // rather than let block the control.
        return ::send(client.fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT) == ssize_t(text.size());
    };
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buffer[i];
        if (c != '\n') {
            if (client.skipping)
                continue;
            if (client.line.size() >= kMaxLine) {
                client.skipping = true;
                client.line.clear();
                continue;
            }
            client.line.push_back(c);
            continue;
        }
        if (std::exchange(client.skipping, false)) {
            if (!answer("error line longer than " + std::to_string(kMaxLine) + " bytes"))
                return false;
            continue;
        }
        const std::string line = std::exchange(client.line, {});
        if (line.find_first_not_of(" \r") == std::string::npos)
            continue;
        if (!answer(m_handler(line)))
            return false;
    }
    return true;
}

} // namespace ulv::sim
