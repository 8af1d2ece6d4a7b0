// The IDs of the tool's resources and controls, and its version resource.
#pragma once

namespace prep::tool {

// Dialogs.
inline constexpr int kAboutDialogId = 100;     // PrepAboutDlg
inline constexpr int kPrepToolDialogId = 102;  // PrepToolDlg

// Strings.
inline constexpr int kComponentFailureString = 100;  // the component layer did not start
inline constexpr int kAboutMenuString = 101;         // the about item of the system menu

// Icons.
inline constexpr int kToolIcon = 128;

// The system menu's about item.
inline constexpr int kAboutCommand = 0x0010;

// Controls of PrepToolDlg. 1000 to 1005 are the operations that the tool
// shows but never enables.
inline constexpr int kSplitByPrefectureButton = 1000;
inline constexpr int kTownIndexButton = 1001;
inline constexpr int kPrefectureCityIndexButton = 1002;
inline constexpr int kKanaTownIndexButton = 1003;
inline constexpr int kTwoLetterTownButton = 1004;
inline constexpr int kCityAndTownLettersButton = 1005;
inline constexpr int kBuildIndexButton = 1006;  // builds the kana town index
inline constexpr int kDriveEdit = 1007;

// The version resource: file and product version 1.0.0.1, language
// Japanese. The program's metadata; the about box has its own line.
struct VersionResource {
  int version[4];
  int language;  // a language ID: 0x0411 is Japanese
};
inline constexpr VersionResource kVersion = {{1, 0, 0, 1}, 0x0411};

}  // namespace prep::tool
