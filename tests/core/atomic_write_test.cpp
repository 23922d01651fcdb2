#include "core/atomic_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "core/image_errors.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/temp_dir.h"

namespace {

size_t entries_in(const std::string& folder) {
  size_t n = 0;
  for (auto it = std::filesystem::directory_iterator(folder);
       it != std::filesystem::directory_iterator(); ++it)
    ++n;
  return n;
}

TEST(AtomicWrite, ReplacesTheTargetAndLeavesNoTemporary) {
  Temp_dir dir;
  const std::string target = dir.file("a.bin");
  ASSERT_TRUE(write_file_bytes(target, "old"));
  write_file_atomically(target, [&](const std::string& temp) {
    EXPECT_EQ(temp.rfind(dir.path(), 0), 0u) << "temporary must lie beside the target";
    EXPECT_EQ(read_file_bytes(target), "old") << "target untouched while writing";
    ASSERT_TRUE(write_file_bytes(temp, "new"));
  });
  EXPECT_EQ(read_file_bytes(target), "new");
  EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(AtomicWrite, FailingWriterLeavesOldFileAndNoTemporary) {
  Temp_dir dir;
  const std::string target = dir.file("a.bin");
  ASSERT_TRUE(write_file_bytes(target, "old"));
  EXPECT_THROW(write_file_atomically(target,
                                     [](const std::string& temp) {
                                       write_file_bytes(temp, "half");
                                       throw std::runtime_error("disk full");
                                     }),
               std::runtime_error);
  EXPECT_EQ(read_file_bytes(target), "old");
  EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(AtomicWrite, MissingFolderThrowsWriteError) {
  Temp_dir dir;
  const std::string target = dir.file("no/such/a.bin");
  try {
    Atomic_file file(target);
    FAIL() << "no exception";
  } catch (const Write_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open image file for writing: " + target);
  }
}

TEST(AtomicWrite, ReadOnlyFolderKeepsOldFile) {
  Temp_dir dir;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string target = folder + "a.bin";
  ASSERT_TRUE(write_file_bytes(target, "old bytes"));
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_THROW(write_file_atomically(target, [](const std::string&) {}), Write_error);
  }
  EXPECT_EQ(read_file_bytes(target), "old bytes");
  EXPECT_EQ(entries_in(folder), 1u);
}

TEST(AtomicWrite, KeepsPermissionsOfTheReplacedFile) {
  Temp_dir dir;
  const std::string target = dir.file("a.bin");
  ASSERT_TRUE(write_file_bytes(target, "old"));
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  write_file_atomically(target, [](const std::string& temp) { write_file_bytes(temp, "x"); });
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicWrite, SymbolicLinkStaysALink) {
  Temp_dir dir;
  const std::string real = dir.file("real.bin"), link = dir.file("link.bin");
  ASSERT_TRUE(write_file_bytes(real, "old"));
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  write_file_atomically(link, [](const std::string& temp) { write_file_bytes(temp, "new"); });
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(read_file_bytes(real), "new");
}

TEST(AtomicWrite, UncommittedFileIsRemoved) {
  Temp_dir dir;
  std::string temp;
  {
    Atomic_file file(dir.file("a.bin"));
    temp = file.temp_path();
    EXPECT_TRUE(std::filesystem::exists(temp));
  }
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.bin")));
}

}  // namespace

namespace {

TEST(AtomicWrite, ReadOnlyFileInWritableFolderIsNotReplaced) {
  Temp_dir dir;
  const std::string target = dir.file("a.bin");
  ASSERT_TRUE(write_file_bytes(target, "old"));
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  // Anyone may create files in the folder: only the file's own permission protects it.
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const bool root = geteuid() == 0;  // root may write any file: test as another user
  if (root && seteuid(65534) != 0) GTEST_SKIP() << "cannot drop root here";
  EXPECT_THROW(write_file_atomically(target, [](const std::string&) {}), Write_error);
  if (root) {
    ASSERT_EQ(seteuid(0), 0);
  }
  EXPECT_EQ(read_file_bytes(target), "old");
}

TEST(AtomicWrite, ReadOnlyFileKeepsItsModeWhenReplacedByItsOwner) {
  if (geteuid() != 0) GTEST_SKIP() << "only root may replace a read-only file";
  Temp_dir dir;
  const std::string target = dir.file("a.bin");
  ASSERT_TRUE(write_file_bytes(target, "old"));
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  write_file_atomically(target, [](const std::string& temp) {
    ASSERT_TRUE(write_file_bytes(temp, "new")) << "the writer can open its file";
  });
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_EQ(read_file_bytes(target), "new");
}

TEST(AtomicWrite, FolderAsTargetIsRefused) {
  Temp_dir dir;
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  EXPECT_THROW(Atomic_file file(dir.file("sub")), Write_error);
}

}  // namespace

namespace {

// A name near the file system's limit (255 bytes) left no room for the temporary's prefix
// and suffix: such a file could never be saved.
TEST(AtomicWrite, LongestFileNamesCanBeReplaced) {
  Temp_dir dir;
  for (size_t length : {238u, 239u, 250u, 255u}) {
    const std::string target = dir.file(std::string(length - 4, 'n') + ".hdr");
    ASSERT_TRUE(write_file_bytes(target, "old")) << length;
    write_file_atomically(
        target, [&](const std::string& temp) { EXPECT_TRUE(write_file_bytes(temp, "new")); });
    EXPECT_EQ(read_file_bytes(target), "new") << length;
    std::remove(target.c_str());
  }
  EXPECT_EQ(entries_in(dir.path()), 0u);
}

}  // namespace
