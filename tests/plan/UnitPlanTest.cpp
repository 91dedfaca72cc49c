#include "core/AddressText.h"
#include "plan/UnitPlan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* Header = "mac,ip,mask,gateway\n";
constexpr const char* GoodRow = "02-4B-7E-00-00-01,10.0.0.2,255.255.255.0,10.0.0.1\n";

TEST(ReadPlan, ReportsEveryBadLineAsFileColonLineAndPlansNothing)
{
    struct Case {
        std::string text;
        // What the message begins with.
        std::string message;
    };
    const std::string plan = std::string(Header) + GoodRow;
    const Case cases[] = {
        {plan + "02-4B-7E-00-00-02,10.0.0.256,255.255.255.0,10.0.0.1\n",
         "plan.csv:3: ip \"10.0.0.256\" is not an address written as four numbers from 0 to 255"},
        {plan + "02-4B-7E-00-00-02,010.0.0.3,255.255.255.0,10.0.0.1\n", "plan.csv:3: ip \"010.0.0.3\" is not"},
        {plan + "02-4B-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.0.1.\n", "plan.csv:3: gateway \"10.0.0.1.\" is not"},
        {plan + "02-4B-7E-00-00-02,,255.255.255.0,10.0.0.1\n", "plan.csv:3: no ip given"},
        {plan + "02-4C-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.0.1\n",
         "plan.csv:3: 02-4C-7E-00-00-02 is not one of our units: their MAC addresses begin with 02-4B-7E"},
        {plan + "02-4B-7E-00-00,10.0.0.3,255.255.255.0,10.0.0.1\n",
         "plan.csv:3: mac \"02-4B-7E-00-00\" is not a MAC address such as 02-4B-7E-0A-0B-0C"},
        {plan + "02-4B:7E-00-00-02,10.0.0.3,255.255.255.0,10.0.0.1\n", "plan.csv:3: mac \"02-4B:7E-00-00-02\""},
        {plan + "02:4b:7e:00:00:01,10.0.0.3,255.255.255.0,10.0.0.1\n",
         "plan.csv:3: 02-4B-7E-00-00-01 is planned already on line 2"},
        {plan + "02-4B-7E-00-00-02,10.0.0.2,255.255.255.0,10.0.0.1\n",
         "plan.csv:3: 10.0.0.2 is planned already for 02-4B-7E-00-00-01 on line 2"},
        {plan + "02-4B-7E-00-00-02,10.0.0.3,255.0.255.0,0.0.0.0\n", "plan.csv:3: 255.0.255.0 is not a subnet mask"},
        {plan + "02-4B-7E-00-00-02,0.0.0.0,255.255.255.0,10.0.0.1\n", "plan.csv:3: 0.0.0.0 stands for no address"},
        {plan + "02-4B-7E-00-00-02,255.255.255.255,255.255.255.0,0.0.0.0\n", "plan.csv:3: 255.255.255.255 is the"},
        {plan + "02-4B-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.1.1\n",
         "plan.csv:3: 10.0.1.1 is outside the unit's subnet"},
        {plan + "02-4B-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.0.3\n", "plan.csv:3: 10.0.0.3 is the unit's own"},
        {plan + "02-4B-7E-00-00-02,10.0.0.3,255.255.255.0\n", "plan.csv:3: the row has 3 fields; the header has 4"},
        {plan + "\n# a comment\n\"02-4B-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.0.1\n",
         "plan.csv:5: a quoted field is never closed"},
        {std::string("mac,ip,mask,gw\n") + GoodRow, "plan.csv:1: the first row must be the header mac,ip,mask,"},
        {std::string("# only a comment\n\n"), "plan.csv: the plan is empty"},
        {Header, "plan.csv: the plan has no units"},
    };
    for (const Case& c : cases) {
        const PlanReading reading = ReadPlan(c.text, "plan.csv");
        ASSERT_EQ(reading.errors.size(), 1u) << c.text;
        EXPECT_EQ(reading.errors[0].substr(0, c.message.size()), c.message) << reading.errors[0];
        EXPECT_TRUE(reading.plan.Units().empty()) << c.text;
    }

    // Each bad line, not only the first.
    const PlanReading twoBad = ReadPlan(plan + "02-4B-7E-00-00-02,10.0.0.3,255.255.255.0,10.0.9.1\n" + GoodRow,
                                        "plan.csv");
    ASSERT_EQ(twoBad.errors.size(), 2u);
    EXPECT_EQ(twoBad.errors[0].substr(0, 12), "plan.csv:3: ");
    EXPECT_EQ(twoBad.errors[1], "plan.csv:4: 02-4B-7E-00-00-01 is planned already on line 2");
}

TEST(ReadPlan, TakesWhatSpreadsheetsWriteInAnyColumnOrder)
{
    const std::string text = "\xEF\xBB\xBF# hall A\r\n"
                             "\r\n"
                             "Gateway;MAC;note;ip;Mask\r\n"
                             "10.0.0.1;02:4b:7e:00:00:0a;\"east; by the door\";10.0.0.10;255.255.255.0\r\n"
                             ";;;;\r\n"
                             " 10.0.0.1 ;\"02-4B-7E-00-00-0B\";\"two\nlines\";10.0.0.11;255.255.255.0\r\n"
                             "0.0.0.0;02-4b-7e-00-00-0c;;10.0.0.12;255.255.255.0";
    const PlanReading reading = ReadPlan(text, "hall.csv");
    ASSERT_TRUE(reading.errors.empty()) << reading.errors[0];
    const auto& units = reading.plan.Units();
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(FormatHardwareAddress(units[0].mac), "02-4B-7E-00-00-0A");
    EXPECT_EQ(units[0].addresses, (UnitAddresses{0x0A00000A, 0xFFFFFF00, 0x0A000001}));
    EXPECT_EQ(units[0].line, 4);
    EXPECT_EQ(units[1].line, 6);
    EXPECT_EQ(units[2].addresses, (UnitAddresses{0x0A00000C, 0xFFFFFF00, 0}));
    EXPECT_EQ(units[2].line, 8);
    EXPECT_EQ(reading.plan.Find(units[1].mac), 1u);
    EXPECT_EQ(reading.plan.Find({0x02, 0x4B, 0x7E, 0, 0, 0x0D}), std::nullopt);
}

} // namespace
