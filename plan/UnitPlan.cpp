#include "plan/UnitPlan.h"

#include "core/AddressCheck.h"
#include "core/AddressText.h"
#include "plan/CsvReader.h"

#include <QFile>

#include <algorithm>
#include <array>

namespace {

std::uint64_t KeyOf(const HardwareAddress& mac)
{
    std::uint64_t key = 0;
    for (const std::uint8_t octet : mac)
        key = (key << 8) | octet;
    return key;
}

std::string Quoted(std::string_view text)
{
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// An address exactly as FormatDottedQuad writes it: four numbers from 0 to
// 255 without leading zeros, nothing around them.
std::optional<std::uint32_t> ReadAddressText(std::string_view text)
{
    const std::uint32_t address = ParseDottedQuad(text);
    if (FormatDottedQuad(address) != text)
        return std::nullopt;
    return address;
}

std::string AddressTextProblem(const char* column, std::string_view text)
{
    if (text.empty())
        return std::string("no ") + column + " given";
    return std::string(column) + " " + Quoted(text) +
           " is not an address written as four numbers from 0 to 255 without leading zeros, such as 192.168.1.20";
}

enum PlanColumn { MacColumn, IpColumn, MaskColumn, GatewayColumn, PlanColumnCount };
constexpr std::array<const char*, PlanColumnCount> ColumnNames{"mac", "ip", "mask", "gateway"};

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lowered;
}

// Where each of the four columns stands in the header, or why it cannot be read.
struct Header {
    std::array<std::size_t, PlanColumnCount> positions{};
    std::size_t width = 0;
    std::string problem;
};

Header ReadHeader(const std::vector<std::string>& fields)
{
    Header header;
    header.width = fields.size();
    std::array<bool, PlanColumnCount> found{};
    for (std::size_t position = 0; position < fields.size(); ++position) {
        const std::string name = Lowered(Trimmed(fields[position]));
        for (int column = 0; column < PlanColumnCount; ++column) {
            if (name != ColumnNames[column])
                continue;
            if (found[column]) {
                header.problem = "the header names the column " + name + " twice";
                return header;
            }
            found[column] = true;
            header.positions[column] = position;
        }
    }
    for (int column = 0; column < PlanColumnCount; ++column) {
        if (!found[column]) {
            header.problem = std::string("the first row must be the header mac,ip,mask,gateway (in any order); "
                                         "it has no column ") + ColumnNames[column];
            return header;
        }
    }
    return header;
}

// Whether nothing but white space stands in these fields: a row a
// spreadsheet writes for an empty line of its sheet.
bool AllEmpty(const std::vector<std::string>& fields, std::size_t from = 0)
{
    return std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(from, fields.size())), fields.end(),
                       [](const std::string& field) { return Trimmed(field).empty(); });
}

} // namespace

std::optional<HardwareAddress> ReadMacText(std::string_view text)
{
    constexpr std::size_t length = 3 * std::tuple_size_v<HardwareAddress> - 1;
    if (text.size() != length || (text[2] != '-' && text[2] != ':'))
        return std::nullopt;
    std::string windowForm(text);
    for (std::size_t separator = 2; separator < length; separator += 3) {
        if (text[separator] != text[2])
            return std::nullopt;
        windowForm[separator] = '-';
    }
    const HardwareAddress mac = ParseHardwareAddress(windowForm);
    if (Lowered(FormatHardwareAddress(mac)) != Lowered(windowForm))
        return std::nullopt;
    return mac;
}

PlannedUnitReading ReadPlannedUnit(const PlannedUnitTexts& texts)
{
    PlannedUnitReading reading;
    const auto mac = ReadMacText(texts.mac);
    if (!mac) {
        reading.problem = texts.mac.empty() ? "no mac given"
                                            : "mac " + Quoted(texts.mac) +
                                                  " is not a MAC address such as 02-4B-7E-0A-0B-0C";
        return reading;
    }
    if (!std::equal(VENDOR_PREFIX.begin(), VENDOR_PREFIX.end(), mac->begin())) {
        reading.problem = FormatHardwareAddress(*mac) + " is not one of our units: their MAC addresses begin with " +
                          FormatHardwareAddress({VENDOR_PREFIX[0], VENDOR_PREFIX[1], VENDOR_PREFIX[2]}).substr(0, 8);
        return reading;
    }
    const std::array<std::pair<const char*, std::string_view>, 3> addressTexts{
        {{"ip", texts.ip}, {"mask", texts.mask}, {"gateway", texts.gateway}}};
    std::array<std::uint32_t, 3> values{};
    for (std::size_t i = 0; i < addressTexts.size(); ++i) {
        const auto value = ReadAddressText(addressTexts[i].second);
        if (!value) {
            reading.problem = AddressTextProblem(addressTexts[i].first, addressTexts[i].second);
            return reading;
        }
        values[i] = *value;
    }
    const AddressPlan addresses{values[0], values[1], values[2]};
    const AddressProblem problem = CheckAddressPlan(addresses);
    if (problem != AddressProblem::None) {
        reading.problem = DescribeAddressProblem(problem, addresses);
        return reading;
    }
    reading.unit = PlannedUnit{*mac, {values[0], values[1], values[2]}, 0};
    return reading;
}

