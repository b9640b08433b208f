#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Hex views of terminal and log text: every byte as two lower-case hex digits and
// a blank ("%02x "), while time stamps and notes stay readable text.
//
// Reading a hex view back, digits are not validated: a lower-case letter counts
// its code minus 87, an upper-case letter its code minus 55, anything else its
// code minus 48, and each byte is kept to 8 bits ("zz" gives 0x53). Pairs are
// read left to right: a blank between pairs is skipped, a digit followed by
// another character makes the byte of both, and a digit followed by a blank makes
// the byte of its own value ("a " gives 0x0A). A digit still pending at the end is
// dropped.
namespace ulv {

// Terminal view of raw bytes: "%02x " per byte and a CR LF after every "0a ". A
// note ("\r\n/*...*/\r\n", at least 8 characters) becomes "0d 0a " followed by the
// note itself. Returns 0 for an empty text (out untouched), else 1.
int TextToHexView(QByteArrayView text, QByteArray& out);

// As TextToHexView for text that carries terminal time stamps: a 29-character
// stamp ("[...]" with ']' at 27 and a blank at 28) stays as it is; a note
// ("/*...*/" and two more characters) stays as it is; a CR LF is added only when
// the view ends with "0a ". Returns 0 for an empty text, else 1.
int StampedTextToHexView(QByteArrayView text, QByteArray& out);

// Back from a terminal hex view to the bytes: CR and LF are skipped, stamps and
// notes stay text. The result ends before the first zero byte. Returns 0 for an
// empty view (out untouched), else 1.
int HexViewToText(QByteArrayView view, QByteArray& out);

// As HexViewToText, but bytes gets every byte (zero bytes too) and display the
// same text with each zero byte shown as a blank. A note sets only display.
// Returns 0 for an empty view, else 1.
int HexViewToBytes(QByteArrayView view, QByteArray& display, QByteArray& bytes);

// The bytes a script line in hex sends and the copy the terminal shows: CR, LF
// and stamps go into both; a pair goes into both except that 0x1A (Ctrl-Z) is not
// shown; a lone digit is sent, not shown. Each output ends before its first zero
// byte. Returns 0 for an empty view, else 1.
int HexViewToSendBytes(QByteArrayView view, QByteArray& bytes, QByteArray& display);

// Plain hex pairs (blanks allowed) to bytes, ending before the first zero byte.
// Returns 0 for an empty text (out untouched), else 1.
int HexStringToBytes(QByteArrayView hex, QByteArray& out);

// Removes every blank, then puts one blank after every two characters except at
// the end ("7EFF03" gives "7E FF 03").
QByteArray SpaceHexPairs(QByteArrayView hex);

// Log text with 25-character stamps ("[YYYY-MM-DD hh:mm:ss:mmm]") to "%02x " per
// byte, stamps kept. Returns 0 for an empty text (out untouched), else 1.
int LogTextToHex(QByteArrayView text, QByteArray& out);

// The inverse of LogTextToHex; the result ends before the first zero byte.
// Returns 0 for an empty text (out untouched), else 1.
int HexToLogText(QByteArrayView hex, QByteArray& out);

} // namespace ulv
