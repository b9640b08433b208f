#pragma once

class QLineEdit;

namespace ulv {

// Makes the edit take a dotted IPv4 address as an address control does:
// digits and dots only, at most four octets of three digits, and a typed
// octet above 255 becomes 255.
void MakeAddressEdit(QLineEdit* edit);

} // namespace ulv
