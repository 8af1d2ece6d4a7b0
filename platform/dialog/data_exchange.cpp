#include "platform/dialog/data_exchange.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/dialog.h"
#include "platform/text/cp932.h"

namespace platform::dialog {

std::string TooLongMessage(std::size_t maxBytes) {
  return std::to_string(maxBytes) + text::Cp932(" 文字以内で入力してください。");
}

DataExchange& DataExchange::Text(int id, std::string& value, std::size_t maxBytes) {
  if (failed_) return *this;
  if (!save_) {
    dialog_.SetText(id, value);
    if (maxBytes != kNoLimit) dialog_.SetTextLimit(id, static_cast<int>(maxBytes));
    return *this;
  }
  std::string shown = dialog_.Text(id);
  if (maxBytes != kNoLimit && shown.size() > maxBytes) {
    // The member keeps its last good value; the user sees why and where.
    dialog_.MessageBox(TooLongMessage(maxBytes), {}, Buttons::kOk);
    dialog_.SetFocusTo(id);
    failed_ = true;
    return *this;
  }
  value = std::move(shown);
  return *this;
}

DataExchange& DataExchange::Check(int id, int& value) {
  if (failed_) return *this;
  if (save_)
    value = dialog_.Check(id);
  else
    dialog_.SetCheck(id, value);
  return *this;
}

DataExchange& DataExchange::Radio(int firstId, int& index) {
  if (failed_) return *this;
  std::vector<int> group = RadioGroupOf(dialog_.Template(), firstId);
  if (save_) {
    index = -1;
    for (size_t i = 0; i < group.size(); ++i)
      if (dialog_.Check(group[i]) != 0) {
        index = static_cast<int>(i);
        break;
      }
  } else {
    for (size_t i = 0; i < group.size(); ++i) dialog_.SetCheck(group[i], static_cast<int>(i) == index ? 1 : 0);
  }
  return *this;
}

}  // namespace platform::dialog
