#pragma once

// Text forms of addresses. An address value is a 32-bit number whose most
// significant octet is the first number of the dotted-decimal text
// (192.168.1.20 is 0xC0A80114).

#include "core/HardwareAddress.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reads "a.b.c.d" with the rules of scanf("%d.%d.%d.%d"): white space is
// skipped before each number, a number may carry a sign, a dot must follow
// the digits directly, and anything after the fourth number is ignored.
// Each number contributes its low 8 bits, however many digits it has.
// Text that does not start with four such numbers gives 0.
std::uint32_t ParseDottedQuad(std::string_view text);

// "192.168.1.20": decimal octets without leading zeros.
std::string FormatDottedQuad(std::uint32_t address);

// "02-4B-7E-00-1F-A3": two upper-case hex digits per octet, 17 characters.
std::string FormatHardwareAddress(const HardwareAddress& octets);

// Reverses FormatHardwareAddress, accepting either case. Reading stops at the
// first octet that is not hex digits after the expected "-"; that octet and
// all later ones are 0. Each number contributes its low 8 bits.
HardwareAddress ParseHardwareAddress(std::string_view text);
