#include "core/text/CommandFieldCheck.h"

#include <QList>

namespace ulv {

namespace {

// What a refused character is called in a message.
QString CharacterName(QChar c)
{
    switch (c.unicode()) {
    case '"': return QStringLiteral("a double quote (\")");
    case '\r':
    case '\n': return QStringLiteral("a line break");
    case 0x1A: return QStringLiteral("Ctrl-Z");
    case 0x1B: return QStringLiteral("Esc");
    case ';': return QStringLiteral("a semicolon (;)");
    case ',': return QStringLiteral("a comma (,)");
    case ' ': return QStringLiteral("a blank");
    default: break;
    }
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return QStringLiteral("the control character 0x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
    return QStringLiteral("the character \"%1\"").arg(c);
}

QString Refused(const QString& field, QChar c)
{
    return QStringLiteral("\"%1\" must not contain %2!").arg(field, CharacterName(c));
}

bool EndsOrBreaksACommand(QChar c)
{
    const char16_t u = c.unicode();
    return u == '"' || u == '\r' || u == '\n' || u == 0x1A || u == 0x1B;
}

// Decimal digits only, as an unsigned value no larger than `max`; blanks
// around it allowed. -1 when it is anything else.
long DecimalValue(QStringView text, long max)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 9)
        return -1;
    long value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= max ? value : -1;
}

} // namespace

QString CheckQuotedField(const QString& field, QStringView value)
{
    for (QChar c : value)
        if (EndsOrBreaksACommand(c))
            return Refused(field, c);
    return {};
}

QString CheckBareField(const QString& field, QStringView value)
{
    for (QChar c : value)
        if (EndsOrBreaksACommand(c) || c == QLatin1Char(';') || c == QLatin1Char(','))
            return Refused(field, c);
    return {};
}

QString CheckNumberField(const QString& field, QStringView value)
{
    for (QChar c : value) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && c != QLatin1Char('+') && c != QLatin1Char('*') && c != QLatin1Char('#'))
            return QStringLiteral("\"%1\" may hold only digits, +, * and #, not %2!").arg(field, CharacterName(c));
    }
    return {};
}

QString CheckPortField(const QString& field, QStringView value)
{
    // The text goes into the command as it is: no blanks around it either.
    if (value != value.trimmed() || DecimalValue(value, 65535) < 1)
        return QStringLiteral("\"%1\" should be a number from 1 to 65535!").arg(field);
    return {};
}

QString CheckIpv4Field(const QString& field, QStringView value)
{
    const QList<QStringView> octets = value.trimmed().split(QLatin1Char('.'));
    bool good = octets.size() == 4;
    for (QStringView octet : octets)
        good = good && octet == octet.trimmed() && DecimalValue(octet, 255) >= 0;
    if (!good)
        return QStringLiteral("\"%1\" should be four numbers from 0 to 255 separated by dots!").arg(field);
    return {};
}

QString CheckCommandLine(const QString& field, QStringView value)
{
    for (QChar c : value)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0x1A)
            return Refused(field, c);
    return {};
}

QString CheckAccessPoint(QStringView apn, QStringView user, QStringView password)
{
    return FirstProblem({CheckQuotedField(QStringLiteral("Access Point Name"), apn),
        CheckQuotedField(QStringLiteral("User name"), user), CheckQuotedField(QStringLiteral("Password"), password)});
}

} // namespace ulv
