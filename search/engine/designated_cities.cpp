#include "search/engine/designated_cities.h"

#include <vector>

#include "platform/text/cp932.h"

namespace search::engine {

std::span<const std::string> DesignatedCities() {
  // Small kana are written full-size in the data, hence ｷﾖｳﾄｼ.
  static const std::vector<std::string> cities = [] {
    std::vector<std::string> names;
    for (const char* utf8 : {"ｻﾂﾎﾟﾛｼ", "ｾﾝﾀﾞｲｼ", "ﾁﾊﾞｼ", "ﾖｺﾊﾏｼ", "ｶﾜｻｷｼ", "ﾅｺﾞﾔｼ", "ｷﾖｳﾄｼ", "ｵｵｻｶｼ", "ｺｳﾍﾞｼ", "ﾋﾛｼﾏｼ",
                             "ｷﾀｷﾕｳｼﾕｳｼ", "ﾌｸｵｶｼ",
                             // Given wards after the twelve above; the current data holds them.
                             "ｻｲﾀﾏｼ", "ｼｽﾞｵｶｼ", "ｻｶｲｼ", "ﾆｲｶﾞﾀｼ", "ﾊﾏﾏﾂｼ", "ｵｶﾔﾏｼ", "ｻｶﾞﾐﾊﾗｼ", "ｸﾏﾓﾄｼ"})
      names.push_back(platform::text::Cp932(utf8));
    return names;
  }();
  return cities;
}

size_t DesignatedCityPrefix(std::string_view cityKana) {
  for (const std::string& name : DesignatedCities())
    if (cityKana.starts_with(name)) return name.size();
  return 0;
}

}  // namespace search::engine
