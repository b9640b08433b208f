#include "pages/data/core/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace ulv {

std::optional<QStringList> ResolveIpv4Addresses(const QString& name)
{
    const QByteArray host = name.toUtf8();
    // A NUL inside would have the resolver look up only the part before it.
    if (host.isEmpty() || host.contains('\0'))
        return std::nullopt;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address rather than one per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.constData(), nullptr, &hints, &list) != 0 || !list)
        return std::nullopt;

    QStringList addresses;
    for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || !ai->ai_addr || ai->ai_addrlen < sizeof(sockaddr_in))
            continue;
        const auto* sin = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text))
            continue;
        const QString address = QString::fromLatin1(text);
        if (!addresses.contains(address))
            addresses << address;
    }
    freeaddrinfo(list);
    if (addresses.isEmpty())
        return std::nullopt;
    return addresses;
}

QString AddressLines(const QStringList& addresses)
{
    QString text;
    for (const QString& a : addresses)
        text += a + QLatin1String("\r\n");
    return text;
}

} // namespace ulv
