#include "prep/master_file.h"

#include "platform/files/file.h"

namespace prep {

namespace files = platform::files;

MasterFile::~MasterFile() { Close(); }

int MasterFile::Open(std::string_view path) {
  Close();
  // The master file is only read, so a read-only copy of it works too. A
  // named pipe or device in its place is refused without waiting on it.
  m_masterFile = files::Open(path, files::kRead | files::kRegularFile);
  if (!m_masterFile.IsOpen()) return -1;
  reader_.emplace(m_masterFile);
  readFailed_ = false;
  m_lastChar.clear();
  return 0;
}

void MasterFile::Close() {
  reader_.reset();
  m_masterFile.Close();
}

std::string MasterFile::ReadMasterByte() {
  m_lastChar.clear();
  if (!reader_) return m_lastChar;
  int b;
  do {
    b = reader_->Next();
  } while (b == 0);
  if (b == files::ByteReader::kError) readFailed_ = true;
  if (b > 0) m_lastChar.assign(1, static_cast<char>(b));
  return m_lastChar;
}

namespace {

// Field N lies between comma N-1 and comma N; fields 1, 2, 7, 8 and those
// after the ninth comma are passed over.
struct RecordFields {
  explicit RecordFields(MasterRecord& record)
      : fields{nullptr, nullptr, &record.postalCode, &record.prefecture, &record.city, &record.town,
               nullptr, nullptr, &record.kanjiTown} {
    for (std::string* field : fields)
      if (field) field->clear();
  }
  void Take(char c) {
    if (c == ',') {
      ++commas;
    } else if (commas < 9 && fields[commas]) {
      *fields[commas] += c;
    }
  }
  std::string* fields[9];
  int commas = 0;
};

}  // namespace

ReadResult ParseMasterRecord(std::string_view line, MasterRecord& record) {
  RecordFields fields(record);
  for (char c : line)
    if (c != 0) fields.Take(c);
  return fields.commas >= 9 ? ReadResult::kRecord : ReadResult::kShortRecord;
}

ReadResult MasterFile::ReadRecord(MasterRecord& record) {
  RecordFields fields(record);
  bool readAny = false;
  for (;;) {
    std::string byte = ReadMasterByte();
    if (byte.empty()) {
      if (readFailed_) return ReadResult::kReadError;
      if (fields.commas >= 9) return ReadResult::kRecord;
      return readAny ? ReadResult::kShortRecord : ReadResult::kEnd;
    }
    readAny = true;
    char c = byte[0];
    if (c == '\n') return fields.commas >= 9 ? ReadResult::kRecord : ReadResult::kShortRecord;
    fields.Take(c);
  }
}

}  // namespace prep
