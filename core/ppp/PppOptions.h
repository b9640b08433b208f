#pragma once

#include "core/ppp/IpcpAddressState.h"
#include "core/ppp/LcpOptionState.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ulv {

// LCP and IPCP option lists in hex text: per option one type byte, one length
// byte (counting type and length) and length - 2 value bytes. The operations
// compare on the upper-case text; every out list and text is emptied first.

struct PppOption {
    std::string_view text;  // the whole option
    std::string_view type;  // two digits
    std::string_view value; // what follows type and length
};

struct PppOptionWalk {
    std::vector<PppOption> options;
    // From the first option whose length is below 2 or runs past the end of the
    // list, to the end; nothing after it can be trusted.
    std::string_view malformed;
};

// Splits a list without blanks; the views point into text.
PppOptionWalk WalkPppOptions(std::string_view text);

// Answer to a peer's Configure-Request, in the order of precedence.
enum class PeerRequestVerdict { Ack = 0, Nak = 1, Reject = 2 };

// Authentication choice of the dial page: the index of its combo box. An index
// outside these (a box with no selection) counts as AUTO.
enum PppAuthIndex { kPppAuthAuto = 0, kPppAuthChap = 1, kPppAuthPap = 2, kPppAuthNone = 3 };

// Classifies the peer's LCP Configure-Request and records its options in state.
// Unknown options, compression options and a malformed rest are rejected; an
// authentication protocol the choice does not allow is nak'ed with the one it does.
PeerRequestVerdict ParsePeerLcpRequest(std::string_view options, std::string& rejectList, std::string& nakList,
    LcpOptionState& state, int authIndex);

// Takes over the values of a Configure-Nak of our request. False when any option
// (or a malformed rest) was not understood.
bool ApplyLcpNak(std::string_view options, LcpOptionState& state);

// Forgets the options a Configure-Reject names.
void ApplyLcpReject(std::string_view options, LcpOptionState& state);

// An ACCM value of exactly 8 digits to flags (flag k = bit k); anything else
// leaves every flag 0.
void AccmTextToFlags(std::string_view text, AccmFlags& flags);

// The inverse: one lower-case digit per four flags, highest group first.
std::string AccmFlagsToText(std::span<const int> flags);

// Classifies the peer's IPCP Configure-Request (address and DNS options are
// accepted and recorded as the peer's, anything else rejected): Ack or Reject.
PeerRequestVerdict ParsePeerIpcpRequest(std::string_view options, std::string& rejectList, std::string& acceptList,
    IpcpAddressState& state);

// Records the address and DNS options of an Ack of our IPCP request as ours.
void AdoptIpcpValues(std::string_view options, IpcpAddressState& state);

// As AdoptIpcpValues for a Configure-Nak; false when any option was not understood.
bool ApplyIpcpNak(std::string_view options, IpcpAddressState& state);

// Stops asking for the address and DNS options a Configure-Reject names.
void ApplyIpcpReject(std::string_view options, IpcpAddressState& state);

// PAP Authenticate-Request data (RFC 1334): length and bytes of the user name,
// then of the password. Each length is one byte, so each text is cut at 255 bytes.
std::string BuildPapRequestData(std::string_view user, std::string_view password);

// Splits CHAP Challenge data into its value-size byte and the value. False (both
// empty) when the data are shorter than the size byte says.
bool SplitChapValue(std::string_view data, std::string& size, std::string& value);

// Adds a Nak asking for an all-zero ACCM for every ACCM option that asks otherwise.
bool NakNonZeroAccm(std::string_view options, std::string& nakList);

} // namespace ulv
