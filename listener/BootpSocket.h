#pragma once

#include "core/BootpMessage.h"
#include "core/ReplySender.h"
#include "core/RequestIntake.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUdpSocket>

#include <chrono>
#include <memory>

// Why the port could not be had, as far as the remedy goes.
enum class BindFailure { None, PortInUse, NotPermitted, Other };

// What the main window does with its listener: bind it, learn why that
// failed, send the replies through it and close it.
class BootListener : public BootReplySender {
public:
    virtual ~BootListener() = default;

    // Binds the port; false if that fails (for instance another program holds
    // it, or the process may not bind privileged ports), and then nothing stays open.
    virtual bool Create() = 0;
    // Why the last Create failed, in the system's words: "permission denied"
    // and "address in use" need different fixes, so each is named as such.
    // Empty while nothing has failed.
    virtual QString FailureReason() const = 0;
    virtual BindFailure FailureKind() const = 0;
    // Why the last SendReply failed, as standard error was told; empty
    // after one that went out.
    virtual QString SendFailureReason() const = 0;
    virtual void Close() = 0;
};

// Tells standard error, in the program's name, why Listen failed: the one
// wording of it, for the window and the command line alike.
void WriteListenFailure(const QString& reason);

// The tool's one UDP socket: bound to port 67 on all local IPv4 addresses,
// it hands on the requests of our units and sends the replies, so every reply
// leaves from port 67. Reads run on the owning thread's event loop.
class CBootpSocket : public QObject, public BootListener {
    Q_OBJECT

public:
    // How long one read notification may go on taking waiting datagrams before
    // the event loop gets its turn: one loop pass per datagram repaints the
    // window for each, and a plant's power-up then takes seconds to list,
    // while the operator's clicks and the screen can wait a few milliseconds.
    static constexpr std::chrono::microseconds DeliverySlice{4000};
    // A plant powering up can send thousands of requests while the window is
    // busy; the kernel's default buffer holds only about 160 of them.
    static constexpr int RequestedKernelReceiveBuffer = 4 * 1024 * 1024;

    explicit CBootpSocket(BootRequestReceiver& owner);
    ~CBootpSocket() override;

    bool Create() override;
    QString FailureReason() const override { return failureReason; }
    BindFailure FailureKind() const override { return failureKind; }
    QString SendFailureReason() const override { return sendFailureReason; }
    // Broadcasts to 255.255.255.255, port 68. The interface matters: a limited
    // broadcast otherwise leaves by whichever interface the routing table
    // picks, and a unit on another network would never hear it. A failed
    // send writes the system's reason and the interface to standard error.
    bool SendReply(const BootpMessage& reply, const NetworkInterface& outgoing) override;
    std::uint32_t InterfaceAddress(const NetworkInterface& interface) override;
    void Close() override;

    // What the kernel granted of RequestedKernelReceiveBuffer.
    int KernelReceiveBufferBytes();

private slots:
    // Takes the datagrams that wait, one at a time, for at most DeliverySlice.
    void OnReceive();

private:
    // Reads one datagram and takes it; false when there was none to read.
    bool ReceiveOne();
    // The interface of this index with its name, looked up the first time
    // the index is seen: once per datagram would cost a system call each.
    NetworkInterface ArrivalInterface(unsigned index);
    // The index `interface` has now: its own while it still has that name
    // (a re-plugged adapter comes back with a new index), else that of the
    // interface of that name, else 0.
    unsigned CurrentIndex(const NetworkInterface& interface);

    BootRequestReceiver& owner;
    std::unique_ptr<QUdpSocket> socket;
    QString failureReason;
    QString sendFailureReason;
    QHash<unsigned, NetworkInterface> arrivalInterfaces;
    BindFailure failureKind = BindFailure::None;
    // Set while OnReceive hands datagrams on; a handler may destroy this object.
    bool delivering = false;
};
