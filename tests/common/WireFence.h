#pragma once

// Proof that a refused action wrote nothing to the simulated module, without
// waiting to see that nothing comes: a fence command written after it goes
// through the same ordered writer, so once the module has heard the fence,
// anything the action had queued would have arrived before it.

#include "common/EventLoopWait.h"
#include "core/at/ModemSession.h"
#include "core/at/PortTransmitter.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "sim/SimModule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

namespace ulv::test {

inline ::testing::AssertionResult HeardNothingSince(
    sim::SimModule& module, ModemSession& session, const std::string& before)
{
    static std::atomic<int> fences{0};
    const std::string fence = "AT+FENCE" + std::to_string(++fences);
    session.Transmitter().SendToModuleQuiet(QString::fromStdString(fence), PortTransmitter::kText, true);
    if (!module.WaitForReceived(fence + "\r\n", std::chrono::seconds(30)))
        return ::testing::AssertionFailure() << "the fence " << fence << " never reached the module";
    const std::string heard = module.Received();
    if (heard.compare(0, before.size(), before) != 0)
        return ::testing::AssertionFailure() << "the received log changed under the test";
    const std::string since = heard.substr(before.size());
    if (since != fence + "\r\n")
        return ::testing::AssertionFailure() << "the module heard \"" << since << "\"";
    // The module's answer to the fence is taken here: left to come in later,
    // it could land in the reply buffer of the next command the test sends.
    QString answer;
    const bool answered = RunEventsUntil(
        [&] {
            answer += session.Buffers().TakeReceivedText();
            return answer.contains(QLatin1String("OK\r\n")) || answer.contains(QLatin1String("ERROR\r\n"));
        },
        30000);
    if (!answered)
        return ::testing::AssertionFailure() << "no answer to the fence " << fence << ": \"" << answer.toStdString() << "\"";
    return ::testing::AssertionSuccess();
}

// A user action that must be refused: it shows exactly `box` and the module
// hears nothing; with `startsNothing`, no task starts either (the refusal
// comes before the worker).
template <class Action>
::testing::AssertionResult RefusedQuietly(MessageBoxRecorder& boxes, sim::SimModule& module, ModemSession& session,
    const QString& box, Action action, bool startsNothing = true)
{
    boxes.Clear();
    const std::string before = module.Received();
    const auto tasks = AppTaskGate().Started();
    action();
    if (boxes.Texts() != QStringList{box})
        return ::testing::AssertionFailure() << "boxes shown: \"" << boxes.Texts().join('|').toStdString() << "\"";
    if (startsNothing && AppTaskGate().Started() != tasks)
        return ::testing::AssertionFailure() << "a task started";
    return HeardNothingSince(module, session, before);
}

} // namespace ulv::test
