#pragma once

#include <string>
#include <string_view>

namespace ulv {

// The CHAP-MD5 response value of RFC 1994: MD5 over identifier, secret and
// challenge value, all given as hex text (blanks allowed), as 32 upper-case
// digits. Empty when the three together hold an odd number of digits.
std::string ChapMd5Response(std::string_view identifier, std::string_view challenge, std::string_view secret);

} // namespace ulv
