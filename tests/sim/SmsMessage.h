#pragma once

// One short message as the simulated module keeps it in its SIM store, with its
// PDU form (3GPP TS 23.040: SMS-DELIVER for received, SMS-SUBMIT for stored
// outgoing messages).

#include <optional>
#include <string>
#include <string_view>

namespace ulv::sim {

struct SmsMessage {
    // 0 "REC UNREAD", 1 "REC READ", 2 "STO UNSENT", 3 "STO SENT"
    int status = 0;
    // Originator (received) or destination (stored); a leading '+' means international.
    std::string address = "+8613912345678";
    // Service-centre time stamp in the text-mode form "yy/MM/dd,hh:mm:ss+zz"
    // (zz in quarter hours); unused for stored outgoing messages.
    std::string timestamp = "26/12/10,13:45:32+32";
    // 0 GSM 7-bit, 4 8-bit data, 8 UCS-2.
    int dcs = 0;
    // Characters for dcs 0 and 8; for dcs 4 each unit holds one octet.
    std::u16string text;
    std::string sca = "+8613800100500";
    // When not empty: the message was stored as this PDU (hex with its SMSC part)
    // and PDU mode shows it as it is.
    std::string pdu;

    bool IsReceived() const { return status == 0 || status == 1; }
};

const char* SmsStatusText(int status);
// "REC UNREAD" ... "STO SENT", also "ALL" (4); -1 for anything else.
int SmsStatusFromText(std::string_view text);

// The message's PDU as upper-case hex, SMSC part first.
std::string EncodeSmsPdu(const SmsMessage& message);
// Decodes a PDU (hex with its SMSC part) of an SMS-DELIVER or SMS-SUBMIT;
// nullopt with a reason when it is malformed. status is set from the type
// (DELIVER 0, SUBMIT 2).
std::optional<SmsMessage> DecodeSmsPdu(std::string_view hex, std::string* error = nullptr);
// Octets after the SMSC part (the length AT+CMGS and AT+CMGR give in PDU mode);
// -1 when the hex is malformed.
int SmsTpduLength(std::string_view hex);
// The first octet of the TPDU (after the SMSC part); -1 when the hex is malformed.
int SmsFirstOctet(std::string_view hex);
// An SMS-STATUS-REPORT (hex with its SMSC part) for the message with this
// reference: recipient, the time the centre took the message and the time it
// was delivered ("yy/MM/dd,hh:mm:ss+zz"), and the status (0: delivered).
std::string EncodeStatusReport(int reference, std::string_view recipient, std::string_view sca,
    std::string_view serviceTime, std::string_view dischargeTime, int status);

} // namespace ulv::sim
