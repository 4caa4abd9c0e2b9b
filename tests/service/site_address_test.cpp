#include "service/site_address.h"

#include <gtest/gtest.h>

#include <string_view>

#include "platform/encoding.h"
#include "platform/public_address.h"
#include "service/utf8.h"

namespace {

TEST(SiteAddressTest, ReadsHostsAsUsersWriteThem) {
    const std::pair<std::string, std::string> cases[] = {
        {"Example.COM", "example.com"},
        {"  www.example.com.\r\n", "www.example.com"},
        {"HTTPS://example.com/path?q#f", "example.com"},
        {"example.com:8080", "example.com:8080"},
        {"[::1]:8080", "[::1]:8080"},
        {"192.0.2.1", "192.0.2.1"},
        {U8(u8"中文.com"), "xn--fiq228c.com"},
        {*Utf8ToGb18030(U8(u8"中文.com")), "xn--fiq228c.com"},  // as url.txt holds it
    };
    for (const auto& [address, hostPort] : cases) {
        const auto site = ParseSiteAddress(address);
        ASSERT_TRUE(site.has_value()) << address;
        EXPECT_EQ(site->hostPort, hostPort) << address;
    }
    using namespace std::string_view_literals;
    const std::string_view bad[] = {
        "", "   ", "exa mple.com", "a..b", "user@example.com", "example.com:0", "example.com:99999",
        "example.com:80x", "[::1", "bad\r\nquery.com",
        // a zero or control byte inside a numeric host, which inet_pton would cut at
        "127.0.0.1\0.evil"sv, "8.8.8.8\0"sv, "[::1\0]:80"sv, "8.8.8.8\x7F"};
    for (const std::string_view address : bad) {
        EXPECT_FALSE(ParseSiteAddress(address).has_value()) << address;
    }
}

TEST(SiteAddressTest, RegisteredDomainFollowsThePublicSuffixList) {
    EXPECT_EQ(RegisteredDomain("www.example.com"), "example.com");
    EXPECT_EQ(RegisteredDomain("news.sina.com.cn"), "sina.com.cn");
    EXPECT_EQ(RegisteredDomain("a.b.example.co.uk"), "example.co.uk");
    EXPECT_EQ(RegisteredDomain("127.0.0.1"), "127.0.0.1");
}

TEST(PublicAddressTest, OnlyPublicAddressesPass) {
    for (const char* address : {"8.8.8.8", "1.1.1.1", "2001:4860:4860::8888", "223.5.5.5"}) {
        EXPECT_TRUE(IsPublicAddressText(address)) << address;
    }
    for (const char* address : {"127.0.0.1",
                                "127.8.9.1",
                                "10.1.2.3",
                                "172.16.0.1",
                                "172.31.255.255",
                                "192.168.1.1",
                                "169.254.169.254",
                                "100.64.0.1",
                                "0.0.0.0",
                                "224.0.0.1",
                                "255.255.255.255",
                                "::1",
                                "::",
                                "fe80::1",
                                "fd00::1",
                                "::ffff:127.0.0.1",
                                "::ffff:10.0.0.1",
                                "64:ff9b::a00:1",
                                "2002:c0a8:101::1",
                                "ff02::1",
                                "not an address"}) {
        EXPECT_FALSE(IsPublicAddressText(address)) << address;
    }
}

}  // namespace
