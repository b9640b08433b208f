// Received PPP text: unescaping, splitting and checking never fail on any text,
// and stuffing is undone exactly for any frame and any escape map.
#include "core/ppp/PppFrameCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Anything the receive buffer may hold.
    const std::string plain = ulv::UnescapePppBytes(text);
    const ulv::PppFrameFields fields = ulv::SplitPppFrame(plain);
    Require(fields.protocol.size() <= 4 && fields.code.size() <= 2 && fields.identifier.size() <= 2);
    const bool lengthOk = ulv::CheckFrameLength(plain);
    const bool fcsOk = ulv::CheckFrameFcs(plain, [](const std::string& note) { Require(!note.empty()); });
    if (lengthOk || fcsOk)
        Require(plain.size() >= 2 * ulv::kPppFrameOverhead);
    ulv::EscapePppBytes(text, size > 0 ? data[0] & 1 : 0, {});

    // The bytes as a frame's data: escape, unescape and check round trip.
    if (size < 5)
        return 0;
    ulv::AccmFlags flags{};
    for (int k = 0; k < 32; ++k)
        flags[k] = (data[k / 8] >> (k % 8)) & 1;
    const std::string frame = ulv::BuildPppFrame("0021", "45", "00", ulv::PppStringToHex(text.substr(4)));
    Require(!frame.empty());
    const std::string wire = ulv::EscapePppBytes(frame, data[4] & 1, flags);
    for (std::size_t pos = 2; pos + 2 < wire.size(); pos += 2)
        Require(wire.compare(pos, 2, "7E") != 0);
    const std::string back = ulv::UnescapePppBytes(wire);
    Require(back == Upper(frame));
    Require(ulv::CheckFrameLength(back) && ulv::CheckFrameFcs(back));
    Require(Upper(ulv::SplitPppFrame(back).data) == Upper(ulv::PppStringToHex(text.substr(4))));
    return 0;
}
