#pragma once

#include <string_view>

namespace orsa::settings {

// Where a factory-fresh beacon sends its data: the service's own monitoring server and the
// Wialon IPS receiver that takes the additional stream (its port 20332 is Wialon's IPS port).
inline constexpr std::string_view kDefaultServerHost = "gps.orsa-track.ru";
inline constexpr std::string_view kDefaultWialonHost = "193.193.165.165";

inline constexpr std::string_view kDefaultServerPort = "23351";
inline constexpr std::string_view kDefaultWialonPort = "20332";

// Stands for "not set" in the phone and PIN slots and for "determine automatically" in the
// balance code slot.
inline constexpr std::string_view kNotSetMarker = "00000";

}  // namespace orsa::settings
