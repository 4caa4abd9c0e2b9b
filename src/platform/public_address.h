#pragma once

#include <string_view>

struct sockaddr;

// Whether an address is reachable on the public internet: loopback, private, link-local,
// carrier-grade NAT, multicast, reserved and unspecified ranges are not (IPv4-mapped and
// NAT64 IPv6 forms are judged by the IPv4 address inside).
bool IsPublicAddress(const sockaddr* address);

// The same for a numeric address text ("10.0.0.1", "::1"); false when it is not one.
bool IsPublicAddressText(std::string_view numeric);
