#include "search/address/table_keys.h"

#include <algorithm>  // std::min

#include "search/address/address_key.h"

namespace address {

std::string InCity(uint32_t city, std::string_view key) {
  std::string composite(reinterpret_cast<const char*>(&city), sizeof city);
  composite.append(key);
  return composite;
}

std::string ReadingKey(std::string_view cp932) {
  std::string key = KeyOfCp932(cp932);
  key.resize(std::min(key.find('('), key.size()));
  return key;
}

std::string NameKey(std::string_view key) {
  static constexpr std::string_view kForms[] = {"株式会社",
                                                "有限会社",
                                                "合同会社",
                                                "合資会社",
                                                "合名会社",
                                                "(株)",
                                                "(有)",
                                                "(同)",
                                                "(財)",
                                                "(社)",
                                                "(医)",
                                                "(学)",
                                                "(福)",
                                                "地方独立行政法人",
                                                "独立行政法人",
                                                "国立大学法人",
                                                "一般財団法人",
                                                "公益財団法人",
                                                "一般社団法人",
                                                "公益社団法人",
                                                "社会福祉法人",
                                                "医療法人社団",
                                                "医療法人財団",
                                                "医療法人",
                                                "学校法人",
                                                "宗教法人",
                                                "特定非営利活動法人"};
  std::string name(key);
  // Every form holds one of these; most names hold none.
  if (name.find("会社") == std::string::npos && name.find("法人") == std::string::npos &&
      name.find("(") == std::string::npos)
    return name;
  for (std::string_view form : kForms) {
    for (size_t at = name.find(form); at != std::string::npos; at = name.find(form, at)) name.erase(at, form.size());
  }
  return name;
}

}  // namespace address
