#include "core/AddressText.h"

#include <array>
#include <cstdio>
#include <optional>

namespace {

bool IsFormattedInputSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<unsigned> HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

// One "%d" conversion: skips white space, takes an optional sign and at least
// one digit, and yields the number's low 8 bits in two's complement. Only the
// low 8 bits are kept while reading, so no length of digits can overflow.
std::optional<std::uint8_t> ReadDecimalOctet(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && IsFormattedInputSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !IsDecimalDigit(text[pos]))
        return std::nullopt;
    unsigned low = 0;
    while (pos < text.size() && IsDecimalDigit(text[pos])) {
        low = (low * 10 + static_cast<unsigned>(text[pos] - '0')) & 0xFFu;
        ++pos;
    }
    return static_cast<std::uint8_t>(negative ? (0x100u - low) & 0xFFu : low);
}

// One hexadecimal number of at least one digit; its low 8 bits.
std::optional<std::uint8_t> ReadHexOctet(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size() || !HexDigitValue(text[pos]))
        return std::nullopt;
    unsigned low = 0;
    while (pos < text.size()) {
        const auto digit = HexDigitValue(text[pos]);
        if (!digit)
            break;
        low = ((low << 4) | *digit) & 0xFFu;
        ++pos;
    }
    return static_cast<std::uint8_t>(low);
}

} // namespace

std::uint32_t ParseDottedQuad(std::string_view text)
{
    std::size_t pos = 0;
    std::uint32_t address = 0;
    for (int index = 0; index < 4; ++index) {
        if (index > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return 0;
            ++pos;
        }
        const auto octet = ReadDecimalOctet(text, pos);
        if (!octet)
            return 0;
        address = (address << 8) | *octet;
    }
    return address;
}

std::string FormatDottedQuad(std::uint32_t address)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%u.%u.%u.%u",
                  (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text.data();
}

std::string FormatHardwareAddress(const HardwareAddress& octets)
{
    // Every accepted request is looked up by this text, so it is written
    // digit by digit into place: snprintf cost more than the rest of the lookup.
    constexpr std::string_view digits = "0123456789ABCDEF";
    std::array<char, 3 * std::tuple_size_v<HardwareAddress> - 1> text{};
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0)
            text[3 * i - 1] = '-';
        text[3 * i] = digits[octets[i] >> 4];
        text[3 * i + 1] = digits[octets[i] & 0x0F];
    }
    return std::string(text.data(), text.size());
}

HardwareAddress ParseHardwareAddress(std::string_view text)
{
    HardwareAddress octets{};
    std::size_t pos = 0;
    for (std::size_t index = 0; index < octets.size(); ++index) {
        if (index > 0) {
            if (pos >= text.size() || text[pos] != '-')
                break;
            ++pos;
        }
        const auto octet = ReadHexOctet(text, pos);
        if (!octet)
            break;
        octets[index] = *octet;
    }
    return octets;
}
