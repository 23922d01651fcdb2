// Cache names: three CRC-32 samples checked against zlib's crc32, short files that never
// share a name, 64-bit sizes, and the diagnostics of a failed stream.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "browser/thumbnail_cache.h"
#include "tests/support/temp_dir.h"

namespace {

std::string content(size_t size, uint32_t seed) {
  std::string s(size, '\0');
  for (char& c : s) {
    seed = seed * 1664525u + 1013904223u;
    c = char(seed >> 24);
  }
  return s;
}

uint32_t zlib_crc(const std::string& s, size_t offset, size_t size) {
  return uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(s.data() + offset), uInt(size)));
}

class Cache_name : public ::testing::TestWithParam<size_t> {
 protected:
  Temp_dir m_dir;
  const std::string m_cache = "/cache/";
};

TEST_P(Cache_name, IsFolderAndFirstMiddleLastChecksums) {
  const size_t size = GetParam();
  const std::string bytes = content(size, uint32_t(size));
  ASSERT_TRUE(write_file_bytes(m_dir.file("a.exr"), bytes));
  const std::string expected = m_cache + std::to_string(zlib_crc(bytes, 0, 512)) +
                               std::to_string(zlib_crc(bytes, size / 2 - 512, 512)) +
                               std::to_string(zlib_crc(bytes, size - 512, 512)) + ".jpg";
  EXPECT_EQ(thumbnail_cache_path(m_dir.file("a.exr"), m_cache), expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Cache_name, ::testing::Values(1024, 1025, 1536, 4097, 100000));

TEST(CacheName, FileOf1024BytesHasEqualFirstAndMiddleSamples) {
  Temp_dir dir;
  const std::string bytes = content(1024, 3);
  ASSERT_TRUE(write_file_bytes(dir.file("x.png"), bytes));
  const std::string first = std::to_string(zlib_crc(bytes, 0, 512));
  EXPECT_EQ(thumbnail_cache_path(dir.file("x.png"), "/c/"),
            "/c/" + first + first + std::to_string(zlib_crc(bytes, 512, 512)) + ".jpg");
}

TEST(CacheName, CopiesShareANameAndSampledChangesMoveIt) {
  Temp_dir dir;
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  std::string bytes = content(10000, 9);
  ASSERT_TRUE(write_file_bytes(dir.file("a.hdr"), bytes));
  ASSERT_TRUE(write_file_bytes(dir.file("sub/b.hdr"), bytes));
  const std::string name = thumbnail_cache_path(dir.file("a.hdr"), "/c/");
  EXPECT_EQ(thumbnail_cache_path(dir.file("sub/b.hdr"), "/c/"), name);
  bytes[3000] ^= 1;  // outside the three samples
  ASSERT_TRUE(write_file_bytes(dir.file("a.hdr"), bytes));
  EXPECT_EQ(thumbnail_cache_path(dir.file("a.hdr"), "/c/"), name);
  bytes[5000 - 100] ^= 1;  // inside the middle sample
  ASSERT_TRUE(write_file_bytes(dir.file("a.hdr"), bytes));
  EXPECT_NE(thumbnail_cache_path(dir.file("a.hdr"), "/c/"), name);
}

TEST(CacheName, ShortFilesNeverShareANameWithEachOther) {
  Temp_dir dir;
  std::set<std::string> names;
  const size_t sizes[] = {0, 1, 10, 511, 512, 513, 700, 1023};
  for (size_t size : sizes)
    for (uint32_t seed : {1u, 77u}) {
      const std::string path = dir.file("f" + std::to_string(size) + "_" + std::to_string(seed));
      ASSERT_TRUE(write_file_bytes(path, content(size, seed)));
      const std::string name = thumbnail_cache_path(path, "/c/");
      EXPECT_EQ(name.rfind("/c/", 0), 0u);
      EXPECT_EQ(name.substr(name.size() - 4), ".jpg");
      names.insert(name);
    }
  // Files of size 0 have one content only.
  EXPECT_EQ(names.size(), 2 * std::size(sizes) - 1);
  const std::string tiny = content(10, 5);
  ASSERT_TRUE(write_file_bytes(dir.file("t"), tiny));
  EXPECT_EQ(thumbnail_cache_path(dir.file("t"), "/c/"),
            "/c/s10_" + std::to_string(zlib_crc(tiny, 0, 10)) + ".jpg");
}

// A file stored turned gets a name of its own ("_o" and its EXIF orientation before
// ".jpg"), so that a tile cached sideways under the plain name is never read for it; a file
// stored upright (or with a value that is no orientation) keeps the plain name.
TEST(CacheName, TurnedFilesGetTheirOrientationInTheName) {
  Temp_dir dir;
  for (const size_t size : {size_t(10), size_t(4000)}) {
    SCOPED_TRACE(size);
    const std::string path = dir.file("p" + std::to_string(size) + ".jpg");
    ASSERT_TRUE(write_file_bytes(path, content(size, 9)));
    const std::string plain = thumbnail_cache_path(path, "/c/");
    ASSERT_EQ(plain.substr(plain.size() - 4), ".jpg");
    const std::string stem = plain.substr(0, plain.size() - 4);
    for (const uint32_t code : {0u, 1u, 9u})
      EXPECT_EQ(thumbnail_cache_path(path, "/c/", code), plain);
    for (uint32_t code = 2; code <= 8; ++code)
      EXPECT_EQ(thumbnail_cache_path(path, "/c/", code),
                stem + "_o" + std::to_string(code) + ".jpg");
  }
}

TEST(CacheName, UnopenableFileOrNoFolderGivesNoName) {
  Temp_dir dir;
  EXPECT_EQ(thumbnail_cache_path(dir.file("missing.exr"), "/c/"), "");
  ASSERT_TRUE(write_file_bytes(dir.file("a.exr"), content(2000, 1)));
  EXPECT_EQ(thumbnail_cache_path(dir.file("a.exr"), ""), "");
}

// The folder scan names every picture's cache file; a named pipe must not stop it.
TEST(CacheName, NamedPipeGivesNoNameWithoutWaiting) {
  Temp_dir dir;
  ASSERT_EQ(mkfifo(dir.file("pipe.exr").c_str(), 0644), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        std::exit(thumbnail_cache_path(dir.file("pipe.exr"), "/c/").empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(Crc32OfChunk, FailedStreamsAndNegativeOffsetsGiveZero) {
  std::istringstream in(content(600, 4));
  testing::internal::CaptureStderr();
  EXPECT_EQ(crc32_of_chunk(in, -10, 512), 0u);
  EXPECT_TRUE(in.fail());
  EXPECT_EQ(crc32_of_chunk(in, 0, 512), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "NULL input stream\n");
  std::istringstream fresh(content(600, 4));
  EXPECT_EQ(crc32_of_chunk(fresh, 0, 512), zlib_crc(content(600, 4), 0, 512));
}

}  // namespace
