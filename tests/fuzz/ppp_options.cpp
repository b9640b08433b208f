// Peer option lists: every walker ends, stays inside the text and keeps its
// records in bounds, whatever the lengths say.
#include "core/ppp/PppOptions.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    const ulv::PppOptionWalk walk = ulv::WalkPppOptions(text);
    std::string joined;
    for (const ulv::PppOption& o : walk.options) {
        Require(o.text.size() >= 4 && o.type.size() == 2 && o.value.size() + 4 == o.text.size());
        joined += o.text;
    }
    joined += walk.malformed;
    Require(joined == text);

    std::string a, b;
    for (int authIndex = -1; authIndex <= 4; ++authIndex) {
        ulv::LcpOptionState lcp;
        const auto verdict = ulv::ParsePeerLcpRequest(text, a, b, lcp, authIndex);
        Require((verdict == ulv::PeerRequestVerdict::Reject) == !a.empty());
        Require(a.size() + b.size() <= text.size() + 10 * text.size() / 4 + 10);
    }
    ulv::LcpOptionState lcp;
    ulv::ApplyLcpNak(text, lcp);
    ulv::ApplyLcpReject(text, lcp);
    ulv::NakNonZeroAccm(text, a);
    ulv::AccmTextToFlags(text, lcp.accmFlags);
    Require(ulv::AccmFlagsToText(lcp.accmFlags).size() == 8);

    ulv::IpcpAddressState ipcp;
    const auto verdict = ulv::ParsePeerIpcpRequest(text, a, b, ipcp);
    Require(verdict != ulv::PeerRequestVerdict::Nak);
    ulv::AdoptIpcpValues(text, ipcp);
    ulv::ApplyIpcpNak(text, ipcp);
    ulv::ApplyIpcpReject(text, ipcp);

    if (ulv::SplitChapValue(text, a, b))
        Require(a.size() == 2 && b.size() <= text.size());
    const std::size_t half = size / 2;
    const std::string pap = ulv::BuildPapRequestData(text.substr(0, half), text.substr(half));
    Require(pap.size() >= 4 && pap.size() <= 4 + 2 * size);
    return 0;
}
