#include "core/text/GsmAlphabet.h"

namespace ulv {

namespace {

// The default alphabet, by code. 0x1B is the escape to the extension table.
constexpr char16_t kDefault[128] = {
    u'@', u'£', u'$', u'¥', u'è', u'é', u'ù', u'ì', u'ò', u'Ç', u'\n', u'Ø', u'ø', u'\r', u'Å', u'å',
    u'Δ', u'_', u'Φ', u'Γ', u'Λ', u'Ω', u'Π', u'Ψ', u'Σ', u'Θ', u'Ξ', 0xFFFF, u'Æ', u'æ', u'ß', u'É',
    u' ', u'!', u'"', u'#', u'¤', u'%', u'&', u'\'', u'(', u')', u'*', u'+', u',', u'-', u'.', u'/',
    u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', u':', u';', u'<', u'=', u'>', u'?',
    u'¡', u'A', u'B', u'C', u'D', u'E', u'F', u'G', u'H', u'I', u'J', u'K', u'L', u'M', u'N', u'O',
    u'P', u'Q', u'R', u'S', u'T', u'U', u'V', u'W', u'X', u'Y', u'Z', u'Ä', u'Ö', u'Ñ', u'Ü', u'§',
    u'¿', u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h', u'i', u'j', u'k', u'l', u'm', u'n', u'o',
    u'p', u'q', u'r', u's', u't', u'u', u'v', u'w', u'x', u'y', u'z', u'ä', u'ö', u'ñ', u'ü', u'à',
};

struct Extension {
    char16_t character;
    char code;
};
constexpr Extension kExtension[] = {
    {u'\f', 0x0A}, {u'^', 0x14}, {u'{', 0x28}, {u'}', 0x29}, {u'\\', 0x2F},
    {u'[', 0x3C}, {u'~', 0x3D}, {u']', 0x3E}, {u'|', 0x40}, {u'€', 0x65},
};

constexpr char kEscape = 0x1B;
constexpr char kCtrlZ = 0x1A;

} // namespace

GsmAlphabetText EncodeGsmAlphabet(QStringView text, bool extensionTable)
{
    GsmAlphabetText out;
    out.bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int code = -1;
        for (int k = 0; k < 128 && code < 0; ++k)
            if (kDefault[k] == c)
                code = k;
        if (code >= 0 && code != kCtrlZ) {
            out.bytes.append(char(code));
            continue;
        }
        bool extended = false;
        for (const Extension& e : kExtension)
            if (extensionTable && e.character == c) {
                out.bytes.append(kEscape);
                out.bytes.append(e.code);
                extended = true;
            }
        if (extended)
            continue;
        // A character outside the basic plane is refused whole, not half a pair.
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        out.refused = text.mid(i, length).toString();
        out.bytes.clear();
        return out;
    }
    return out;
}

QString TextCharsetRefusal(const QString& character, const QString& charset)
{
    return QStringLiteral("The character \"%1\" cannot be sent with the %2 character set! Choose UCS2 to send it.")
        .arg(character, charset);
}

} // namespace ulv
