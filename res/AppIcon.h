#pragma once

#include <QIcon>

// The application icon, at every size from 16 to 256 pixels, so that each
// use at any scale finds a picture drawn for its size.
QIcon AppIcon();
