// Resource IDs of the search application: its dialogs, the main dialog's
// controls, the menu, the string table and the icon. The search engine
// never sees these; it speaks of fields (search/engine/dialog_side.h) and
// the main dialog maps each field to its control.
#pragma once

namespace search::ui {

// Dialogs, menu, icon.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kSettingsDialog = 130;
inline constexpr int kRegexSearchDialog = 131;
inline constexpr int kAddressSearchDialog = 132;
inline constexpr int kMainMenu = 129;
inline constexpr int kAppIcon = 128;

// Strings.
inline constexpr int kComponentsFailedString = 100;
inline constexpr int kAboutMenuString = 101;
inline constexpr int kSocketsFailedString = 103;

// Menu commands and the system-menu command of the about box.
inline constexpr int kHelpCommand = 32772;
inline constexpr int kSettingsCommand = 32773;
inline constexpr int kRegexSearchCommand = 32774;
inline constexpr int kAddressSearchCommand = 32775;
inline constexpr int kAboutSysCommand = 16;

// The main dialog's controls. Button 1 ("終了") is platform::dialog::kIdOk.
inline constexpr int kSearchButton = 1045;
inline constexpr int kFinalNarrowingButton = 1046;
inline constexpr int kNextPageButton = 1230;
inline constexpr int kStatusButton = 1215;
inline constexpr int kClearSelectionButton = 1128;
inline constexpr int kSkipButton = 1224;
inline constexpr int kBackButton = 1225;
inline constexpr int kDeleteLastCharacterButton = 1226;

inline constexpr int kLeftModeRadio = 1219;
inline constexpr int kRightModeRadio = 1220;
inline constexpr int kPrefectureSelector = 1138;
inline constexpr int kCitySelector = 1139;
inline constexpr int kWardSelector = 1140;
inline constexpr int kRoughTownSelector = 1141;
inline constexpr int kDetailFirstSelector = 1132;
inline constexpr int kDetailSecondSelector = 1135;
inline constexpr int kNarrowingSelector = 1136;

inline constexpr int kPrefectureLetterEdit = 1057;
inline constexpr int kCityLetterEdit = 1058;
inline constexpr int kWardLetterEdit = 1059;
inline constexpr int kRoughTownLetterEdit = 1060;
inline constexpr int kDetailFirstLetterEdit = 1053;
inline constexpr int kDetailSecondLetterEdit = 1054;
inline constexpr int kNarrowingEdit = 1223;
inline constexpr int kResultEdit = 1221;

// The settings dialog's controls. The path and its NUL fill the 500-byte
// record of the settings file, so the path takes at most 499 bytes.
inline constexpr int kSettingsPathEdit = 1053;
inline constexpr int kSettingsOptionEdit = 1054;
inline constexpr int kSettingsOption1Check = 1117;
inline constexpr int kSettingsOption2Check = 1118;
inline constexpr int kSettingsPathMaxBytes = 499;

// The regular-expression search dialog's controls. Button 2 ("戻る") is
// platform::dialog::kIdCancel.
inline constexpr int kRegexSearchEdit = 1054;
inline constexpr int kRegexResultEdit = 1053;
inline constexpr int kRegexAllRadio = 1131;
inline constexpr int kRegexOfficesRadio = 1132;
inline constexpr int kRegexGeneralRadio = 1133;
inline constexpr int kRegexClearButton = 1045;

// The address search's controls.
inline constexpr int kAddressEdit = 1301;
inline constexpr int kAddressSearchButton = 1302;
inline constexpr int kAddressResultEdit = 1303;
inline constexpr int kAddressChosenEdit = 1304;
inline constexpr int kAddressPreviousButton = 1305;
inline constexpr int kAddressNextButton = 1306;
inline constexpr int kAddressCopyButton = 1307;

// The marquee's timer on the main dialog.
inline constexpr int kMarqueeTimer = 1;
inline constexpr int kMarqueeIntervalMs = 75;

// The keypad's keys are 1145 to 1203 (kana, 1145 + 5 x column + row) and
// 1205 to 1214, 1216, 1217 (digits and signs); 1204 and 1215 lie among them
// and are no keys. The keys are bound from a key table (BindKeys), never as
// a range: search/ui/keypad_keys.h is that table.

}  // namespace search::ui
