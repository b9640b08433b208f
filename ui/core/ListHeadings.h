#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace ulv {

struct HeadingColumn {
    QString label;
    int width = 0;
};

// "label,width;label,width;...": each pair runs from the current position to
// the next ','; the width is the integer after it up to the next ';' (0 when
// missing). A piece with no ',' after it ends the list.
std::vector<HeadingColumn> ParseHeadings(const QString& text);

// The column layout stored in the profile under "ListCtrls"/"<control id>":
// a 4-byte little-endian count, then one 4-byte little-endian width per column.
QByteArray EncodeColumnLayout(const std::vector<int>& widths);

// The widths of a stored layout, or nothing when it does not fit a list of
// columnCount columns: another count, fewer bytes than the count promises, or a
// negative width.
std::optional<std::vector<int>> DecodeColumnLayout(const QByteArray& bytes, int columnCount);

} // namespace ulv
