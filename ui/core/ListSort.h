#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace ulv {

// Cell comparison rules of the sortable report lists: a column of digits sorts
// as numbers, dd/mm/yyyy as dates, anything else as text. The first text alone
// picks the rule, the second is read by the same rule whatever it holds.

// Only decimal digits; an empty text counts as digits.
bool IsAllDigits(const QString& text);
// Exactly ten characters, dd/mm/yyyy shaped (digits and two slashes).
bool IsDate(const QString& text);

// Leading integers (a text without one counts as 0; long digit runs saturate).
int CompareNumbers(const QString& a, const QString& b);
// Year, then month, then day, each read at its fixed position from both texts.
int CompareDates(const QString& a, const QString& b);
// Case-sensitive collation in a fixed English locale, so the order is the same
// whatever language the desktop runs in.
int CompareCollated(const QString& a, const QString& b);

// The rule of the list: chosen by a, -1/0/1. Descending compares (b, a).
int CompareCells(const QString& a, const QString& b, bool ascending);

// Direction after a click on a column header: a column other than the sorted
// one starts ascending, the sorted one flips.
inline bool NextSortAscending(int clicked, int sortColumn, bool ascending)
{
    return clicked != sortColumn || !ascending;
}

// Stable merge sort of the indexes 0..n-1 by a three-way comparison. It never
// relies on the comparison being a strict weak order (the cell rules are not
// one when a column mixes kinds), so it always ends and keeps every row.
std::vector<int> StableSortOrder(int n, const std::function<int(int, int)>& compare);

// The display order after sorting rows whose texts in the sort column are keys.
std::vector<int> SortedRowOrder(const QStringList& keys, bool ascending);

} // namespace ulv
