// The resources of yubin start's progress window: its dialog template and
// control IDs. Its icon is the search application's (icon 128), since the
// window prepares that application's data; RegisterProgressIcon
// (progress_dialog.h) registers it.
#pragma once

#include "platform/dialog/template.h"

namespace yubin::start {

inline constexpr int kProgressDialog = 100;
inline constexpr int kStepText = 1000;    // the step running now
inline constexpr int kStepBar = 1001;     // the steps done, as a bar of squares
inline constexpr int kStatusText = 1002;  // bytes received, records, notes
inline constexpr int kWindowIcon = 128;

extern const platform::dialog::DialogTemplate kProgressTemplate;

}  // namespace yubin::start
