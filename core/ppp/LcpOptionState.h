#pragma once

#include "core/ppp/PppFrameCodec.h"

#include <array>
#include <cstdint>

namespace ulv {

// What LCP negotiation has learnt of the peer's options (and of the values a
// Configure-Nak of our own request suggests). The dial worker resets it each
// time it enters its LCP negotiation.
struct LcpOptionState {
    enum AuthKind { kAuthPap = 0, kAuthChap = 1, kAuthOther = -1 };

    int mruSeen = 0;
    int mru = 1500;
    // While set, frames after LCP are escaped by accmFlags and our own
    // Configure-Request asks for the same map.
    int accmSeen = 0;
    AccmFlags accmFlags{};
    int authSeen = 0;
    int authKind = kAuthPap;
    std::uint8_t chapAlgorithm = 0; // 5 for MD5, the only one accepted
    int magicSeen = 0;
    std::array<std::uint8_t, 4> magic{};

    void Reset() { *this = LcpOptionState{}; }
};

} // namespace ulv
