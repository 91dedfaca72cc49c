#pragma once

#include "res/DialogUnits.h"

// The "Enter IP Information" dialog (template 131), in dialog units.
namespace ip_info_template {

inline constexpr DialogRect Client{0, 0, 152, 117};
inline constexpr DialogRect SendButton{7, 96, 50, 14};
inline constexpr DialogRect CancelButton{95, 96, 50, 14};
inline constexpr DialogRect IpAddressField{7, 17, 82, 11};
inline constexpr DialogRect SubnetMaskField{7, 49, 82, 11};
inline constexpr DialogRect SubnetMaskLabel{7, 39, 49, 8};
inline constexpr DialogRect IpAddressLabel{7, 7, 49, 8};
inline constexpr DialogRect GatewayField{7, 80, 82, 11};
inline constexpr DialogRect GatewayLabel{7, 70, 49, 8};

} // namespace ip_info_template
