#include "search/engine/engine_texts.h"

#include "platform/text/cp932.h"

namespace search::engine {

const std::string& ErrorCaption() {
  static const std::string text = platform::text::Cp932("エラー");
  return text;
}

const std::string& SearchFinishedStatus() {
  static const std::string text = platform::text::Cp932("＊ 検索終了 ＊");
  return text;
}

}  // namespace search::engine
