#pragma once

namespace ulv {

// The place the map dialogs and the locator fall back to (the map pages open on
// it too), and the test position of the locator's hidden "Locate".
inline constexpr double kDefaultPlaceLatitude = 59.912700;
inline constexpr double kDefaultPlaceLongitude = 10.746100;
inline constexpr double kLocateTestLatitude = 59.913900;
inline constexpr double kLocateTestLongitude = 10.752200;

} // namespace ulv
