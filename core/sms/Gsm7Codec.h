#pragma once

#include <QByteArray>
#include <QByteArrayView>

// GSM 7-bit packing (septets packed low bit first into octets). The character
// codes are the septet values as they are: no translation to or from the GSM
// default alphabet.
namespace ulv {

// Packs every septet (each byte kept to its low 7 bits) into ceil(7 x n / 8)
// octets; the spare bits of the last octet are 0.
QByteArray Gsm7Pack(QByteArrayView septets);

// Every complete septet of the octets: floor(8 x n / 7) characters (7 octets give
// 8 characters).
QByteArray Gsm7Unpack(QByteArrayView octets);

// As Gsm7Unpack after one fill bit (septets that follow a 6-octet user-data
// header): floor((8 x n - 1) / 7) characters.
QByteArray Gsm7UnpackAfterFill(QByteArrayView octets);

// count septets from septet index first of the packed octets; the septets that the
// octets do not hold completely are left out.
QByteArray Gsm7UnpackSeptets(QByteArrayView octets, qsizetype first, qsizetype count);

} // namespace ulv
