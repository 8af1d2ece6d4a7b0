// Texts that several parts of the engine show, in CP932.
#pragma once

#include <string>

namespace search::engine {

// The caption of every error box: "エラー".
const std::string& ErrorCaption();

// The status line after a search: "＊ 検索終了 ＊".
const std::string& SearchFinishedStatus();

}  // namespace search::engine
