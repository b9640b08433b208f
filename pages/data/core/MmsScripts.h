#pragma once

// The MMS page's send worker: checks the network, activates a PDP context for
// MMS, configures the module's MMS client, adds the recipients and the title,
// uploads up to two files into the module's RAM file system and attaches them,
// sends the message and clears what it configured. It runs on the worker's
// thread under its task token; the page sees the progress through a callback.

#include "platform/TaskGate.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace ulv {

class ModemSession;

// What the page's boxes held when Send was pressed.
struct MmsSendInput {
    QString apn;
    QString user;
    QString password;
    QString phone;
    QString cc;
    QString bcc;
    QString mmscUrl;
    QString proxy;
    QString port;
    QString title;
    QString titleCharset; // "ASCII", "UTF8", "UCS2" or "GBK"
    QString file1;        // the text file; empty: none
    QString textCharset;
    QString file2;        // the picture; empty: none
};

// The progress bar's new position and, when given, its new caption.
using MmsProgress = std::function<void(int position, const std::optional<QString>& caption)>;

inline constexpr char kMmsSendFailed[] = "Fail to send message!";
inline constexpr char kMmsStep1[] = "Step 1: Checking the network...";
inline constexpr char kMmsStep2[] = "Step 2: Configure the MMS parameters...";
inline constexpr char kMmsStep3[] = "Step 3: Sending MMS";
inline constexpr char kMmsStep4[] = "Step 4: Clear the MMS configuration";

// The largest file one upload takes: its length goes into the command as an int.
inline constexpr qint64 kMaxUploadSize = 0x7FFFFFFF;

// Runs the whole send. True when the module reported the message sent; on
// every failure "Fail to send message!" was shown (not after a Stop). Every
// path ends with the clean-up: the uploaded RAM files deleted, the attachments
// removed and the context deactivated when this worker activated it. A Stop
// ends the steps at once; the clean-up still runs, under a task of its own,
// unless another task has started meanwhile or the program is ending.
bool MmsSendThread(ModemSession& session, const TaskGate::Token& token, const MmsSendInput& input,
    const MmsProgress& progress);

// The name a file gets in the module's RAM: the part of its path after the
// last separator.
QString RamFileName(const QString& path);
// The box for an attachment that is missing or cannot be read.
QString MmsAttachmentUnreadable(const QString& path);
// The result code of a "+JMMSEND:" answer: the text between its ':' and the
// next ',' with leading blanks removed; none without "+JMMSEND:" or the comma.
std::optional<QString> ParseJmmsendCode(const QString& reply);
// The size a "+JFUPL: <size>,<checksum>" answer reports; none when it gives no number.
std::optional<qint64> ParseJfuplSize(const QString& reply);

} // namespace ulv
