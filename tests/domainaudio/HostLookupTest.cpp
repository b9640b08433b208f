#include "pages/data/core/HostLookup.h"

#include <gtest/gtest.h>

namespace ulv {
namespace {

// Only names the resolver answers without a network.
TEST(HostLookupTest, LocalhostResolvesToLoopback)
{
    const std::optional<QStringList> addresses = ResolveIpv4Addresses(QStringLiteral("localhost"));
    ASSERT_TRUE(addresses.has_value());
    EXPECT_TRUE(addresses->contains(QStringLiteral("127.0.0.1"))) << addresses->join(' ').toStdString();
    for (const QString& a : *addresses)
        EXPECT_EQ(addresses->count(a), 1) << "listed twice: " << a.toStdString();
}

TEST(HostLookupTest, DottedAddressResolvesToItself)
{
    const std::optional<QStringList> addresses = ResolveIpv4Addresses(QStringLiteral("192.0.2.7"));
    ASSERT_TRUE(addresses.has_value());
    EXPECT_EQ(*addresses, QStringList{QStringLiteral("192.0.2.7")});
}

TEST(HostLookupTest, NameWithNulIsRefusedNotCut)
{
    // Cut at the NUL this would resolve as "localhost".
    EXPECT_FALSE(ResolveIpv4Addresses(QStringLiteral("localhost") + QChar(0) + QStringLiteral("x")).has_value());
}

TEST(HostLookupTest, EachAddressEndsWithCrLf)
{
    EXPECT_EQ(AddressLines({QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2")}),
        QStringLiteral("10.0.0.1\r\n10.0.0.2\r\n"));
    EXPECT_EQ(AddressLines({}), QString());
}

} // namespace
} // namespace ulv
