#include "platform/files/byte_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/file.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;
using files::ByteReader;

TEST(ByteReader, ServesEveryByteAcrossBufferRefills) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i % 256);
  dir.Write("f", bytes);
  files::File file = files::Open("f", files::kRead);
  ByteReader reader(file, 7);  // a small buffer, many refills
  std::string seen;
  for (int b; (b = reader.Next()) >= 0;) seen += static_cast<char>(b);
  EXPECT_EQ(seen, bytes);
  EXPECT_EQ(reader.Next(), ByteReader::kEnd);
}

TEST(ByteReader, ResetAfterSeekReadsFromTheNewPosition) {
  TempDir dir;
  dir.Write("f", "xyz");
  files::File file = files::Open("f", files::kRead);
  ByteReader reader(file);
  while (reader.Next() >= 0) {
  }
  file.Seek(0, SEEK_SET);
  reader.Reset();
  EXPECT_EQ(reader.Next(), 'x');
}

TEST(ByteReader, ReportsAReadErrorAfterTheBytesItHad) {
  TempDir dir;
  dir.Write("f", "ab");
  files::File file = files::Open("f", files::kRead);
  platform::ScopedOverride restore(platform::files::Sys());
  auto real = files::Sys().read;
  int calls = 0;
  files::Sys().read = [&](int f, void* buf, size_t n) -> ssize_t {
    if (++calls > 1) {
      errno = EIO;
      return -1;
    }
    return real(f, buf, n > 1 ? 1 : n);
  };
  ByteReader reader(file);
  EXPECT_EQ(reader.Next(), 'a');
  EXPECT_EQ(reader.Next(), ByteReader::kError);
  EXPECT_EQ(reader.Next(), ByteReader::kError);
}
