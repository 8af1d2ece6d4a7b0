// yubin import: the postal authority's KEN_ALL file into "ALL_ZIP.TXT".
#include <cerrno>
#include <cstdio>  // std::fprintf, std::printf

#include "platform/files/file.h"
#include "platform/text/cp932.h"
#include "prep/import/csv_archive.h"
#include "prep/import/ken_all_import.h"
#include "prep/master_file.h"
#include "tools/yubin/commands.h"

namespace yubin {

namespace {

namespace files = platform::files;

// Imports the CSV inside a zip archive: it is taken out into a temporary
// file beside the output, imported from there and removed. Messages name
// the archive, not the temporary file.
int ImportFromArchive(files::File& archive, const std::string& input, const std::string& output,
                      prep::import::ImportReport& report, std::string& error) {
  std::string unpacked = output + ".csv.tmp";
  std::string archiveName = platform::text::ToUtf8(input);
  if (prep::import::ExtractCsv(archive, archiveName, unpacked, error) != 0) return -1;
  archive.Close();
  int result = prep::import::ImportKenAll(unpacked, output, report, error);
  files::Remove(unpacked);
  std::string shown = platform::text::ToUtf8(unpacked);
  if (result != 0 && error.starts_with(shown + " ")) error.replace(0, shown.size(), archiveName);
  return result;
}

}  // namespace

int RunImport(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    std::fprintf(stderr, "yubin import: needs KEN_ALL.CSV and at most one output (see yubin import --help)\n");
    return 2;
  }
  // An option this command does not know is a mistake, not a file name.
  for (const std::string& arg : args) {
    if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "yubin import: unknown option '%s' (see yubin import --help)\n", arg.c_str());
      return 2;
    }
  }
  std::string input, output(prep::kMasterFileName);
  if (!ToCp932Path(args[0], input)) return 1;
  if (args.size() == 2 && !ToCp932Path(args[1], output)) return 1;
  prep::import::ImportReport report;
  std::string error;
  files::File in = files::Open(input, files::kRead | files::kRegularFile);
  if (!in.IsOpen()) {
    std::fprintf(stderr, "yubin import: %s\n", files::ErrorText("open", input, errno).c_str());
    return 1;
  }
  int result;
  if (prep::import::IsZipArchive(in)) {
    result = ImportFromArchive(in, input, output, report, error);
  } else {
    in.Close();
    result = prep::import::ImportKenAll(input, output, report, error);
  }
  if (result != 0) {
    std::fprintf(stderr, "yubin import: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s edition: %ld lines read, %ld records written; %ld split towns joined from %ld rows\n",
              report.edition == prep::import::Edition::kUtf8 ? "UTF-8" : "CP932", report.linesRead,
              report.recordsWritten, report.townsJoined, report.rowsJoined);
  if (report.townsLeftOpen > 0)
    std::fprintf(stderr, "yubin import: %ld towns never closed their parenthesis; kept as they stand\n",
                 report.townsLeftOpen);
  return 0;
}

}  // namespace yubin
