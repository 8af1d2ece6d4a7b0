// Shows the tool's message boxes on a terminal: each box is one line on
// stderr, "ERROR: " and its text in UTF-8, and after them the reason,
// "yubin build: cannot write Zip_Code/N_ｻ/ｷﾀ.Idx: File too large". Nobody
// answers, so the answer is always "yes".
#pragma once

#include "prep/prep_messages.h"

namespace yubin {

class StderrMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view text, std::string_view caption, prep::MessageButtons buttons) override;
  void ShowReason(std::string_view reason) override;
};

}  // namespace yubin
