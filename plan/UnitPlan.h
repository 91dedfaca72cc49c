#pragma once

// An address plan: which unit, by its MAC address, is given which IP
// address, subnet mask and gateway; read from a CSV file and checked whole
// before anything is served from it.

#include "core/HardwareAddress.h"
#include "core/UnitAnswer.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One unit of a plan, and the line of the plan that gives it.
struct PlannedUnit {
    HardwareAddress mac{};
    UnitAddresses addresses;
    int line = 0;
};

// A unit's four values as texts, as a plan's row or a command line has them.
struct PlannedUnitTexts {
    std::string_view mac;
    std::string_view ip;
    std::string_view mask;
    std::string_view gateway;
};

// The unit those texts give, or why they give none: a MAC address that is
// not one of our units', an address not written as this program writes
// addresses, or addresses that the address dialog would refuse or ask about
// (core's address check): a plan has nobody to ask. Texts are taken as they
// are; the caller trims them.
struct PlannedUnitReading {
    std::optional<PlannedUnit> unit;
    std::string problem;
};
PlannedUnitReading ReadPlannedUnit(const PlannedUnitTexts& texts);

// "02-4B-7E-0A-0B-0C" or "02:4b:7e:0a:0b:0c": six octets of two hex digits,
// either case, all joined by hyphens or all by colons.
std::optional<HardwareAddress> ReadMacText(std::string_view text);

class UnitPlan {
public:
    UnitPlan() = default;
    // Units whose MAC addresses differ.
    explicit UnitPlan(std::vector<PlannedUnit> units);

    // In the plan's order.
    const std::vector<PlannedUnit>& Units() const { return units; }
    // Where in Units() the unit with this MAC address is, if it is planned.
    std::optional<std::size_t> Find(const HardwareAddress& mac) const;

private:
    std::vector<PlannedUnit> units;
    std::unordered_map<std::uint64_t, std::size_t> positions;
};

struct PlanReading {
    UnitPlan plan;
    // One "FILE:LINE: reason" for each bad line, in the order of the lines
    // ("FILE: reason" for the file as a whole). A plan with any of them must
    // not be served.
    std::vector<std::string> errors;
};

// Reads and checks a plan: a header row naming the columns mac, ip, mask and
// gateway in any order (others are ignored), then one unit a row. No MAC
// address or IP address may be planned twice. `fileName` names the plan in
// the messages.
PlanReading ReadPlan(std::string_view text, std::string_view fileName);

// The same for a file; its name in the messages is `path` as given.
PlanReading ReadPlanFile(const QString& path);
