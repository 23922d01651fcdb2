// Truncated and bit-flipped copies of every sample file must load or fail with an
// exception, never crash; runs under the sanitizers in CI.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "core/hdr_image.h"
#include "core/image_load.h"
#include "tests/support/sample_files.h"
#include "tests/support/temp_dir.h"

namespace {

// Returns false when the load threw; a load that succeeds must keep the invariants.
bool try_load(const std::string& path) {
  try {
    Hdr_image img;
    load_image_detect_type(img, path);
    EXPECT_EQ(img.spectrum(), 3) << path;
    for (uint64_t i = 0; i < img.size(); ++i)
      if (img.data()[i] < 0.f) {
        ADD_FAILURE() << "negative value in " << path;
        break;
      }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// A new file each time: rewriting one in place makes ext4 flush it on close (slow).
void write_fresh(const std::string& path, const std::string& bytes) {
  std::remove(path.c_str());
  write_file_bytes(path, bytes);
}

class CorruptInput : public ::testing::Test {
 protected:
  void SetUp() override {
    // libtiff reports every fault of these files on standard error; hundreds of lines.
    m_error = TIFFSetErrorHandler(nullptr);
    m_warning = TIFFSetWarningHandler(nullptr);
  }
  void TearDown() override {
    TIFFSetErrorHandler(m_error);
    TIFFSetWarningHandler(m_warning);
  }
  Temp_dir dir;

 private:
  TIFFErrorHandler m_error = nullptr, m_warning = nullptr;
};

TEST_F(CorruptInput, SamplesLoadIntact) {
  for (const std::string& path : write_sample_files(dir.path()))
    EXPECT_TRUE(try_load(path)) << path;
}

TEST_F(CorruptInput, TruncatedCopiesNeverCrash) {
  for (const std::string& path : write_sample_files(dir.path())) {
    const std::string bytes = read_file_bytes(path);
    const std::string copy = dir.file("cut_" + path.substr(dir.path().size()));
    // Every length near the start (headers), then 40 lengths spread over the rest.
    const size_t step = std::max<size_t>(1, bytes.size() / 40);
    for (size_t n = 0; n < bytes.size(); n += n < 64 ? 1 : step) {
      write_fresh(copy, bytes.substr(0, n));
      try_load(copy);
    }
  }
}

TEST_F(CorruptInput, BitFlippedCopiesNeverCrash) {
  std::mt19937 random(20261210);
  for (const std::string& path : write_sample_files(dir.path())) {
    const std::string bytes = read_file_bytes(path);
    const std::string copy = dir.file("flip_" + path.substr(dir.path().size()));
    std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
    for (int trial = 0; trial < 150; ++trial) {
      std::string changed = bytes;
      // Headers matter most: half the flips land in the first 256 bytes.
      for (int k = 0; k < 1 + trial % 3; ++k) {
        const size_t i = trial % 2 ? at(random) : at(random) % std::min<size_t>(256, bytes.size());
        changed[i] = char(changed[i] ^ (1 << (random() % 8)));
      }
      write_fresh(copy, changed);
      try_load(copy);
    }
  }
}

}  // namespace
