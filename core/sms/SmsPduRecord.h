#pragma once

#include <QByteArray>

namespace ulv {

// One SMS as the PDU codec sees it: what EncodeSmsSubmitPdu reads and what
// DecodeSmsPdu fills.
struct SmsPduRecord {
    // Service-centre digits, without type of address.
    QByteArray smscNumber;
    // The other party's digits: destination when sending, originator when
    // received. The type of address is not kept: an alphanumeric originator reads
    // as its semi-octet digits.
    QByteArray number;
    unsigned char pid = 0;
    // 0 GSM 7-bit, 8 UCS-2, any other value 8-bit data.
    unsigned char dcs = 0;
    // The 14 service-centre time-stamp digits as the semi-octets give them (year,
    // month, day, hour, minute, second, zone; two each); empty for an SMS-SUBMIT.
    QByteArray timeStamp;
    // 7-bit: the septet codes as characters; 8-bit data: the bytes; UCS-2: UTF-8.
    QByteArray text;

    // Concatenation header of a decoded message (8- or 16-bit reference); parts
    // is 0 when there is none.
    int concatReference = 0;
    int concatParts = 0;
    int concatPart = 0;
};

} // namespace ulv
