// Reads the master file "ALL_ZIP.TXT": one byte per call, served from a
// buffer, and whole records picked apart by counting commas. Opens the file
// read-only. Does not decide where a record goes: see kana_town_index.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/files/byte_reader.h"
#include "platform/files/file.h"

namespace prep {

// The master file's name in the tool's current directory.
inline constexpr std::string_view kMasterFileName = "ALL_ZIP.TXT";

// The fields of a master record that the index uses, commas left out.
struct MasterRecord {
  std::string postalCode;  // field 3
  std::string prefecture;  // field 4, half-width katakana
  std::string city;        // field 5, half-width katakana
  std::string town;        // field 6, half-width katakana
  std::string kanjiTown;   // field 9
};

enum class ReadResult {
  kRecord,       // a record with at least nine commas
  kShortRecord,  // a line with fewer than nine commas, passed over whole
  kEnd,          // nothing left
  kReadError,    // a read call failed
};

// Picks a record apart from one line of the master file, its line feed
// left off, as ReadRecord does from the file: kRecord or kShortRecord.
ReadResult ParseMasterRecord(std::string_view line, MasterRecord& record);

class MasterFile {
 public:
  MasterFile() = default;
  ~MasterFile();
  MasterFile(const MasterFile&) = delete;
  MasterFile& operator=(const MasterFile&) = delete;

  // Opens the file read-only: 0, or -1 with errno set. An open file is
  // closed first.
  int Open(std::string_view path);
  void Close();
  bool IsOpen() const { return m_masterFile.IsOpen(); }

  // The next byte as a one-byte string, also kept as the last character; the
  // empty string at the end of the file or when a read call failed. A zero
  // byte is passed over, so that it can never pass for the end.
  std::string ReadMasterByte();

  // Reads the next record into `record`. A record ends at its line feed or
  // at the end of the file; one without its ninth comma is never a record,
  // and never runs on into the next line.
  ReadResult ReadRecord(MasterRecord& record);

  bool ReadFailed() const { return readFailed_; }
  const std::string& lastChar() const { return m_lastChar; }

 private:
  platform::files::File m_masterFile;
  std::string m_lastChar;
  std::optional<platform::files::ByteReader> reader_;
  bool readFailed_ = false;
};

}  // namespace prep