UnitPlan::UnitPlan(std::vector<PlannedUnit> planned) : units(std::move(planned))
{
    positions.reserve(units.size());
    for (std::size_t position = 0; position < units.size(); ++position)
        positions.emplace(KeyOf(units[position].mac), position);
}

std::optional<std::size_t> UnitPlan::Find(const HardwareAddress& mac) const
{
    const auto found = positions.find(KeyOf(mac));
    if (found == positions.end())
        return std::nullopt;
    return found->second;
}

PlanReading ReadPlan(std::string_view text, std::string_view fileName)
{
    PlanReading reading;
    const auto fail = [&](int line, const std::string& reason) {
        reading.errors.push_back(std::string(fileName) + ":" + std::to_string(line) + ": " + reason);
    };

    CsvReader reader(text, CsvReader::DelimiterOf(text));
    CsvRow row;
    std::optional<Header> header;
    std::vector<PlannedUnit> units;
    std::unordered_map<std::uint64_t, int> macLines;
    std::unordered_map<std::uint32_t, std::size_t> ipOwners;
    while (reader.Next(row)) {
        if (!header) {
            header = ReadHeader(row.fields);
            if (!header->problem.empty()) {
                fail(row.line, header->problem);
                return reading;
            }
            continue;
        }
        if (AllEmpty(row.fields))
            continue;
        const std::size_t needed = *std::max_element(header->positions.begin(), header->positions.end()) + 1;
        if (row.fields.size() < needed || !AllEmpty(row.fields, header->width)) {
            fail(row.line, "the row has " + std::to_string(row.fields.size()) + " fields; the header has " +
                               std::to_string(header->width));
            continue;
        }
        const auto field = [&](PlanColumn column) { return Trimmed(row.fields[header->positions[column]]); };
        PlannedUnitReading unit =
            ReadPlannedUnit({field(MacColumn), field(IpColumn), field(MaskColumn), field(GatewayColumn)});
        if (!unit.unit) {
            fail(row.line, unit.problem);
            continue;
        }
        unit.unit->line = row.line;
        const auto [macLine, newMac] = macLines.emplace(KeyOf(unit.unit->mac), row.line);
        if (!newMac) {
            fail(row.line, FormatHardwareAddress(unit.unit->mac) + " is planned already on line " +
                               std::to_string(macLine->second));
            continue;
        }
        const auto [owner, newIp] = ipOwners.emplace(unit.unit->addresses.ipAddress, units.size());
        if (!newIp) {
            const PlannedUnit& first = units[owner->second];
            fail(row.line, FormatDottedQuad(unit.unit->addresses.ipAddress) + " is planned already for " +
                               FormatHardwareAddress(first.mac) + " on line " + std::to_string(first.line));
            continue;
        }
        units.push_back(*unit.unit);
    }
    if (reader.UnclosedQuoteLine() != 0)
        fail(reader.UnclosedQuoteLine(), "a quoted field is never closed");
    else if (!header)
        reading.errors.push_back(std::string(fileName) + ": the plan is empty: it needs the header "
                                                         "mac,ip,mask,gateway and a row for each unit");
    else if (units.empty() && reading.errors.empty())
        reading.errors.push_back(std::string(fileName) + ": the plan has no units, only its header");
    if (reading.errors.empty())
        reading.plan = UnitPlan(std::move(units));
    return reading;
}

PlanReading ReadPlanFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PlanReading reading;
        reading.errors.push_back(path.toStdString() + ": cannot read the plan: " + file.errorString().toStdString());
        return reading;
    }
    const QByteArray text = file.readAll();
    return ReadPlan(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), path.toStdString());
}
