// How the index builder tells the user of a failure: one modal box per
// message. The tool's dialog shows real boxes; the command-line front end
// prints the texts. The builder never looks at the answer.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/cp932.h"

namespace prep {

enum class MessageButtons { kOk, kYesNo };

class PrepMessages {
 public:
  virtual ~PrepMessages() = default;

  // Shows `text` under `caption` (both CP932) and returns the button chosen.
  virtual int ShowMessage(std::string_view text, std::string_view caption, MessageButtons buttons) = 0;

  // What failed and why, in UTF-8 ("cannot write Zip_Code/N_ｻ/ｷﾀ.Idx: File
  // too large"; also when a torn line could not be cut off), told after the
  // boxes of a fatal error. The boxes keep the tool's own texts, and so
  // does the tool's dialog, which passes the reason over; a front end that
  // can say more, such as the command line, prints it.
  virtual void ShowReason(std::string_view reason) { (void)reason; }
};

// Every error box of the tool: caption "ERROR", Yes and No, answer unused.
inline void ShowErrorBox(PrepMessages& messages, std::string_view text) {
  static const std::string kCaption = platform::text::Cp932("ERROR");
  messages.ShowMessage(text, kCaption, MessageButtons::kYesNo);
}

}  // namespace prep
