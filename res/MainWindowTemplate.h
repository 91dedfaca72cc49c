#pragma once

#include "DialogUnits.h"

// The main window (template 102), in dialog units.
namespace main_window_template {

inline constexpr DialogRect Client{0, 0, 392, 202};
inline constexpr DialogRect UnitList{7, 7, 319, 188};

} // namespace main_window_template
