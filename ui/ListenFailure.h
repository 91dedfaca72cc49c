#pragma once

#include "listener/BootpSocket.h"

#include <QString>

// What the operator can do about a Listen that failed, for the box under its
// message, as rich text: which program holds the port, or the command that
// gives this program the right to use it; otherwise the system's own reason.
QString ListenFailureAdvice(BindFailure failure, const QString& systemReason);
