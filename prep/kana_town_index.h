// Builds the kana town index: files every master record as one line in the
// small file named after its city initial and the first two bytes of its
// town reading, below "ZIP_CODE". Reads the master file through MasterFile
// and tells failures through PrepMessages; a fatal file error stops the
// build with -1 after its messages, and the program then ends with status
// -1 (the library never ends the process). Does not create "Zip_Code"
// itself: the caller does, as the tool's button does. A record whose key
// bytes name no file of their own (a hand-made master file's) is passed
// over and counted, as a line without nine commas is.
//
// Lines are collected in a bounded store and each index file gets its share
// with one open, write and close when the store fills and at the end. Files
// go out in the order of their first line and a failing one ends the build
// there, so no file is touched whose lines all come from later records. A
// failing master read first writes out the lines read before it.
//
// An index file always ends at a whole line: a share goes out in one write
// call, so a killed build leaves whole shares or none, and a write that
// fails or falls short is cut back to the file's length before it. A torn
// last line would glue onto the first line of the next build.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file.h"
#include "prep/master_file.h"
#include "prep/pending_index_lines.h"
#include "prep/prep_messages.h"

namespace prep {

// "ZIP_CODE\" + key + ".Idx", key being "N_" + city initial + "\" + two
// town letters.
std::string KanaIndexPath(std::string_view key);

// The city initial of a record: the first byte of the city, or the comma
// that ends an empty city field.
std::string CityInitial(const MasterRecord& record);

// The key of a record: "N_" + city initial + "\" + first two bytes of the
// town. A town shorter than two bytes gives what it has, so that a
// one-letter town is found under its own letter.
std::string KanaIndexKey(const MasterRecord& record);

// The index line of a record: town, prefecture, postal code, city and kanji
// town, comma separated, ended by LF.
std::string KanaIndexLine(const MasterRecord& record);

// Whether a record's key names a file in its city's directory: the path
// splits into "ZIP_CODE", "N_" + city initial and the town letters + ".Idx".
// A city initial that is "/" or "\", or a lead byte (which takes the "\"
// after it as its trail byte), and a "/" or "\" standing alone among the
// town letters would file the line elsewhere or name a directory that does
// not exist. The import never writes such a record.
bool KeyNamesItsFile(const MasterRecord& record);

// The builder. The tool's main dialog owns one for its button; yubin build
// and the tests make one per build.
class KanaTownIndexBuilder {
 public:
  explicit KanaTownIndexBuilder(PrepMessages& messages) : messages_(messages) {}

  // Reads driveText + "ALL_ZIP.TXT" and appends one line per record to its
  // index file. cityInitial is the caller's memory of the city initial of
  // the record filed last, kept from one build to the next: the directory
  // of a city initial is created when a record's initial differs from it,
  // so once per run of records with one initial, and it then holds that
  // initial. Empty before the first build. 0 when done; -1 after a fatal
  // file error, once its messages are shown: the caller then ends the
  // program with status -1. Lines written stay written whatever happens
  // later.
  int BuildKanaTownIndex(std::string_view driveText, std::string& cityInitial);

  // The most bytes of index lines held before they are written out.
  static constexpr std::size_t kPendingBytes = 2 << 20;

  // Opens an index file for appending, creating it if missing. After a
  // failure it reports the path and returns a closed File.
  platform::files::File OpenKanaIndexFile(const std::string& path);

  // Writes the whole text (one or more lines) and closes the file: 0, or -1
  // after reporting the failure, the file cut back to its length before.
  // A failed close counts as a failed write. `path` names the file in the
  // reason given.
  int WriteKanaIndexLine(platform::files::File file, std::string_view line, const std::string& path);

  // Counts of the last build: lines written, lines passed over because they
  // held fewer than nine commas, and records passed over because their key
  // names no file of their own (KeyNamesItsFile).
  long recordsWritten() const { return recordsWritten_; }
  long recordsSkipped() const { return recordsSkipped_; }
  long recordsWithoutFile() const { return recordsWithoutFile_; }
  // The numbers (from 1) of the first lines passed over, for either reason,
  // in file order: at most kSkippedLinesNoted of them.
  static constexpr std::size_t kSkippedLinesNoted = 5;
  const std::vector<long>& firstSkippedLines() const { return firstSkippedLines_; }

 private:
  // The master file during a build.
  MasterFile m_masterFile;

  // Shows the boxes of a fatal error, then its reason (UTF-8), closes the
  // master file, and gives the -1 that ends the build.
  int Fail(const std::string& reason, std::string_view firstText, std::string_view secondText = {});

  // Appends every collected line to its file: 0, or -1 after a fatal error
  // (files after the failing one are not touched).
  int WritePendingLines();

  PrepMessages& messages_;
  PendingIndexLines pending_;
  long recordsWritten_ = 0;
  long recordsSkipped_ = 0;
  long recordsWithoutFile_ = 0;
  std::vector<long> firstSkippedLines_;
};

}  // namespace prep
