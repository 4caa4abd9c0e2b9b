#include "platform/public_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

bool IsPublicV4(std::uint32_t a) {
    const auto in = [a](std::uint32_t net, int bits) {
        const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
        return (a & mask) == net;
    };
    return !(in(0x00000000, 8) ||   // this network
             in(0x0A000000, 8) ||   // private
             in(0x64400000, 10) ||  // carrier-grade NAT
             in(0x7F000000, 8) ||   // loopback
             in(0xA9FE0000, 16) ||  // link-local
             in(0xAC100000, 12) ||  // private
             in(0xC0000000, 24) ||  // protocol assignments
             in(0xC0000200, 24) ||  // documentation
             in(0xC0A80000, 16) ||  // private
             in(0xC6120000, 15) ||  // benchmarking
             in(0xC6336400, 24) ||  // documentation
             in(0xCB007100, 24) ||  // documentation
             in(0xE0000000, 4) ||   // multicast
             in(0xF0000000, 4));    // reserved and broadcast
}

std::uint32_t V4At(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

bool IsPublicV6(const unsigned char* b) {
    static const unsigned char kZero[16] = {};
    if (std::memcmp(b, kZero, 15) == 0 && (b[15] == 0 || b[15] == 1)) return false;  // :: and ::1
    static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (std::memcmp(b, kMapped, 12) == 0) return IsPublicV4(V4At(b + 12));
    if (std::memcmp(b, kZero, 12) == 0) return IsPublicV4(V4At(b + 12));  // IPv4-compatible
    static const unsigned char kNat64[12] = {0, 0x64, 0xFF, 0x9B, 0, 0, 0, 0, 0, 0, 0, 0};
    if (std::memcmp(b, kNat64, 12) == 0) return IsPublicV4(V4At(b + 12));
    if (b[0] == 0x20 && b[1] == 0x02) return IsPublicV4(V4At(b + 2));  // 6to4
    if ((b[0] & 0xFE) == 0xFC) return false;                           // unique local
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0x80) return false;           // link-local
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0xC0) return false;           // old site-local
    if (b[0] == 0xFF) return false;                                    // multicast
    if (b[0] == 0x20 && b[1] == 0x01 && b[2] == 0x0D && b[3] == 0xB8) return false;  // docs
    return true;
}

}  // namespace

bool IsPublicAddress(const sockaddr* address) {
    if (address == nullptr) return false;
    if (address->sa_family == AF_INET) {
        sockaddr_in v4;
        std::memcpy(&v4, address, sizeof v4);
        return IsPublicV4(ntohl(v4.sin_addr.s_addr));
    }
    if (address->sa_family == AF_INET6) {
        sockaddr_in6 v6;
        std::memcpy(&v6, address, sizeof v6);
        return IsPublicV6(v6.sin6_addr.s6_addr);
    }
    return false;
}

bool IsPublicAddressText(std::string_view numeric) {
    const std::string text(numeric);
    in_addr v4;
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return IsPublicV4(ntohl(v4.s_addr));
    in6_addr v6;
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) return IsPublicV6(v6.s6_addr);
    return false;
}
