#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038), one
// septet per byte as a module takes text with AT+CSCS="GSM"; an extension
// character is the escape 0x1B followed by its code.
namespace ulv {

struct GsmAlphabetText {
    QByteArray bytes;
    // The first character without a code (empty when every character has one).
    QString refused;
    bool Ok() const { return refused.isEmpty(); }
};

// The text's codes. Characters outside both tables, and the one whose code is
// Ctrl-Z (capital Xi, 0x1A), which would end a text-mode message, are refused.
// Without `extensionTable` the extension characters are refused too: in a
// text-mode message (AT+CMGS with AT+CMGF=1) the escape byte would cancel
// the message rather than start a character.
GsmAlphabetText EncodeGsmAlphabet(QStringView text, bool extensionTable = true);

// The message shown when a character cannot go out in a text-mode character
// set ("GSM", "IRA").
QString TextCharsetRefusal(const QString& character, const QString& charset);

} // namespace ulv
