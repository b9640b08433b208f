#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace ulv {

// Routes unsolicited results in the received stream to the page on show: new
// SMS notifications on the SMS page, socket data and closings on the TCP/UDP
// page. Keeps the text gathered for the page since it was shown. Works on the
// bytes as received (a NUL shown as a blank), so announced lengths count bytes.
class ReceiveRouter {
public:
    enum class Page { Other, Sms, Voice, TcpUdp };

    struct Hooks {
        std::function<void(const QString& note)> note;      // a terminal note (kind 2)
        std::function<void(int index)> queueNewMessage;       // the SMS page's new-message queue
        std::function<void(const QByteArray& payload)> tcpData; // the TCP/UDP page's received-data pane
        std::function<void()> tcpContextDeactivated;
        std::function<void()> tcpClosed;
        std::function<void()> terminalLineEnd;                // CR LF to the terminal (received)
        std::function<bool()> echoTestOn;                     // the echo-server test is running
    };

    ReceiveRouter() = default;
    explicit ReceiveRouter(Hooks hooks) : m_hooks(std::move(hooks)) { }
    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // A page was shown: forget what was gathered.
    void Reset() { ClearTcp(); }
    // The most one read of the module's stack carries (and one GSM packet):
    // an announced length above it is a lie and is cut to it.
    static constexpr qsizetype kMaxRead = 1500;
    // moduleType: 0 GSM family, else UMTS/HSPA.
    void Dispatch(Page page, int moduleType, const QByteArray& chunk);

    const QByteArray& Gathered() const { return m_strPageReceive; }

    // The echo server's banner and time stamp are not part of the data.
    static QByteArray PrepareEchoPayload(QByteArray payload);

private:
    void Sms(const QByteArray& chunk);
    void TcpUmts();
    void TcpGsm();
    void Deliver(const QByteArray& payload);
    bool BoundLength(long long& length, const QByteArray& announced);
    bool DeliverBoundedRead(qsizetype& pos);
    void KeepUnfinishedLine(qsizetype from);
    // Drops the first n gathered bytes.
    void Consume(qsizetype n);
    void ClearTcp();

    // The next place of a token in the gathered text, remembered between
    // chunks so that each byte is looked at once, not on every chunk again.
    struct Finder {
        QByteArray token;
        bool noCase = false;
        qsizetype found = -1;
        qsizetype searched = 0; // the token cannot begin before this
        qsizetype lo = 0;       // from where found and searched hold
        qsizetype Find(const QByteArray& text, qsizetype from);
        void Drop(qsizetype n);
    };

    Hooks m_hooks;
    QByteArray m_strPageReceive;
    Page m_lastPage = Page::Other;
    Finder m_deact{"+JIURC: \"PDPdeact\",0"};
    Finder m_read{"+JIRD:"};
    Finder m_push{"+JIURC: \"recv\","};
    Finder m_closed{"CLOSED", true};
    Finder m_closedGsm{"CLOSED"};
    Finder m_ipd{"IPD"};
    Finder m_lineEnd{"\n"};
    // Bytes still to hand on of a read whose announced length was cut.
    qsizetype m_dataLeft = 0;
};

} // namespace ulv
