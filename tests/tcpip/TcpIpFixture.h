#pragma once

// A modem session on the simulated module whose IP stack reaches a real echo
// server on 127.0.0.1, with the TCP/UDP page's receive path (router and line
// listener) wired to a shared state as the page wires it, and no window.

#include "SessionSim.h"

#include "EchoServer.h"
#include "pages/data/core/TcpIpScripts.h"
#include "platform/MessageBox.h"
#include "shell/core/CUlvenscopeApp.h"

#include <QByteArrayList>
#include <atomic>

namespace ulv::test {

class TcpIpFixture : public SessionSim {
protected:
    void TearDown() override
    {
        server.Stop();
        SessionSim::TearDown();
        g_nModuleType = 0;
    }

    // A module of the family on a fresh session, the echo server listening.
    void Begin(sim::Family family)
    {
        Restart(family);
        moduleType = family == sim::Family::Gsm ? 0 : 1;
        g_nModuleType = moduleType;
        std::string error;
        ASSERT_TRUE(server.Start(0, &error)) << error;
        ASSERT_TRUE(Open());
        session->Queue().Start();
        session->SetRouterHooks(
            ReceiveRouter::Hooks {
                {},
                {},
                [this](const QByteArray& payload) {
                    delivered << payload;
                    shared.received.Append(payload);
                },
                [this] { ++deactivated; },
                [this] { ++closed; },
                {},
                [this] { return shared.echoMode.load() != 0; },
            },
            [] { return ReceiveRouter::Page::TcpUdp; });
        session->AddLineListener([this](const QString& line) {
            HandleReceivedLine(shared, line, session->Gate().Running(), [this](const QString& id) { QueueRead(id); });
        });
    }

    void QueueRead(const QString& id)
    {
        session->Queue().Queue(CommandRequest::Command("AT+JIRD=" + id, [](const QString&) {}));
    }

    // Runs body as the task (on a worker) and waits for it to end.
    template <class Body>
    bool RunTask(Body body, int ms = 30000)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        const bool started = session->Workers().Start([body, done](TaskGate::Token& t) mutable {
            body(t);
            *done = true;
        });
        return started && Until([&] { return done->load() && !session->Gate().Running(); }, ms);
    }

    PdpOutcome Activate(const PdpSettings& s = {QStringLiteral("cmnet"), {}, {}, 0})
    {
        PdpOutcome out;
        EXPECT_TRUE(RunTask([&](TaskGate::Token& t) { out = PdpActivate(*session, t, moduleType, s); }));
        return out;
    }

    bool Connect(bool tcp = true, int accessMode = 1, const QString& address = QStringLiteral("127.0.0.1"), int port = -1)
    {
        bool ok = false;
        ConnectSettings s;
        s.tcp = tcp;
        s.address = address;
        s.port = QString::number(port < 0 ? server.Port() : port);
        s.accessMode = accessMode;
        EXPECT_TRUE(RunTask([&](TaskGate::Token& t) { ok = OpenConnection(*session, t, moduleType, s); }));
        return ok;
    }

    SendOutcome Send(const QByteArray& data, bool autoQuery = false, bool tcp = true)
    {
        SendOutcome out;
        SendSettings s;
        s.data = data;
        s.autoQuery = autoQuery;
        s.tcp = tcp;
        s.periodMs = 100;
        EXPECT_TRUE(RunTask([&](TaskGate::Token& t) { out = SendData(*session, t, moduleType, s, shared); }, 60000));
        ReadIfPending(shared, [this](const QString& id) { QueueRead(id); });
        return out;
    }

    // Everything the page was shown, in one piece.
    QByteArray Shown() const { return delivered.join(); }
    bool Sent(const std::string& command)
    {
        for (const std::string& c : sim().Commands())
            if (c == command)
                return true;
        return false;
    }

    int moduleType = 1;
    tools::EchoServer server;
    TcpIpShared shared;
    MessageBoxRecorder boxes;
    QByteArrayList delivered;
    int deactivated = 0;
    int closed = 0;
};

} // namespace ulv::test
