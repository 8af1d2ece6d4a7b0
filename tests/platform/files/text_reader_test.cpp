#include "platform/files/text_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files/file.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;
using files::TextReader;

namespace {

std::string ReadAll(const std::string& bytes, size_t capacity) {
  TempDir dir;
  dir.Write("f", bytes);
  files::File file = files::Open("f", files::kRead);
  TextReader reader(file, capacity);
  std::string seen;
  for (int c; (c = reader.Next()) >= 0;) seen += static_cast<char>(c);
  EXPECT_EQ(reader.Next(), TextReader::kEnd);
  return seen;
}

}  // namespace

TEST(TextReader, ReadsCrLfAsOneLineFeedAndKeepsEveryOtherByte) {
  const std::string bytes = "a\r\nb\rc\r\r\nd\n\r";
  const std::string expected = "a\nb\rc\r\nd\n\r";
  // Buffers of one and two bytes split the pairs at every refill.
  for (size_t capacity : {1u, 2u, 64u}) EXPECT_EQ(ReadAll(bytes, capacity), expected) << capacity;
}
