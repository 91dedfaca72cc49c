#pragma once

#include <QIcon>

// The application icon: a 32x32 and a 16x16 picture in 16 colours.
QIcon AppIcon();
