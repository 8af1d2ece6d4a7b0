#include "search/ui/model/marquee_messages.h"

#include <algorithm>  // std::find
#include <cstdio>     // std::fprintf
#include <cstdlib>    // std::abort
#include <cstring>    // std::memcpy
#include <string_view>

#include "platform/text/cp932.h"

namespace search::ui {
namespace {

// The credit line names the publisher and the kind of software; eight
// blanks part it from the message.
constexpr std::string_view kCreditLine = "【yubin プロジェクト】郵便番号検索ソフト Tolvane";

// Most messages end in a few blanks, so that one message does not run
// straight into the next; the trailing blanks are part of the text.
constexpr std::string_view kMessages[kMarqueeMessageCount] = {
    "郵便番号検索ソフト Tolvane へようこそ。住所の頭文字をかなのキーで選ぶだけで、郵便番号が見つかります。        ",
    "このソフトは無料です。どなたでも自由にお使いいただけます。          ",
    "ご利用は自己責任でお願いします。検索結果の誤りなどによる損害について、yubin プロジェクトは責任を負いません。     "
    " ",
    "大量の検索や業務でのご利用には、このソフトではなく、郵便事業者が公開している郵便番号データを直接お使いください。  "
    "      ",
    "収録しているのは、郵便事業者が 2026-06-05 に公開した郵便番号データです。          ",
    "データを新しくするには、郵便事業者の新しい KEN_ALL.CSV を yubin import で ALL_ZIP.TXT に取り込み、"
    "古い索引（Zip_Code の中の N_ で始まるフォルダー）を消してから、Kestrum で作り直してください。      ",
    "不具合やご意見は、yubin プロジェクトの課題管理 (issue tracker) にお寄せください。        ",
    "Kestrum は、ALL_ZIP.TXT からこのソフトが読むかな町名索引を作る、データ準備ツールです。        ",
    "メニューの「正規表現で検索」では、郵便番号データの CSV ファイルそのものを、漢字や読みや番号で検索できます。       "
    "   ",
    "コマンドラインでも同じ検索ができます。  例： yubin search --pref ほ --city さ --ward ち --town みな            ",
    "インターネットには接続しません。検索はすべてこのパソコンの中で行われます。        ",
    "郵便番号は７桁、ハイフンなしで表示されます。番号の前の =>>> と後ろの <<= が目印です。        ",
    "使い方\tかなのキーで都道府県・市・区の頭文字を選び、スキップを押して町名の２文字を入れ、「検索開始」を押します。  "
    "        ",
    "町名で見つからない時は、同じ市の「以下に掲載がない場合」の索引（イ・カ）をもう一度自動で探します。        ",
    "結果が多すぎる時は、「結果から、以下の文字列を探し表示する」に読みを入れて絞り込んでください。      ",
    "結果が長い時は「次のページへ」で、４ページまで順に表示できます。            ",
    "データの場所は、メニューの「初期設定画面」で指定します。指定は Tolvane.ini に保存されます。        ",
    "このソフトは yubin プロジェクトが作り、無料で公開しています。          ",
    "キーの押し方と検索の順番は、メニューの「ヘルプ」で説明しています。        ",
    "郡の住所は、郡の頭文字、スキップ、大まかな町名の頭文字の順に入れます。      ",
};

std::array<MarqueeSlot, kMarqueeMessageCount> BuildTable() {
  std::array<MarqueeSlot, kMarqueeMessageCount> table{};
  for (std::size_t i = 0; i < kMarqueeMessageCount; ++i) {
    std::string text = platform::text::Cp932(kMessages[i]);
    if (text.size() >= kMarqueeSlotBytes) {
      std::fprintf(stderr, "marquee message %zu is %zu bytes, more than a slot holds\n", i, text.size());
      std::abort();
    }
    std::memcpy(table[i].data(), text.data(), text.size());
  }
  return table;
}

}  // namespace

const std::array<MarqueeSlot, kMarqueeMessageCount>& MarqueeMessages() {
  static const std::array<MarqueeSlot, kMarqueeMessageCount> table = BuildTable();
  return table;
}

std::string SlotText(const MarqueeSlot& slot) {
  return std::string(slot.begin(), std::find(slot.begin(), slot.end(), '\0'));
}

const std::string& MarqueePrefix() {
  static const std::string prefix = platform::text::Cp932(kCreditLine) + std::string(8, ' ');
  return prefix;
}

}  // namespace search::ui
