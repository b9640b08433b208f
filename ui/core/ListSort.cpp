#include "ui/core/ListSort.h"

#include "platform/IniFile.h"

#include <QCollator>
#include <QLocale>

namespace ulv {

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int Sign(long long d)
{
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// Integer of the characters [from, from + len) of a text, 0 when they are
// missing or do not start with a number.
int FieldInt(const QString& text, int from, int len)
{
    return ParseLeadingInt(text.mid(from, len), 0);
}

} // namespace

bool IsAllDigits(const QString& text)
{
    for (QChar c : text) {
        if (!IsAsciiDigit(c))
            return false;
    }
    return true;
}

bool IsDate(const QString& text)
{
    if (text.size() != 10)
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!IsAsciiDigit(text[i]))
            return false;
    }
    return text[2] == QLatin1Char('/') && text[5] == QLatin1Char('/');
}

int CompareNumbers(const QString& a, const QString& b)
{
    return Sign(static_cast<long long>(ParseLeadingInt(a, 0)) - ParseLeadingInt(b, 0));
}

int CompareDates(const QString& a, const QString& b)
{
    static constexpr struct {
        int from, len;
    } fields[] = {{6, 4}, {3, 2}, {0, 2}};
    for (const auto& f : fields) {
        const long long d = static_cast<long long>(FieldInt(a, f.from, f.len)) - FieldInt(b, f.from, f.len);
        if (d != 0)
            return Sign(d);
    }
    return 0;
}

int CompareCollated(const QString& a, const QString& b)
{
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseSensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        return c;
    }();
    const int r = collator.compare(a, b);
    if (r != 0)
        return r < 0 ? -1 : 1;
    // Texts the collation calls equal still get a fixed order.
    return Sign(QString::compare(a, b, Qt::CaseSensitive));
}

int CompareCells(const QString& a, const QString& b, bool ascending)
{
    const QString& x = ascending ? a : b;
    const QString& y = ascending ? b : a;
    if (IsAllDigits(x))
        return CompareNumbers(x, y);
    if (IsDate(x))
        return CompareDates(x, y);
    return CompareCollated(x, y);
}

std::vector<int> StableSortOrder(int n, const std::function<int(int, int)>& compare)
{
    std::vector<int> order(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    std::vector<int> scratch(order.size());
    // Bottom-up: runs of width w merged into runs of 2w; a tie takes the left run
    // first, which keeps equal rows in their earlier order.
    for (int w = 1; w < n; w *= 2) {
        for (int lo = 0; lo < n; lo += 2 * w) {
            const int mid = std::min(lo + w, n);
            const int hi = std::min(lo + 2 * w, n);
            int i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                scratch[k++] = compare(order[j], order[i]) < 0 ? order[j++] : order[i++];
            while (i < mid)
                scratch[k++] = order[i++];
            while (j < hi)
                scratch[k++] = order[j++];
        }
        order.swap(scratch);
    }
    return order;
}

std::vector<int> SortedRowOrder(const QStringList& keys, bool ascending)
{
    return StableSortOrder(static_cast<int>(keys.size()), [&](int i, int j) {
        return CompareCells(keys[i], keys[j], ascending);
    });
}

} // namespace ulv
