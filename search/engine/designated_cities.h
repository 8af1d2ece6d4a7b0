// The cities whose kana name in an index line is followed by a ward name,
// in the order in which a city name is tested against them.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace search::engine {

// The half-width kana names (CP932), twelve long-standing ones first, then
// the cities that were given wards later.
std::span<const std::string> DesignatedCities();

// Length of the first designated city name that the city kana begins with,
// or 0 when it begins with none.
size_t DesignatedCityPrefix(std::string_view cityKana);

}  // namespace search::engine
