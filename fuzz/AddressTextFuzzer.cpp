// The text forms of addresses: every value survives its text form, and
// whatever text is read, writing the value and reading it again gives the
// same value.

#include "core/AddressText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= 4) {
        std::uint32_t address = 0;
        std::memcpy(&address, data, 4);
        Check(ParseDottedQuad(FormatDottedQuad(address)) == address);
    }
    if (size >= 6) {
        HardwareAddress octets{};
        std::copy(data, data + 6, octets.begin());
        const std::string text = FormatHardwareAddress(octets);
        Check(text.size() == 17);
        Check(ParseHardwareAddress(text) == octets);
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        Check(ParseHardwareAddress(lower) == octets);
    }

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::uint32_t address = ParseDottedQuad(text);
    Check(ParseDottedQuad(FormatDottedQuad(address)) == address);
    const HardwareAddress octets = ParseHardwareAddress(text);
    Check(ParseHardwareAddress(FormatHardwareAddress(octets)) == octets);
    return 0;
}
