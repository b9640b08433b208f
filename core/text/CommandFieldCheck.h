#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>

// Checks for text a user typed before it goes inside an AT command. A module
// reads a double quote as the end of a quoted value, ';' outside quotes as the
// start of the next command, CR (and LF) as the end of the line, Ctrl-Z as
// "send" and Esc as "cancel": any of them in a field would let the field's text
// run as commands of its own. Each check returns an empty text when the value
// may go out, else the message to show, which names the field.
namespace ulv {

// A value the command puts between double quotes: refuses '"', CR, LF, Ctrl-Z, Esc.
QString CheckQuotedField(const QString& field, QStringView value);
// A value the command carries without quotes: the same, and ';' and ','.
QString CheckBareField(const QString& field, QStringView value);
// A telephone number: digits, '+', '*' and '#'.
QString CheckNumberField(const QString& field, QStringView value);
// A port number 1..65535, decimal digits only.
QString CheckPortField(const QString& field, QStringView value);
// A dotted IPv4 address: four decimal octets 0..255 (blanks around it are allowed).
QString CheckIpv4Field(const QString& field, QStringView value);
// A whole command the user typed on purpose: it stays as typed, but one
// command must not hold a line end or Ctrl-Z.
QString CheckCommandLine(const QString& field, QStringView value);

// The access point boxes the data pages share: "Access Point Name:",
// "User name:" and "Password:", each a quoted value.
QString CheckAccessPoint(QStringView apn, QStringView user, QStringView password);

// The first message of several checks, or empty when all passed.
inline QString FirstProblem(std::initializer_list<QString> problems)
{
    for (const QString& p : problems)
        if (!p.isEmpty())
            return p;
    return {};
}

} // namespace ulv
