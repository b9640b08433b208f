// Any text after AT+CMGL, AT+CMGR or AT+CPMS reads without fault in every
// mode the SMS page uses; a listing's entries all carry an index and a status
// a message can have.
#include "pages/module/core/SmsPageText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1 << 16))
        return 0;
    // Byte 0: PDU mode, length rule, character set.
    const bool pdu = data[0] & 1;
    const bool lengthRule = data[0] & 2;
    const auto charset = static_cast<ulv::SmsCharset>((data[0] >> 2) & 3);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const ulv::SmsListing listing(pdu, lengthRule && !pdu, charset);
    (void)listing.Judge(text);
    QStringList refused;
    for (const ulv::SmsEntry& e : listing.Entries(text, &refused)) {
        bool number = false;
        const int index = e.index.toInt(&number);
        if (!number || index < 0 || index > ulv::kMaxSmsIndex || e.status.isEmpty())
            std::abort();
    }
    ulv::SmsEntry entry;
    (void)ulv::ParseCmgrTextReply(text, charset, lengthRule, entry);
    (void)ulv::ParsePduCmgrReply(text, entry);
    if (ulv::CpmsUsedCount(text) < 0)
        std::abort();
    (void)ulv::HasErrorResult(text);
    (void)ulv::EndsWithOkResult(text);
    return 0;
}
