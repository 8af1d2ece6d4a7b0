// The wait cursor over the program's windows while a reaction holds the
// dialog with a long operation (an index build of a second or more):
//
//   platform::dialog::BusyCursor busy;  // until the end of the scope
//   builder.BuildKanaTownIndex(driveText, cityInitial);
//
// It changes nothing else: the dialog looks as before and takes no input
// until the reaction returns, as always. Objects nest; a message box or
// dialog opened meanwhile shows the ordinary pointer, since it waits for
// the user. A backend without a pointer ignores it.
#pragma once

namespace platform::dialog {

class Backend;

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Backend& backend_;  // the one that showed it takes it away
};

}  // namespace platform::dialog
