#pragma once

// BOOTP messages as the bytes that Qt's sockets send and receive.

#include "core/BootpMessage.h"

#include <QByteArray>

#include <cstdint>
#include <span>

inline QByteArray ToByteArray(const BootpMessage& message)
{
    return QByteArray(reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size()));
}

inline std::span<const std::uint8_t> AsBytes(const QByteArray& datagram)
{
    return {reinterpret_cast<const std::uint8_t*>(datagram.constData()), static_cast<std::size_t>(datagram.size())};
}
