#pragma once

#include <array>
#include <cstdint>

namespace ulv {

// The addresses of IPCP negotiation: what the peer's Configure-Request says of
// itself, and what we want (the flags) and were given (the addresses) for us.
struct IpcpAddressState {
    struct Entry {
        int present = 0;
        std::array<std::uint8_t, 4> address{}; // in the order of the option
    };

    Entry peerAddress; // option 03
    Entry peerDns1;    // option 81
    Entry peerDns2;    // option 83
    Entry ownAddress;
    Entry ownDns1;
    Entry ownDns2;

    void Reset() { *this = IpcpAddressState{}; }
};

} // namespace ulv
