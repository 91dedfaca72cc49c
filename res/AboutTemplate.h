#pragma once

#include "res/DialogUnits.h"

// The About box (template 100), in dialog units.
namespace about_template {

inline constexpr DialogRect Client{0, 0, 217, 55};
inline constexpr DialogRect Icon{11, 17, 21, 20};
inline constexpr DialogRect ProductText{40, 10, 119, 8};
inline constexpr DialogRect VersionText{40, 20, 119, 8};
inline constexpr DialogRect OkButton{177, 7, 32, 14};

} // namespace about_template
