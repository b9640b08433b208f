#include "core/ppp/ChapResponse.h"

#include "core/ppp/Md5.h"
#include "core/ppp/PppFrameCodec.h"

#include <vector>

namespace ulv {

std::string ChapMd5Response(std::string_view identifier, std::string_view challenge, std::string_view secret)
{
    std::string text;
    text.reserve(identifier.size() + secret.size() + challenge.size());
    text.append(identifier).append(secret).append(challenge);
    std::vector<std::uint8_t> bytes;
    if (!HexTextToBytes(text, bytes))
        return {};
    Md5Context ctx;
    Md5Init(ctx);
    Md5Update(ctx, bytes.data(), bytes.size());
    Md5Final(ctx);
    std::string hex = Md5DigestToHex(ctx.digest);
    for (char& c : hex)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - ('a' - 'A'));
    return hex;
}

} // namespace ulv
