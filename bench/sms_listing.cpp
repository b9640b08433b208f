// Reading a full SIM listing: a 50-message AT+CMGL reply in PDU mode judged and
// turned into list entries, as the SMS page's Read all does after the final OK.
#include "core/sms/SmsPdu.h"
#include "pages/module/core/SmsPageText.h"

#include <benchmark/benchmark.h>

namespace {

QString FiftyMessageListing()
{
    QString text;
    for (int i = 1; i <= 50; ++i) {
        ulv::SmsPduRecord r;
        r.smscNumber = "8613800100500";
        r.number = "8613912345678";
        r.text = QByteArray("message number ") + QByteArray::number(i) + " of the listing, full of text to decode";
        QByteArray pdu;
        ulv::EncodeSmsSubmitPdu(r, pdu);
        text += QStringLiteral("+CMGL: %1,3,,%2\r\n").arg(i).arg(pdu.size() / 2 - 8) + QString::fromLatin1(pdu)
            + QStringLiteral("\r\n");
    }
    return text + QStringLiteral("\r\nOK\r\n");
}

void BM_PduListing50(benchmark::State& state)
{
    const QString text = FiftyMessageListing();
    const ulv::SmsListing listing(true, false, ulv::SmsCharset::Gsm);
    for (auto _ : state) {
        if (listing.Judge(text) != ulv::SmsListing::State::Ok)
            state.SkipWithError("listing not complete");
        const QList<ulv::SmsEntry> entries = listing.Entries(text);
        if (entries.size() != 50)
            state.SkipWithError("entries lost");
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_PduListing50);

} // namespace

BENCHMARK_MAIN();
