#pragma once

// The main window with stand-ins where it meets the outside: a listener that
// binds nothing and keeps what would have been sent, and tips that can be
// made unavailable.

#include "core/BootpMessage.h"
#include "ui/BootpToolDlg.h"

#include <vector>

struct SentReply {
    BootpMessage reply;
    unsigned outgoingInterface;
};

// What happened to the listeners the window made.
struct ListenerLog {
    bool bindable = true;
    bool failSends = false;
    int made = 0;
    int destroyed = 0;
    std::vector<SentReply> sent;
};

class RecordingSocket : public CBootpSocket {
public:
    RecordingSocket(BootRequestReceiver& owner, ListenerLog& log) : CBootpSocket(owner), log(log) { ++log.made; }
    ~RecordingSocket() override { ++log.destroyed; }

    bool Create() override { return log.bindable; }

    int SendReply(const BootpMessage& reply, unsigned outgoingInterface) override
    {
        log.sent.push_back({reply, outgoingInterface});
        return log.failSends ? SendFailed : static_cast<int>(reply.size());
    }

private:
    ListenerLog& log;
};

class TestToolDlg : public CBootpToolDlg {
public:
    ListenerLog listener;
    bool toolTipsAvailable = true;

protected:
    std::unique_ptr<CBootpSocket> NewListenSocket() override
    {
        return std::make_unique<RecordingSocket>(*this, listener);
    }

    std::unique_ptr<CToolTipCtrl> NewToolTipCtrl() override
    {
        return toolTipsAvailable ? CBootpToolDlg::NewToolTipCtrl() : nullptr;
    }
};

// Requests from `count` units, 02-4B-7E-00-00-00 upwards, as the listener
// hands them on.
inline void HearUnits(CBootpToolDlg& window, int count)
{
    for (int unit = 0; unit < count; ++unit)
        window.OnBootRequest(BuildBootRequest(1, {0x02, 0x4B, 0x7E, 0, static_cast<std::uint8_t>(unit / 256),
                                                  static_cast<std::uint8_t>(unit % 256)}),
                             1);
}
