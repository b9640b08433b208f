#pragma once

#include "core/sms/SmsPduRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// SMS PDUs as AT+CMGS, AT+CMGW and AT+CMGR carry them (hex text, two digits per
// octet) to and from SmsPduRecord.
namespace ulv {

enum class SmsPduError {
    None,
    BadHex,          // a character that is no hex digit where an octet is read
    Truncated,       // the PDU ends before a field or the user data it declares
    AddressTooLong,  // more than 20 digits, or an SMSC address above 11 octets
    UserDataTooLong, // more than 160 septets or 140 octets
    BadHeader,       // user-data header longer than the user data
    InvalidNumber,   // encoding: a number character other than 0-9, * and #
    TextNotGsm7,     // encoding: a character above 0x7F in a 7-bit text
    TextTooLong,     // encoding: more than one SMS holds
};

QString SmsPduErrorText(SmsPduError error);

// Longest address the PDU fields hold (semi-octet digits).
constexpr int kSmsAddressDigitsMax = 20;

// Builds an SMS-SUBMIT (SMSC address, first octet 11, message reference 00,
// destination, PID, DCS, relative validity period 00, user data), both addresses
// international (type 91), as upper-case hex into out. Returns the number of hex
// characters, or 0 (out empty) when the record does not fit one SMS.
int EncodeSmsSubmitPdu(const SmsPduRecord& record, QByteArray& out, SmsPduError* error = nullptr);

// Reads an SMS-SUBMIT or SMS-DELIVER, with or without an SMSC address, into
// record (reset first). Returns the user-data length without the user-data
// header: septets for DCS 0, bytes for 8-bit data, the UTF-8 byte count of the
// text for DCS 8; -1 for a malformed PDU (record holds what was read before the
// fault).
int DecodeSmsPdu(QByteArrayView pdu, SmsPduRecord& record, SmsPduError* error = nullptr);

// Reads an SMS-DELIVER whatever its first octet says; a user-data header is not
// recognised and reads as text. Returns as DecodeSmsPdu.
int DecodeSmsDeliverPdu(QByteArrayView pdu, SmsPduRecord& record, SmsPduError* error = nullptr);

} // namespace ulv
