#pragma once

#include "core/HardwareAddress.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>

// Datagrams a real unit would not send, for testing the tool's intake.
enum class OddDatagram { WrongOp, WrongHardwareType, ForeignPrefix, Oversize, Short, Minimal };

struct SimulatorOptions {
    HardwareAddress firstMac{0x02, 0x4B, 0x7E, 0x00, 0x00, 0x01};
    int units = 1;
    std::chrono::milliseconds interval{1000};
    int rounds = 10;
    std::chrono::milliseconds timeout{30000};
    bool waitForReplies = true;
    std::optional<std::uint32_t> firstXid;
    QList<OddDatagram> oddDatagrams;
    // Ask by DHCP: DISCOVER, then REQUEST what was offered, until ACKed.
    bool dhcp = false;
    // Every request is padded with zeros to this many bytes.
    int requestLength = 300;
};

// Every loop of the simulator is bounded: these are the largest values accepted.
inline constexpr int MaxUnits = 20000;
inline constexpr int MaxRounds = 100000;
inline constexpr std::chrono::milliseconds MaxTimeout{600000};
inline constexpr int MaxRequestLength = 1472;

// Parses the command line; on a bad option prints why and returns nothing.
std::optional<SimulatorOptions> ParseSimulatorOptions(const QStringList& arguments);

QString OddDatagramName(OddDatagram kind);
