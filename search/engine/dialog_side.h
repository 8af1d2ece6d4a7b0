// What the search engine needs from the main dialog: the eight controls that
// show the search state, the captions of the status and next-page buttons,
// and modal message boxes. The dialog implements it; the engine never knows
// which window system, if any, is behind it. All texts are CP932 bytes.
#pragma once

#include <string>

namespace search::engine {

// Control IDs of the main dialog that the engine writes.
enum ControlId : int {
  kDetailFirstLetterEdit = 1053,
  kDetailSecondLetterEdit = 1054,
  kPrefectureLetterEdit = 1057,
  kCityLetterEdit = 1058,
  kWardLetterEdit = 1059,
  kRoughTownLetterEdit = 1060,
  kResultEdit = 1221,
  kNarrowingEdit = 1223,
  kStatusButton = 1215,
  kNextPageButton = 1230,
};

class DialogSide {
 public:
  virtual ~DialogSide() = default;

  // Writes the text of one of the eight bound edit controls.
  virtual void SetControlText(int controlId, const std::string& text) = 0;

  // Reads the text of one of the eight bound edit controls back.
  virtual std::string ControlText(int controlId) = 0;

  // Tells the user that a control holds more than maxCharacters characters
  // (the platform's standard message for a failed length check).
  virtual void ReportTooLong(int controlId, size_t maxCharacters) = 0;

  // The caption of the status button 1215.
  virtual void SetStatusCaption(const std::string& text) = 0;

  // The caption of the next-page button 1230.
  virtual void SetPageCaption(const std::string& text) = 0;

  // A modal message box with one OK button; returns when it is closed.
  virtual void MessageBox(const std::string& caption, const std::string& text) = 0;
};

}  // namespace search::engine
