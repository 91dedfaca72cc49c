// Sends BOOTREQUESTs to 255.255.255.255:67 as fast as the socket takes them,
// for bench/intake.sh, from the units side of the lab.
//
//   request_sender --units N --requests R     R requests from units 0..N-1, in turn
//   request_sender --flood R --units N        R datagrams: random bytes of 0 to
//       1,500 bytes, requests the tool must refuse, and requests from units 0..N-1
//   request_sender --units N --requests R --replies MS
//       as the first, then waits up to MS milliseconds for the replies on UDP
//       port 68, and prints when the last request went and the last reply came
//       (CLOCK_MONOTONIC, the same on both sides of the lab) and how many
//       units were answered
//
// Unit n's MAC is 02-4B-7E followed by n in three octets. Requests the tool
// must refuse carry MACs 02-4B-7E-F0-00-00 and up (or a foreign prefix), so a
// row from one of them stands out.

#include "core/BootpMessage.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <time.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

HardwareAddress UnitMac(unsigned unit)
{
    return {0x02, 0x4B, 0x7E, static_cast<std::uint8_t>(unit >> 16), static_cast<std::uint8_t>(unit >> 8),
            static_cast<std::uint8_t>(unit)};
}

constexpr unsigned RefusedUnits = 0xF00000;
constexpr std::size_t LargestDatagram = 1500;

// One datagram of the flood: what it is depends on `kind`, 0 to 9; `isValid`
// tells whether it is a request the tool must take.
std::vector<std::uint8_t> FloodDatagram(std::mt19937& random, unsigned units, unsigned index, bool& isValid)
{
    const unsigned kind = random() % 10;
    const BootpMessage valid = BuildBootRequest(index, UnitMac(index % units));
    BootpMessage refused = BuildBootRequest(index, UnitMac(RefusedUnits + index % 0x10000));
    std::vector<std::uint8_t> datagram(refused.begin(), refused.end());
    isValid = kind > 8;
    switch (kind) {
    case 0: case 1: case 2: case 3: // noise
        datagram.resize(random() % (LargestDatagram + 1));
        for (auto& byte : datagram)
            byte = static_cast<std::uint8_t>(random());
        break;
    case 4: // a reply, not a request
        datagram[bootp::OpOffset] = bootp::OpBootReply;
        break;
    case 5: // not Ethernet
        datagram[bootp::HardwareTypeOffset] = 6;
        break;
    case 6: // another maker's unit
        datagram[bootp::HardwareAddressOffset] = 0x00;
        break;
    case 7: // longer than a BOOTP request may be
        datagram.resize(bootp::LargestBootpRequestLength + 1 +
                        random() % (LargestDatagram - bootp::LargestBootpRequestLength));
        break;
    case 8: // cut off inside the hardware address
        datagram.resize(bootp::HardwareAddressOffset + 3 + random() % 3);
        break;
    default:
        datagram.assign(valid.begin(), valid.end());
        break;
    }
    return datagram;
}

unsigned Number(const char* text)
{
    return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
}

long long MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// A socket on the units' port with room for every reply of a burst.
int ReplySocket()
{
    const int receiver = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(receiver, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const int room = 64 * 1024 * 1024;
    // Past net.core.rmem_max as root; capped by it otherwise.
    if (setsockopt(receiver, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room) != 0)
        setsockopt(receiver, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
    sockaddr_in client{};
    client.sin_family = AF_INET;
    client.sin_port = htons(bootp::ClientPort);
    if (bind(receiver, reinterpret_cast<const sockaddr*>(&client), sizeof client) != 0) {
        std::perror("request_sender: bind UDP port 68");
        std::exit(2);
    }
    return receiver;
}

// Takes replies until every unit has one or `waitMs` passes with none.
void CountReplies(int receiver, unsigned units, int waitMs)
{
    std::vector<bool> answered(units, false);
    unsigned replies = 0;
    unsigned unitsAnswered = 0;
    long long lastReply = 0;
    std::uint8_t datagram[1500];
    pollfd readable{receiver, POLLIN, 0};
    while (unitsAnswered < units && poll(&readable, 1, waitMs) > 0) {
        const ssize_t length = recv(receiver, datagram, sizeof datagram, 0);
        if (length < static_cast<ssize_t>(bootp::HardwareAddressOffset + 6) || datagram[0] != bootp::OpBootReply)
            continue;
        lastReply = MonotonicNanoseconds();
        ++replies;
        const std::uint8_t* mac = datagram + bootp::HardwareAddressOffset;
        const unsigned unit = (unsigned{mac[3]} << 16) | (unsigned{mac[4]} << 8) | mac[5];
        if (unit < units && !answered[unit]) {
            answered[unit] = true;
            ++unitsAnswered;
        }
    }
    std::printf("replies %u units %u last_reply_ns %lld\n", replies, unitsAnswered, lastReply);
}

} // namespace

int main(int argc, char* argv[])
{
    unsigned units = 1;
    unsigned requests = 0;
    bool flood = false;
    int replyWaitMs = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--units")
            units = Number(argv[i + 1]);
        else if (option == "--requests")
            requests = Number(argv[i + 1]);
        else if (option == "--flood") {
            flood = true;
            requests = Number(argv[i + 1]);
        } else if (option == "--replies")
            replyWaitMs = static_cast<int>(std::min(Number(argv[i + 1]), 600'000u));
        else {
            std::fprintf(stderr, "usage: %s --units N (--requests R [--replies MS] | --flood R)\n", argv[0]);
            return 2;
        }
    }
    if (units == 0 || units > 0x100000 || requests > 10'000'000) {
        std::fprintf(stderr, "request_sender: units 1 to 1048576, at most 10000000 datagrams\n");
        return 2;
    }

    const int receiver = replyWaitMs >= 0 ? ReplySocket() : -1;
    const int sender = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(sender, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(bootp::ServerPort);
    server.sin_addr.s_addr = htonl(INADDR_BROADCAST);

    std::mt19937 random(20260101);
    unsigned failed = 0;
    unsigned valid = 0;
    for (unsigned i = 0; i < requests; ++i) {
        std::vector<std::uint8_t> datagram;
        bool isValid = true;
        if (flood) {
            datagram = FloodDatagram(random, units, i, isValid);
        } else {
            const BootpMessage request = BuildBootRequest(i, UnitMac(i % units));
            datagram.assign(request.begin(), request.end());
            // Awaiting the replies: the broadcast flag asks every server to
            // broadcast them (RFC 1542), since the units side has no address.
            if (receiver >= 0)
                datagram[bootp::FlagsOffset] = 0x80;
        }
        if (sendto(sender, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&server),
                   sizeof server) < 0)
            ++failed;
        else
            valid += isValid ? 1 : 0;
    }
    close(sender);
    if (receiver >= 0) {
        std::printf("sent %u last_request_ns %lld\n", requests - failed, MonotonicNanoseconds());
        std::fflush(stdout);
        CountReplies(receiver, units, replyWaitMs);
        close(receiver);
    }
    if (failed != 0)
        std::fprintf(stderr, "request_sender: %u of %u datagrams were not sent\n", failed, requests);
    if (flood)
        std::printf("  request_sender: %u datagrams sent, %u of them requests the tool must take\n",
                    requests - failed, valid);
    return 0;
}
