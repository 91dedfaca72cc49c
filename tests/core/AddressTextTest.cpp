#include "core/AddressText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DottedQuadCase {
    std::string text;
    std::uint32_t expected;
};

TEST(ParseDottedQuad, FollowsFormattedInputRules)
{
    const DottedQuadCase cases[] = {
        {"192.168.1.20", 0xC0A80114},
        {"0.0.0.0", 0},
        {"255.255.255.255", 0xFFFFFFFF},
        // Placeholders and text that is not four numbers read as 0.
        {"?.?.?.?", 0},
        {"", 0},
        {"1.2.3", 0},
        {"1.2.3.", 0},
        {"1..2.3.4", 0},
        {"a.b.c.d", 0},
        // Each number keeps its low 8 bits; negatives in two's complement.
        {"256.1.2.3", 0x00010203},
        {"-1.0.0.1", 0xFF000001},
        {"+10.-0.+0.1", 0x0A000001},
        // White space is skipped before each number, never before a dot.
        {"10. 0. 0. 1", 0x0A000001},
        {" \t10.\n0.\r0.\v1", 0x0A000001},
        {"10 .0.0.1", 0},
        {"10.0 .0.1", 0},
        // A sign must be followed directly by a digit.
        {"- 1.0.0.1", 0},
        {"+.0.0.1", 0},
        // Whatever follows the fourth number is ignored.
        {"10.0.0.1xyz", 0x0A000001},
        {"10.0.0.1.5", 0x0A000001},
        {"10.0.0.1 junk", 0x0A000001},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseDottedQuad(text), expected) << '"' << text << '"';
}

TEST(ParseDottedQuad, NumbersBeyondThirtyTwoBitsKeepTheirLowOctet)
{
    // scanf leaves these undefined; here every digit counts toward the low 8 bits.
    EXPECT_EQ(ParseDottedQuad("4294967297.0.0.1"), 0x01000001u);
    EXPECT_EQ(ParseDottedQuad("99999999999999999999.0.0.0"), 0xFF000000u);
    EXPECT_EQ(ParseDottedQuad("-4294967297.0.0.0"), 0xFF000000u);
    EXPECT_EQ(ParseDottedQuad("1.2.3." + std::string(5000, '9')), 0x010203FFu);
}

TEST(FormatDottedQuad, WritesOctetsWithoutLeadingZeros)
{
    EXPECT_EQ(FormatDottedQuad(0xC0A80114), "192.168.1.20");
    EXPECT_EQ(FormatDottedQuad(0x0A000001), "10.0.0.1");
    EXPECT_EQ(FormatDottedQuad(0), "0.0.0.0");
    EXPECT_EQ(FormatDottedQuad(0xFFFFFFFF), "255.255.255.255");
    EXPECT_EQ(FormatDottedQuad(0x01020304), "1.2.3.4");
}

TEST(FormatDottedQuad, ParsesBackToTheSameValue)
{
    // A stride prime to 2^32 visits values with every octet pattern.
    std::uint32_t value = 0;
    for (int i = 0; i < 100000; ++i, value += 0x9E3779B1u)
        ASSERT_EQ(ParseDottedQuad(FormatDottedQuad(value)), value) << FormatDottedQuad(value);
}

TEST(HardwareAddressText, FormatsUpperCaseTwoDigitOctets)
{
    EXPECT_EQ(FormatHardwareAddress({0x02, 0x4B, 0x7E, 0x00, 0x1F, 0xA3}), "02-4B-7E-00-1F-A3");
    EXPECT_EQ(FormatHardwareAddress({0, 0, 0, 0, 0, 0}), "00-00-00-00-00-00");
    EXPECT_EQ(FormatHardwareAddress({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).size(), 17u);
}

TEST(HardwareAddressText, ParsesEitherCaseAndRoundTrips)
{
    const HardwareAddress octets{0x02, 0x4B, 0x7E, 0x00, 0x1F, 0xA3};
    EXPECT_EQ(ParseHardwareAddress("02-4B-7E-00-1F-A3"), octets);
    EXPECT_EQ(ParseHardwareAddress("02-4b-7e-00-1f-a3"), octets);
    for (int octet = 0; octet < 256; ++octet) {
        const auto o = static_cast<std::uint8_t>(octet);
        const HardwareAddress address{o, static_cast<std::uint8_t>(255 - o), 0x4B, o, 0x7E, o};
        ASSERT_EQ(ParseHardwareAddress(FormatHardwareAddress(address)), address);
    }
}

TEST(HardwareAddressText, MalformedTextLeavesUnreadOctetsZero)
{
    EXPECT_EQ(ParseHardwareAddress(""), (HardwareAddress{}));
    EXPECT_EQ(ParseHardwareAddress("02-4B-7E"), (HardwareAddress{0x02, 0x4B, 0x7E, 0, 0, 0}));
    EXPECT_EQ(ParseHardwareAddress("02:4B:7E:00:1F:A3"), (HardwareAddress{0x02, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ParseHardwareAddress("02-4B-XX-00-1F-A3"), (HardwareAddress{0x02, 0x4B, 0, 0, 0, 0}));
    EXPECT_EQ(ParseHardwareAddress("-4B-7E-00-1F-A3"), (HardwareAddress{}));
    // A long number keeps its low 8 bits, as each octet does.
    EXPECT_EQ(ParseHardwareAddress("102-4B-7E-00-1F-1A3"), (HardwareAddress{0x02, 0x4B, 0x7E, 0x00, 0x1F, 0xA3}));
}

} // namespace
