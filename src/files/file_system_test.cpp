#include "files/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "support/temp_folder.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

class DiskTest : public testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<TempFolder>("genera-fs");
    dir_ = temp_->path();
  }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  static void put(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }

  static auto writer(const std::string& bytes) {
    return [bytes](ByteSink& s) { s.write(bytes.data(), bytes.size()); };
  }

  std::unique_ptr<TempFolder> temp_;
  fs::path dir_;
  DiskFileSystem disk_;
};

TEST_F(DiskTest, ReplaceLeavesExactlyTheNewBytes) {
  const std::string fresh = "new\r\ncontent\r\n";
  const struct {
    const char* file_name;
    std::string bytes;
  } olds[] = {{"empty", ""},
              {"one byte", "x"},
              {"longer than the new", std::string(100000, 'z')},
              {"NUL, 0xFF and CR", std::string("\0\xff\x01\r", 4)}};
  for (const auto& old : olds) {
    SCOPED_TRACE(old.file_name);
    put(path("f.txt"), old.bytes);
    disk_.replace(path("f.txt"), writer(fresh));
    EXPECT_EQ(disk_.read(path("f.txt")), fresh);
  }
  disk_.replace(path("missing.txt"), writer(fresh));
  EXPECT_EQ(disk_.read(path("missing.txt")), fresh);
  // Nothing but the two targets is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(DiskTest, AFailingProducerLeavesTheOldFileWhole) {
  put(path("f.dat"), "old bytes");
  EXPECT_THROW(disk_.replace(path("f.dat"),
                             [](ByteSink& s) {
                               s.write("partial", 7);
                               throw FileError("disk full");
                             }),
               FileError);
  EXPECT_EQ(disk_.read(path("f.dat")), "old bytes");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(DiskTest, AFolderInTheWayIsNamedAndKept) {
  fs::create_directory(path("taken"));
  try {
    disk_.replace(path("taken"), writer("x"));
    FAIL() << "replace over a folder succeeded";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(path("taken")), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("folder"), std::string::npos) << e.what();
  }
  EXPECT_THROW(disk_.remove(path("taken")), FileError);
  EXPECT_TRUE(fs::is_directory(path("taken")));
}

TEST_F(DiskTest, RemovingAMissingFileIsNoError) {
  EXPECT_NO_THROW(disk_.remove(path("nothing")));
  EXPECT_FALSE(disk_.exists(path("nothing")));
}

TEST(PercorsoFile, InsertsExactlyOneSeparator) {
  const std::string sep(1, path_separator());
  EXPECT_EQ(join_path("dir", "a.txt"), "dir" + sep + "a.txt");
  EXPECT_EQ(join_path("C:" + sep, "a.txt"), "C:" + sep + sep + "a.txt");
}

}  // namespace
}  // namespace genera
