#pragma once

// The main window with stand-ins where it meets the outside: a listener that
// binds nothing and keeps what would have been sent, and tips that can be
// made unavailable.

#include "core/BootRequest.h"
#include "core/BootpMessage.h"
#include "tests/support/RecordingSender.h"
#include "ui/BootpToolDlg.h"

// What happened to the listeners the window made, and the replies sent
// through them.
struct ListenerLog : RecordingSender {
    bool bindable = true;
    int made = 0;
    int destroyed = 0;
};

class RecordingListener : public BootListener {
public:
    explicit RecordingListener(ListenerLog& log) : log(log) { ++log.made; }
    ~RecordingListener() override { ++log.destroyed; }

    bool Create() override { return log.bindable; }
    QString FailureReason() const override { return {}; }
    BindFailure FailureKind() const override { return log.bindable ? BindFailure::None : BindFailure::Other; }
    QString SendFailureReason() const override { return {}; }
    bool SendReply(const BootpMessage& reply, const NetworkInterface& outgoing) override
    {
        return log.SendReply(reply, outgoing);
    }
    std::uint32_t InterfaceAddress(const NetworkInterface& interface) override
    {
        return log.InterfaceAddress(interface);
    }
    void Close() override {}

private:
    ListenerLog& log;
};

// A base of its own, so the log outlives the window, whose destructor
// destroys the last listener it made.
struct ListenerLogHolder {
    ListenerLog listener;
};

class TestToolDlg : public ListenerLogHolder, public CBootpToolDlg {
public:
    bool toolTipsAvailable = true;

protected:
    std::unique_ptr<BootListener> NewListenSocket() override
    {
        return std::make_unique<RecordingListener>(listener);
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
    for (int unit = 0; unit < count; ++unit) {
        const HardwareAddress mac{0x02, 0x4B, 0x7E, 0, static_cast<std::uint8_t>(unit / 256),
                                  static_cast<std::uint8_t>(unit % 256)};
        window.OnBootRequest(ReadBootRequest(BuildBootRequest(1, mac)), {1});
    }
}
