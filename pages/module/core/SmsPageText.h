#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// The SMS page's text work: the message box's hex forms, the recipient number
// check, and the parsing of what AT+CMGR, AT+CMGL and AT+CPMS answer.
namespace ulv {

// One stored message as the page lists and shows it.
struct SmsEntry {
    QString index;
    QString time;
    QString addresser;
    QString status;
    QString content;
    bool operator==(const SmsEntry&) const = default;
};

// Hex pairs (blanks anywhere) to bytes; false, and nothing written, for an odd
// digit count. A character that is no hex digit reads as 0.
bool ParseHexPairs(QByteArrayView hex, QByteArray& out);
// The text of hex pairs up to the first zero byte; empty for an odd digit count.
QByteArray HexToText(QByteArrayView hex);
// UCS-2 hex (blanks anywhere) to text; digits after the last full group are ignored.
QByteArray FromUcs2Hex(QByteArrayView hex);
// Every blank removed.
QByteArray WithoutBlanks(QByteArrayView text);

// Digits with at most one '+' in front, at most 20 digits (what an address
// field carries). An empty number is valid here; the page asks for one first.
bool IsValidNumber(const QString& number);
// The number of CR LF pairs.
int CountLineBreaks(QByteArrayView text);
// True when the UCS-2 hex holds a unit above 0x7F or is not whole units.
bool IsUcs2Needed(QByteArrayView hex);
// The TPDU octet count (the AT+CMGS length) of a PDU in hex, its SMSC part
// first; -1 when the first octet is no hex or claims more than the PDU holds.
int GetPduTpduLength(QByteArrayView pdu);

// "REC UNREAD" ... "STO SENT" for 0..3 (the PDU-mode stat), "ALL" otherwise.
QString SmsStatusOfCode(const QString& code);

// The fields of one header line, split at the commas outside double quotes;
// quoted() tells whether field i was quoted (its quotes are removed).
struct SmsHeaderFields {
    QStringList fields;
    QList<bool> quoted;
    QString At(int i) const { return i < fields.size() ? fields[i] : QString(); }
    bool Quoted(int i) const { return i < quoted.size() && quoted[i]; }
};
SmsHeaderFields SplitSmsHeader(QStringView header);

// The character set a text-mode read ran with; it decides how the address is read.
enum class SmsCharset { Gsm, Ira, Hex, Ucs2 };

// A text-mode AT+CMGR reply (echo, header, text, final result). False when it
// holds no "+CMGR:" header. The time is the quoted field after the third comma
// (whatever AT+CSDH shows after it); with lengthRule the text is exactly the
// length the header's last field gives (line breaks inside it included).
bool ParseCmgrTextReply(const QString& reply, SmsCharset charset, bool lengthRule, SmsEntry& entry);
// A PDU-mode AT+CMGR reply; false without a "+CMGR:" header. An undecodable PDU
// leaves the content, number and time empty.
bool ParsePduCmgrReply(const QString& reply, SmsEntry& entry);
// The used count of a "+CPMS:" reply; 0 when there is none.
int CpmsUsedCount(const QString& reply);
// The capacity (second field) of a "+CPMS:" reply to the set form; empty when
// there is none or it is no count a storage can have.
std::optional<int> CpmsCapacity(const QString& reply);

// True when one of the reply's lines is a final error result ("ERROR", "+CMS
// ERROR: n", "+CME ERROR: n"); a message text holding ERROR is not one.
bool HasErrorResult(QStringView reply);
// True when the reply's last line is "OK".
bool EndsWithOkResult(QStringView reply);

// The highest message index a listing may name (far above any storage size).
inline constexpr int kMaxSmsIndex = 65535;

// Parses an AT+CMGL listing (everything after the command's echo). Complete()
// tells whether the final result has arrived; Entries() parses the entries then.
class SmsListing {
public:
    // pduMode: PDU entries; lengthRule (text mode, headers with a length):
    // each text is as long as its header says, so a text holding "+CMGL:" or
    // "OK" on a line of its own is read whole.
    SmsListing(bool pduMode, bool lengthRule, SmsCharset charset)
        : m_pdu(pduMode), m_lengthRule(lengthRule), m_charset(charset) { }

    enum class State { More, Ok, Error };
    // The listing's state after `text` (all text since the echo).
    State Judge(const QString& text) const;
    // Every entry of a complete listing, in order; unusable entries are skipped.
    // Entries whose index is no storage place (not a number from 0 to
    // kMaxSmsIndex) or whose status is none a message can have are left out
    // too, each with a note for the terminal in *refused.
    QList<SmsEntry> Entries(const QString& text, QStringList* refused = nullptr) const;

private:
    bool m_pdu;
    bool m_lengthRule;
    SmsCharset m_charset;
};

} // namespace ulv
