// The search by a written address through the program: the real tolvane,
// run by a script (DIALOG_SCRIPT) in a fresh directory holding small
// postal files, its clipboard read back from the headless backend.
#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED

#include <cstdlib>  // std::system
#include <string>

#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::text::Cp932;

std::string AreaRow(const std::string& code, const std::string& town) {
  return "01106,\"005  \",\"" + code + "\",\"" + Cp932("ﾎｯｶｲﾄﾞｳ") + "\",\"" + Cp932("ｻｯﾎﾟﾛｼﾐﾅﾐｸ") + "\",\"" +
         Cp932("ﾄｷﾜ") + "\",\"" + Cp932("北海道") + "\",\"" + Cp932("札幌市南区") + "\",\"" + Cp932(town) +
         "\",1,0,0,0,0,0\r\n";
}

// Runs tolvane with the script (UTF-8 lines) and gives what it wrote.
std::string RunTolvane(const TempDir& dir, const std::string& script) {
  dir.Write("script.txt", script);
  std::string command = std::string("DIALOG_SCRIPT=script.txt '") + TOLVANE_PATH + "' >out.txt 2>&1";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir.Read("out.txt");
  return dir.Read("out.txt");
}

TEST(AddressSearchDialog, EnterListsTheCandidatesTheChosenCodeIsCopied) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", AreaRow("0050865", "常盤（１～１３１番地）") + AreaRow("0050863", "常盤（その他）"));
  std::string out = RunTolvane(dir,
                               "menu 32775\n"
                               "click 1307\n"                   // copy before any search
                               "type 1301 札幌市南区常盤\\r\n"  // Enter searches
                               "print 1303\n"
                               "click 1306\n"  // the next candidate
                               "click 1306\n"  // stays on the last
                               "print 1304\n"
                               "click 1307\n"
                               "clipboard\n"
                               "type 1301  150番地\\r\n"  // typed after the town
                               "click 1307\n"
                               "clipboard\n"
                               "click 2\n"
                               "click 1\n");
  EXPECT_NE(out.find("コピーする郵便番号がありません。"), std::string::npos) << out;
  EXPECT_NE(out.find("1303: → 005-0863  北海道札幌市南区常盤（その他）  町域まで（番地で分かれます）\n"
                     "   005-0865  北海道札幌市南区常盤（１～１３１番地）  町域まで（番地で分かれます）\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("1304: 005-0865  北海道札幌市南区常盤（１～１３１番地）  町域まで（番地で分かれます）\n"
                     "clipboard: 0050865\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("clipboard: 0050863\n"), std::string::npos) << "150番地 is the rest of the town: " << out;
}

TEST(AddressSearchDialog, MissingDataIsSaidAndTheDialogStaysUsable) {
  TempDir dir;
  std::string out = RunTolvane(dir,
                               "menu 32775\n"
                               "answer 1\n"
                               "type 1301 札幌市南区常盤\\r\n"
                               "print 1303\n"
                               "click 2\n"
                               "click 1\n");
  EXPECT_NE(out.find("住所データ KEN_ALL.CSV を読めません。 cannot open KEN_ALL.CSV"), std::string::npos) << out;
  EXPECT_NE(out.find("1303: 該当する郵便番号が見つかりません。"), std::string::npos) << out;
}

}  // namespace
