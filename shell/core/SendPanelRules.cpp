#include "shell/core/SendPanelRules.h"

#include "core/text/HexView.h"

namespace ulv::SendPanelRules {

QStringList SpecialCharNames()
{
    QStringList names;
    for (char c = 'A'; c <= 'Z'; ++c)
        names << QStringLiteral("CTRL+%1").arg(QChar(c));
    names << "NULL" << "SOH" << "STX" << "ETX" << "EOT" << "ENQ" << "ACK" << "BEL" << "BACKSPACE" << "NAK" << "ESC";
    return names;
}

unsigned char SpecialCharByte(int position)
{
    if (position >= 0 && position <= 25)
        return static_cast<unsigned char>(position + 1);
    if (position >= 26 && position <= 34)
        return static_cast<unsigned char>(position - 26);
    if (position == 35)
        return 0x15;
    if (position == 36)
        return 0x1B;
    return 0x00;
}

QByteArray TextPayload(const QString& text, bool withEnter)
{
    QByteArray bytes = text.toUtf8();
    if (withEnter)
        bytes += "\r\n";
    return bytes;
}

void HexPayload(const QString& view, bool withEnter, QByteArray& bytes, QByteArray& display)
{
    bytes.clear();
    display.clear();
    HexViewToBytes(view.toUtf8(), display, bytes);
    if (withEnter) {
        bytes += "\r\n";
        display += "\r\n";
    }
}

KeyVerdict HexKeyVerdict(int vk, bool ctrl, bool shift)
{
    if (ctrl) {
        if (vk == 'C')
            return KeyVerdict::Copy;
        if (vk == 'V')
            return KeyVerdict::Paste;
        return KeyVerdict::Discard;
    }
    const bool pass = (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x46) || vk == 0x08 || vk == 0x20
        || vk == 0x2E || (vk >= 0x60 && vk <= 0x69 && !shift);
    return pass ? KeyVerdict::Pass : KeyVerdict::Discard;
}

int VirtualKeyFromQt(int qtKey, bool keypad)
{
    // Qt::Key values, spelled out so that this stays free of widget headers.
    constexpr int kKey0 = 0x30, kKey9 = 0x39, kKeyA = 0x41, kKeyZ = 0x5a;
    constexpr int kKeySpace = 0x20, kKeyBackspace = 0x01000003, kKeyDelete = 0x01000007;
    if (qtKey >= kKey0 && qtKey <= kKey9)
        return keypad ? 0x60 + (qtKey - kKey0) : qtKey;
    if (qtKey >= kKeyA && qtKey <= kKeyZ)
        return qtKey;
    if (qtKey == kKeySpace)
        return 0x20;
    if (qtKey == kKeyBackspace)
        return 0x08;
    if (qtKey == kKeyDelete)
        return 0x2E;
    return 0;
}

int FilePieceSize(int flowMode, int portBuffer)
{
    if (flowMode == 2)
        return 64;
    return portBuffer > 0 ? portBuffer : 2048;
}

int ProgressPosition(std::int64_t sent, std::int64_t length)
{
    if (length <= 0)
        return 100;
    if (sent <= 0)
        return 0;
    if (sent >= length)
        return 100;
    return int(sent * 100 / length);
}

QString ProgressCaption(std::int64_t sent)
{
    return QString::number(sent) + QStringLiteral(" Bytes");
}

QString SizeLabel(std::int64_t length)
{
    return QStringLiteral("(size: ") + QString::number(length) + QStringLiteral(" Bytes)");
}

namespace {

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

bool HexTextHoldsByte(const QString& hex, unsigned char byte)
{
    int high = -1;
    for (const QChar ch : hex) {
        const int digit = HexDigit(ch);
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
            continue;
        }
        if (((high << 4) | digit) == byte)
            return true;
        high = -1;
    }
    return false;
}

} // namespace ulv::SendPanelRules
