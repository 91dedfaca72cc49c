#pragma once

// BOOTP (RFC 951) numbers and field offsets, named once for the whole program.
// Offsets count from the first byte of the UDP payload.

#include <array>
#include <cstddef>
#include <cstdint>

namespace bootp {

inline constexpr std::uint16_t ServerPort = 67;
inline constexpr std::uint16_t ClientPort = 68;

inline constexpr std::uint8_t OpBootRequest = 1;
inline constexpr std::uint8_t OpBootReply = 2;
inline constexpr std::uint8_t HardwareTypeEthernet = 1;
inline constexpr std::uint8_t EthernetAddressLength = 6;

// Fixed header fields: offset and width.
inline constexpr std::size_t OpOffset = 0;
inline constexpr std::size_t HardwareTypeOffset = 1;
inline constexpr std::size_t HardwareLengthOffset = 2;
inline constexpr std::size_t HopsOffset = 3;
inline constexpr std::size_t TransactionIdOffset = 4;
inline constexpr std::size_t TransactionIdLength = 4;
inline constexpr std::size_t SecondsOffset = 8;
inline constexpr std::size_t FlagsOffset = 10;           // RFC 1542; unused in RFC 951
inline constexpr std::size_t ClientAddressOffset = 12;   // ciaddr
inline constexpr std::size_t YourAddressOffset = 16;     // yiaddr
inline constexpr std::size_t ServerAddressOffset = 20;   // siaddr
inline constexpr std::size_t GatewayAddressOffset = 24;  // giaddr
inline constexpr std::size_t HardwareAddressOffset = 28; // chaddr
inline constexpr std::size_t HardwareAddressFieldLength = 16;
inline constexpr std::size_t ServerNameOffset = 44;      // sname
inline constexpr std::size_t ServerNameLength = 64;
inline constexpr std::size_t BootFileOffset = 108;       // file
inline constexpr std::size_t BootFileLength = 128;
inline constexpr std::size_t VendorAreaOffset = 236;     // vend
inline constexpr std::size_t VendorAreaLength = 64;
inline constexpr std::size_t MessageLength = VendorAreaOffset + VendorAreaLength;

static_assert(ServerNameOffset == HardwareAddressOffset + HardwareAddressFieldLength);
static_assert(BootFileOffset == ServerNameOffset + ServerNameLength);
static_assert(VendorAreaOffset == BootFileOffset + BootFileLength);
static_assert(MessageLength == 300);

// Vendor extensions (RFC 1497): magic cookie 99.130.83.99, then tagged options.
inline constexpr std::array<std::uint8_t, 4> MagicCookie{99, 130, 83, 99};
inline constexpr std::uint8_t OptionPad = 0;
inline constexpr std::uint8_t OptionSubnetMask = 1;
inline constexpr std::uint8_t OptionDomainNameServer = 6;
inline constexpr std::uint8_t OptionEnd = 255;
inline constexpr std::uint8_t AddressOptionLength = 4;

// The smallest datagram that still carries a whole Ethernet hardware address.
inline constexpr std::size_t MinimumRequestLength = HardwareAddressOffset + EthernetAddressLength;

// Sizes of whole datagrams. Every host takes IP datagrams of 576 bytes (RFC
// 1122), and BOOTP clients may send requests that long (RFC 1542): 548 bytes
// of BOOTP after the IP and UDP headers. Nothing longer fits one Ethernet frame.
inline constexpr std::size_t IpAndUdpHeaderLength = 20 + 8;
inline constexpr std::size_t MinimumIpDatagramLength = 576;
inline constexpr std::size_t LargestBootpRequestLength = MinimumIpDatagramLength - IpAndUdpHeaderLength;
inline constexpr std::size_t EthernetMtu = 1500;
inline constexpr std::size_t LargestDatagramLength = EthernetMtu - IpAndUdpHeaderLength;
static_assert(LargestBootpRequestLength == 548 && LargestDatagramLength == 1472);

} // namespace bootp
