// Speed of the text codecs: SMS PDU decode and encode of full messages, GSM 7-bit
// packing, and the terminal hex view of a large chunk.
#include "core/sms/Gsm7Codec.h"
#include "core/text/HexView.h"
#include "core/sms/SmsPdu.h"

#include <benchmark/benchmark.h>

namespace {

ulv::SmsPduRecord FullRecord(bool ucs2)
{
    ulv::SmsPduRecord r;
    r.smscNumber = "8613800100500";
    r.number = "8613912345678";
    if (ucs2) {
        r.dcs = 8;
        for (int i = 0; i < 70; ++i)
            r.text += "\xe4\xbd\xa0"; // 你
    } else {
        for (int i = 0; i < 16; ++i)
            r.text += "0123456789";
    }
    return r;
}

QByteArray FullPdu(bool ucs2)
{
    QByteArray pdu;
    ulv::EncodeSmsSubmitPdu(FullRecord(ucs2), pdu);
    return pdu;
}

void BM_DecodePdu(benchmark::State& state)
{
    const QByteArray pdu = FullPdu(state.range(0) != 0);
    ulv::SmsPduRecord record;
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::DecodeSmsPdu(pdu, record));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodePdu)->ArgName("ucs2")->Arg(0)->Arg(1);

void BM_EncodePdu(benchmark::State& state)
{
    const ulv::SmsPduRecord record = FullRecord(state.range(0) != 0);
    QByteArray pdu;
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::EncodeSmsSubmitPdu(record, pdu));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodePdu)->ArgName("ucs2")->Arg(0)->Arg(1);

void BM_Gsm7Pack(benchmark::State& state)
{
    const QByteArray text = FullRecord(false).text;
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::Gsm7Pack(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_Gsm7Pack);

void BM_Gsm7Unpack(benchmark::State& state)
{
    const QByteArray octets = ulv::Gsm7Pack(FullRecord(false).text);
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::Gsm7Unpack(octets));
    state.SetBytesProcessed(state.iterations() * octets.size());
}
BENCHMARK(BM_Gsm7Unpack);

QByteArray Chunk64K()
{
    QByteArray chunk;
    while (chunk.size() < 65536)
        chunk += "+CSQ: 20,99\r\n\r\nOK\r\n\x01\xff";
    chunk.truncate(65536);
    return chunk;
}

void BM_TextToHexView64K(benchmark::State& state)
{
    const QByteArray chunk = Chunk64K();
    QByteArray view;
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::TextToHexView(chunk, view));
    state.SetBytesProcessed(state.iterations() * chunk.size());
}
BENCHMARK(BM_TextToHexView64K);

void BM_HexViewToText64K(benchmark::State& state)
{
    QByteArray view;
    ulv::TextToHexView(Chunk64K(), view);
    QByteArray text;
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::HexViewToText(view, text));
    state.SetBytesProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_HexViewToText64K);

} // namespace

BENCHMARK_MAIN();
