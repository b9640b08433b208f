// PPP framing throughput: a 1500-byte IP packet framed, stuffed and checksummed
// for the wire, and the wire text unstuffed and checked again.
#include "core/ppp/PppFrameCodec.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::string PacketHex(bool controlHeavy)
{
    std::mt19937 rng(1500);
    std::string bytes(1500, '\0');
    for (char& c : bytes)
        c = static_cast<char>(controlHeavy ? rng() % 0x20 : rng() % 256);
    return ulv::PppStringToHex(bytes);
}

void BM_EscapeAndFcs(benchmark::State& state)
{
    const std::string data = PacketHex(state.range(0) != 0);
    const ulv::AccmFlags flags{};
    for (auto _ : state) {
        std::string wire = ulv::EscapePppBytes(ulv::BuildPppFrame("0021", "45", "00", data), 0, flags);
        benchmark::DoNotOptimize(wire);
    }
    state.SetBytesProcessed(state.iterations() * 1500);
}

void BM_UnescapeAndCheck(benchmark::State& state)
{
    const std::string data = PacketHex(state.range(0) != 0);
    const std::string wire = ulv::EscapePppBytes(ulv::BuildPppFrame("0021", "45", "00", data), 0, {});
    for (auto _ : state) {
        const std::string frame = ulv::UnescapePppBytes(wire);
        bool ok = ulv::CheckFrameLength(frame) && ulv::CheckFrameFcs(frame);
        benchmark::DoNotOptimize(ok);
        if (!ok)
            state.SkipWithError("frame did not check");
    }
    state.SetBytesProcessed(state.iterations() * 1500);
}

void BM_Fcs16(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes(1500, 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(ulv::Fcs16(bytes.data(), bytes.size()));
    state.SetBytesProcessed(state.iterations() * 1500);
}

} // namespace

// Argument 1: every byte a control byte, so mode 0 stuffs every one.
BENCHMARK(BM_EscapeAndFcs)->Arg(0)->Arg(1);
BENCHMARK(BM_UnescapeAndCheck)->Arg(0)->Arg(1);
BENCHMARK(BM_Fcs16);

BENCHMARK_MAIN();
