#include "platform/files/text_reader.h"

namespace platform::files {

int TextReader::Next() {
  int b;
  if (held_) {
    held_ = false;
    b = heldByte_;
  } else {
    b = bytes_.Next();
  }
  if (b != '\r') return b;
  int after = bytes_.Next();
  if (after == '\n') return '\n';
  // A CR without its LF stays; what followed it is the next character.
  held_ = true;
  heldByte_ = after;
  return '\r';
}

}  // namespace platform::files
