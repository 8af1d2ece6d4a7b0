// How the index builder tells the user of a failure: one modal box per
// message. The tool's dialog shows real boxes; the command-line front end
// prints the texts. The builder never looks at the answer.
#pragma once

#include <string_view>

#include "platform/text/cp932.h"

namespace prep {

enum class MessageButtons { kOk, kYesNo };

class PrepMessages {
 public:
  virtual ~PrepMessages() = default;

  // Shows `text` under `caption` (both CP932) and returns the button chosen.
  virtual int ShowMessage(std::string_view text, std::string_view caption,
                          MessageButtons buttons) = 0;
};

// Every error box of the tool: caption "ERROR", Yes and No, answer unused.
inline void ShowErrorBox(PrepMessages& messages, std::string_view text) {
  static const std::string kCaption = platform::text::Cp932("ERROR");
  messages.ShowMessage(text, kCaption, MessageButtons::kYesNo);
}

}  // namespace prep
