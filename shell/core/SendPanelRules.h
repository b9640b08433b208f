#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace ulv {

// The send panel's decisions that need no widget: what each mode writes, which
// keys a hex view lets through, and how the file sender paces and counts.
namespace SendPanelRules {

// Modes of the panel (m_nMode).
enum Mode : int { kModeText = 0, kModeHex = 1, kModeFile = 2, kModeSpecialChars = 3 };

// The special-character list in its order: "CTRL+A" to "CTRL+Z", then "NULL",
// "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BACKSPACE", "NAK", "ESC".
QStringList SpecialCharNames();
// Position of CTRL+Z, selected at start.
constexpr int kDefaultSpecialChar = 25;
// The byte an entry sends; no selection (-1) or a position past the list sends 0.
unsigned char SpecialCharByte(int position);

// Text mode: the text's bytes (UTF-8), CR LF appended when asked.
QByteArray TextPayload(const QString& text, bool withEnter);
// Hex mode: the bytes of a hex view and the text the terminal echoes (zero bytes
// as blanks), CR LF appended to both when asked. A view that is only a note
// gives no bytes.
void HexPayload(const QString& view, bool withEnter, QByteArray& bytes, QByteArray& display);

// What the key filter of a box holding a hex view does with a key.
enum class KeyVerdict { Pass, Discard, Copy, Paste };
// Windows virtual-key codes the filter is defined in: 0x30-0x39 digits, 0x41-0x46
// A-F, 0x08 backspace, 0x20 space, 0x2E delete and 0x60-0x69 keypad digits (the
// last only while Shift is up) pass; Ctrl+C copies, Ctrl+V pastes, every other
// Ctrl combination and every other key is discarded.
KeyVerdict HexKeyVerdict(int virtualKey, bool ctrl, bool shift);
// The virtual-key code of a Qt key (Qt::Key values; keypad says whether the key
// came from the number pad). Keys the filter never lets through give 0.
int VirtualKeyFromQt(int qtKey, bool keypad);

// File sending.
// Bytes per write: 64 with XON/XOFF, else the portbuffer setting (2048 when it
// is not positive).
int FilePieceSize(int flowMode, int portBuffer);
// The progress bar position after `sent` of `length` bytes: whole percent,
// 100 for an empty file.
int ProgressPosition(std::int64_t sent, std::int64_t length);
// "%ld Bytes"
QString ProgressCaption(std::int64_t sent);
// "(size: %ld Bytes)"
QString SizeLabel(std::int64_t length);
// Whether a received hex text (upper- or lower-case pairs, blanks and line
// breaks allowed) holds the byte `byte` at a pair position: "0D13" holds 0x13,
// "413F" does not.
bool HexTextHoldsByte(const QString& hex, unsigned char byte);
constexpr unsigned char kXon = 0x11;
constexpr unsigned char kXoff = 0x13;

} // namespace SendPanelRules

} // namespace ulv
