// Builds the kana town index: files every master record as one line in the
// small file named after its city initial and the first two bytes of its
// town reading, below "ZIP_CODE". Reads the master file through MasterFile
// and tells failures through PrepMessages; after a fatal file error it ends
// the process with status -1. Does not create "Zip_Code" itself: the caller
// does, as the tool's button does.
//
// Lines are collected in a bounded store and each index file gets its share
// with one open, write and close when the store fills and at the end. Files
// go out in the order of their first line and a failing one ends the build
// there, so no file is touched whose lines all come from later records. A
// failing master read first writes out the lines read before it.
#pragma once

#include <string>
#include <string_view>

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

// The builder's state. The tool's main dialog owns one and fills
// m_driveText from its drive field before a build.
class KanaTownIndexBuilder {
 public:
  explicit KanaTownIndexBuilder(PrepMessages& messages) : messages_(messages) {}
  virtual ~KanaTownIndexBuilder() = default;

  // Reads m_driveText + "ALL_ZIP.TXT" and appends one line per record to its
  // index file. Lines written stay written whatever happens later.
  void BuildKanaTownIndex();

  // The most bytes of index lines held before they are written out.
  static constexpr std::size_t kPendingBytes = 2 << 20;

  // Opens an index file for appending, creating it if missing; after a
  // failure it reports the path and ends the process.
  int OpenKanaIndexFile(const std::string& path);

  // Writes the whole text (one or more lines) and closes the file; after a
  // failure it reports and ends the process.
  void WriteKanaIndexLine(int fd, std::string_view line);

  // Counts of the last build: lines written, and lines passed over because
  // they held fewer than nine commas.
  long recordsWritten() const { return recordsWritten_; }
  long recordsSkipped() const { return recordsSkipped_; }

  std::string m_driveText;
  std::string m_cityInitial;

  // The city initial of the record before, for the whole process: it lives
  // from one build to the next, so a directory is created once per run of
  // records with one initial.
  static inline std::string s_lastCityInitial;

 protected:
  // Takes the dialog's control values into the members at the start of a
  // build. Nothing to take without a dialog.
  virtual void TakeControlValues() {}

  MasterFile m_masterFile;

 private:
  [[noreturn]] void Fail(std::string_view firstText, std::string_view secondText = {});

  // Appends every collected line to its file.
  void WritePendingLines();

  PrepMessages& messages_;
  PendingIndexLines pending_;
  long recordsWritten_ = 0;
  long recordsSkipped_ = 0;
};

}  // namespace prep
