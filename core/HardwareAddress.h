#pragma once

#include <array>
#include <cstdint>

// Six octets in the order they stand in a BOOTP chaddr field.
using HardwareAddress = std::array<std::uint8_t, 6>;

// Every unit the tool serves has a hardware address that begins with these octets.
inline constexpr std::array<std::uint8_t, 3> VENDOR_PREFIX{0x02, 0x4B, 0x7E};
