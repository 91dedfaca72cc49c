#pragma once

#include "res/DialogUnits.h"

// The main window (template 102), in dialog units.
namespace main_window_template {

inline constexpr DialogRect Client{0, 0, 392, 202};
inline constexpr DialogRect ExitButton{335, 181, 50, 14};
inline constexpr DialogRect UnitList{7, 7, 319, 188};
inline constexpr DialogRect ListenButton{332, 7, 53, 15};
inline constexpr DialogRect ClearButton{332, 67, 53, 15};
inline constexpr DialogRect PingButton{332, 27, 53, 15};
inline constexpr DialogRect PrintButton{332, 47, 53, 15};

} // namespace main_window_template
