#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ulv {

// The IPv4 addresses the system's resolver gives for a host name or a dotted
// address, each once, in the resolver's order; nothing when the name cannot be
// resolved (unknown name, no network, a name the resolver refuses). Blocks
// until the resolver answers.
std::optional<QStringList> ResolveIpv4Addresses(const QString& name);

// The addresses as the lookup dialog lists them: each followed by CR LF.
QString AddressLines(const QStringList& addresses);

} // namespace ulv
