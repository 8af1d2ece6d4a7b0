// What the search engine needs from the main dialog: the eight fields of
// the search state that it shows, the captions of the status line and the
// page button, and modal message boxes. The engine names fields, never
// controls: which control shows a field is the dialog's business
// (search/ui/resource.h). The dialog implements this; the engine never
// knows which window system, if any, is behind it. All texts are CP932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace search::engine {

// The fields of SearchState bound to the dialog, in transfer order.
enum class Field {
  kDetailFirstLetter,
  kDetailSecondLetter,
  kPrefectureLetter,
  kWardLetter,
  kCityLetter,
  kRoughTownLetter,
  kNarrowingString,
  kResultText,
};

// The field's name as SearchState spells it, for messages.
std::string_view FieldName(Field field);

class DialogSide {
 public:
  virtual ~DialogSide() = default;

  // Shows a field's text in its control.
  virtual void SetFieldText(Field field, const std::string& text) = 0;

  // The text of a field's control, as the user left it.
  virtual std::string FieldText(Field field) = 0;

  // Tells the user that a field's control holds more than maxBytes bytes
  // (the platform's standard message for a failed length check).
  virtual void ReportTooLong(Field field, std::size_t maxBytes) = 0;

  // The caption of the status line.
  virtual void SetStatusCaption(const std::string& text) = 0;

  // The caption of the next-page button.
  virtual void SetPageCaption(const std::string& text) = 0;

  // A modal message box with one OK button; returns when it is closed.
  virtual void MessageBox(const std::string& caption, const std::string& text) = 0;
};

}  // namespace search::engine
