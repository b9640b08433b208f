#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ulv {

// Splits an AT reply into its lines and the lines that hold ':' into fields.
// CRs are dropped; every non-empty piece that an LF ends becomes a line (text after
// the last LF is not complete yet and is left out). A line with ':' gives one row:
// ':' counts as ',', blanks are removed (also inside quotes; the quotes stay), and
// the pieces between commas are the fields: empty ones are skipped, except the
// last, which is kept even when empty. "+CSQ: 20,99" gives +CSQ, 20, 99.
// Both outputs are emptied first.
void SplitReplyLines(const QString& reply, QStringList& lines, QList<QStringList>& rows);

// Appends the tokens of text to tokens (which is not emptied). A run of delimiter
// characters separates two tokens; a text that starts with a delimiter gives an
// empty first token; delimiters at the end give no empty last token. An empty text
// gives no token.
void SplitString(const QString& text, const QString& delimiters, QStringList& tokens);

} // namespace ulv
