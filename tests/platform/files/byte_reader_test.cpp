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
  int fd = files::Open("f", files::kRead);
  ByteReader reader(fd, 7);  // a small buffer, many refills
  std::string seen;
  for (int b; (b = reader.Next()) >= 0;) seen += static_cast<char>(b);
  EXPECT_EQ(seen, bytes);
  EXPECT_EQ(reader.Next(), ByteReader::kEnd);
  EXPECT_TRUE(reader.AtEnd());
  files::Close(fd);
}

TEST(ByteReader, AtEndIsFalseWhileBytesRemain) {
  TempDir dir;
  dir.Write("f", "ab");
  int fd = files::Open("f", files::kRead);
  ByteReader reader(fd, 1);
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), 'a');
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), 'b');
  EXPECT_TRUE(reader.AtEnd());
  files::Close(fd);
}

TEST(ByteReader, ResetAfterSeekReadsFromTheNewPosition) {
  TempDir dir;
  dir.Write("f", "xyz");
  int fd = files::Open("f", files::kRead);
  ByteReader reader(fd);
  while (reader.Next() >= 0) {
  }
  files::Seek(fd, 0, SEEK_SET);
  reader.Reset();
  EXPECT_EQ(reader.Next(), 'x');
  files::Close(fd);
}

TEST(ByteReader, ReportsAReadErrorAfterTheBytesItHad) {
  TempDir dir;
  dir.Write("f", "ab");
  int fd = files::Open("f", files::kRead);
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
  ByteReader reader(fd);
  EXPECT_EQ(reader.Next(), 'a');
  EXPECT_EQ(reader.Next(), ByteReader::kError);
  EXPECT_EQ(reader.Next(), ByteReader::kError);
  files::Close(fd);
}
