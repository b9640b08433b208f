#pragma once

#include "core/sms/SmsPdu.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text work behind the SMS tool dialogs: PDU building for the "Generate PDU
// code" dialog and the hex forms of the "Characters transformation" dialogs.
namespace ulv {

// PDU coding choices of the dialog's radios.
enum PduCoding : int { kPduCoding7Bit = 0, kPduCoding8Bit = 1, kPduCodingUcs2 = 2 };

// Longest UCS-2 source text, in UTF-16 units.
constexpr int kPduUcs2UnitsMax = 70;

// A number handed in by the SMS page gets the country code 86 in front unless it
// already starts with "86" or "+86"; an empty number stays empty.
QString WithCountryPrefix86(const QString& number);

// An SMS-SUBMIT of the text to `recipient` through `smsc` (digits only), PID 0,
// DCS 0, 4 or 8 for coding 0, 1 or 2, as upper-case hex into `pdu`. Returns the
// TPDU octet count (the PDU without its SMSC part), or 0 with `pdu` empty when
// the encoder refuses; `error` then says why.
int BuildPdu(const QByteArray& smsc, const QByteArray& recipient, const QByteArray& text, int coding, QByteArray& pdu,
    SmsPduError* error = nullptr);

// The box shown when BuildPdu refuses, with the limit of the coding for a text
// that does not fit one SMS.
QString PduRefusalText(SmsPduError error, int coding);

// Every byte as two lower-case hex digits and a blank ("%02x "): "68 65 ".
QByteArray BytesToSpacedHex(QByteArrayView bytes);

// The text of an edit box as the program sends it: UTF-8, each line break as
// CR LF (what the module expects inside a message).
QByteArray EditTextBytes(const QString& plainText);

} // namespace ulv
