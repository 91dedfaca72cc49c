#pragma once

#include "listener/BootpSocket.h"
#include "roster/UnitList.h"

#include <QHash>
#include <QString>

#include <cstdio>

// Lists the units that ask, as the window's list would show them: each unit
// once, when it first asks, with the time and the interface it came in on;
// at the end how many requests each sent. Answers nothing.
class UnitListener : public BootRequestReceiver {
public:
    UnitListener(std::FILE* out, bool csv);

    bool Listen();
    QString ListenFailure() const { return listener.FailureReason(); }

    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override;

    // Stops listening and prints each unit with its count of requests.
    void Finish();

private:
    void Print(const QString& line);

    std::FILE* out;
    const bool csv;
    CUnitList units;
    QHash<QString, int> requests;
    CBootpSocket listener{*this};
};
