// The search application's dialog templates and its menu: layout as data,
// one table per dialog. The classes that give them behaviour are
// main_dialog.h, settings_dialog.h and regex_search_dialog.h; the about box
// has no behaviour of its own beyond its OK button.
#pragma once

#include "platform/dialog/template.h"

namespace search::ui {

// Menu 129: the main dialog's four commands, directly on the bar.
extern const platform::dialog::MenuTemplate kMainMenuTemplate;

// Dialog 102: the main dialog, with the keypad.
extern const platform::dialog::DialogTemplate kMainDialogTemplate;

// Dialog 100: the about box of the system menu.
extern const platform::dialog::DialogTemplate kAboutBoxTemplate;

// Dialog 130: the settings dialog.
extern const platform::dialog::DialogTemplate kSettingsDialogTemplate;

// Dialog 131: the regular-expression search.
extern const platform::dialog::DialogTemplate kRegexSearchDialogTemplate;

// Dialog 132: the search by a written address.
extern const platform::dialog::DialogTemplate kAddressSearchDialogTemplate;

}  // namespace search::ui
