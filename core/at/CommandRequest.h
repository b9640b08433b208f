#pragma once

#include <QString>
#include <functional>

namespace ulv {

// One request for the command queue. Copied by value into and out of the queue,
// so the issuer may return at once.
struct CommandRequest {
    enum Kind : int {
        kSendCommand = 0,   // send `command`, then hand its reply to `callback`
        kModelMismatch = 1, // show the model-mismatch message
        // any other kind is taken from the queue and ignored
    };
    using Callback = std::function<void(const QString& reply)>;

    int kind = kSendCommand;
    // The command without its line end. Held whole, whatever its length.
    QString command;
    // Called on the queue's thread after the command's wait, with this
    // command's own reply: the whole text after "OK" or the text that ended
    // with "ERROR", empty after a time-out.
    Callback callback;

    static CommandRequest Command(QString command, Callback callback = {})
    {
        CommandRequest r;
        r.kind = kSendCommand;
        r.command = std::move(command);
        r.callback = std::move(callback);
        return r;
    }
    static CommandRequest ModelMismatch()
    {
        CommandRequest r;
        r.kind = kModelMismatch;
        return r;
    }
};

} // namespace ulv
