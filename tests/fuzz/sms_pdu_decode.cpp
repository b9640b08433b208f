// Any text given to the PDU decoders must decode or fail cleanly, never read past
// its end; a decoded record stays within one SMS.
#include "core/sms/SmsPdu.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Copy into a buffer of exactly this size so that reading past it is caught.
    const QByteArray pdu(reinterpret_cast<const char*>(data), qsizetype(size));
    ulv::SmsPduRecord record;
    ulv::SmsPduError error;
    const int n = ulv::DecodeSmsPdu(QByteArrayView(pdu.constData(), pdu.size()), record, &error);
    if (n >= 0 && (error != ulv::SmsPduError::None || record.text.size() > 210 || record.number.size() > 20))
        std::abort();
    if (n < 0 && error == ulv::SmsPduError::None)
        std::abort();
    ulv::DecodeSmsDeliverPdu(QByteArrayView(pdu.constData(), pdu.size()), record);

    // Whatever decoded must encode again when it fits a SUBMIT.
    if (n >= 0) {
        QByteArray out;
        ulv::EncodeSmsSubmitPdu(record, out);
    }
    return 0;
}
