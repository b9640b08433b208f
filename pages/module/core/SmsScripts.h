#pragma once

#include "pages/module/core/SmsPageText.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The SMS page's workers: sending, reading by index, reading new messages,
// listing and deleting, each a script of steps on a ScriptRunner. They reach
// the page only through an SmsPageSink.
namespace ulv {

class ScriptRunner;

// What the workers change on the page. Called on the worker's thread; the page
// hands every call on to its own thread.
class SmsPageSink {
public:
    virtual ~SmsPageSink() = default;
    virtual void SetStatus(const QString& text) = 0;
    // Opens the message in the read-message dialog (on the page's thread; the
    // worker does not wait for it).
    virtual void ShowMessage(const SmsEntry& entry) = 0;
    // The row of the entry's index gets its fields, else a row is appended.
    virtual void PutEntry(const SmsEntry& entry) = 0;
    // A row at the end, whatever the rows hold (a listing).
    virtual void AppendEntry(const SmsEntry& entry) = 0;
    virtual void ClearEntries() = 0;
    // The message at the index was deleted: its rows go and the Index box is emptied.
    virtual void EntryDeleted(const QString& index) = 0;
    // Every message was deleted: no rows, an empty Index box.
    virtual void AllDeleted() = 0;
};

// Types of the page's Type list.
enum SmsType : int { kSmsTypeGsm = 0, kSmsTypeIraOr8Bit = 1, kSmsTypeUcs2 = 2, kSmsTypePdu = 3 };

struct SmsSendRequest {
    int type = 0;
    int inputMode = 0;  // 0 Keyboard, 1 HEX data
    int moduleType = 0; // 0 GSM family, 1 UMTS/HSPA family
    QByteArray text;    // the message box (UTF-8, line breaks as CR LF)
    QString number;     // as typed
};

struct SmsReadRequest {
    bool pduMode = false; // the "PDU" read mode, or Type PDU
    int selection = 0;    // the Type list's selection
    int moduleType = 0;
    int subModel = 0;     // 0 RX70, 1 RX50, 2 other 3G
};

// Boxes the workers show.
extern const QString kSmsSendSuccess;   // "Success to send a message!"
extern const QString kSmsSendFailure;   // "Fail to send message!"
extern const QString kSmsNoMessages;    // "No messages in SIM card!"

// Sends the message; true on success. Shows its boxes; after a Stop shows and
// reports nothing more.
bool SendSmsScript(const ScriptRunner& runner, const SmsSendRequest& request, SmsPageSink& page);
// Reads one index, shows it and puts it into the list.
bool ReadSmsScript(const ScriptRunner& runner, const SmsReadRequest& request, int index, SmsPageSink& page);
// Reads the indexes of new messages in order, showing each.
bool ReadNewSmsScript(
    const ScriptRunner& runner, const SmsReadRequest& request, const std::vector<int>& indexes, SmsPageSink& page);
// Lists every stored message into the list.
bool ReadAllSmsScript(const ScriptRunner& runner, const SmsReadRequest& request, SmsPageSink& page);
// Deletes the message at the index (already checked to be 0..500).
bool DeleteSmsScript(const ScriptRunner& runner, int index, SmsPageSink& page);
// Deletes every message with the module family's command.
bool DeleteAllSmsScript(const ScriptRunner& runner, int moduleType, int subModel, SmsPageSink& page);

// The body, the number and the rest of a text-mode send, derived from the box.
struct SmsTextSend {
    QString charset;
    QString csmp;
    QString number;
    QByteArray body;
    bool septets = false; // the body holds GSM alphabet codes, one a byte, not text
    QString codeNote; // empty when the body was not converted
    QString refusal;  // why the body cannot go out as it is (empty: it can)
};
SmsTextSend DeriveTextSend(const SmsSendRequest& request);

} // namespace ulv
