// The built program, copied into a fresh folder and run there as a user
// would: it writes beside itself, replaces older files whole, and stops
// with a clear message when a file cannot be written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "support/temp_folder.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

void write(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

const char* const kOutputs[] = {
    "LIVRA_MONTALBA_R47316_note.txt", "LIVRA_MONTALBA_R47316_rallentamenti.txt",
    "LIVRA_MONTALBA_R47316_scheda_treno.txt", "LIVRA_MONTALBA_linea.dat",
    "LIVRA_MONTALBA_R47316.sim", "LIVRA_MONTALBA_R47316.dat",
};

class Program : public testing::Test {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<CartellaTemporanea>("genera-program");
    dir_ = cartella_->path() / "program";
    fs::create_directories(dir_);
    fs::copy_file(GENERA_EXE, dir_ / "genera_scenario");
  }

  // Runs the program in its folder, through `wrapper` when one is given;
  // returns its exit status.
  int run(const std::string& wrapper = "") {
    const std::string command = "cd / && " + wrapper + " '" + (dir_ / "genera_scenario").string() + "' 2>'" +
                                (dir_.parent_path() / (dir_.filename().string() + ".err")).string() + "'";
    const int status = std::system(command.c_str());
    stderr_ = leggi_file(dir_.parent_path() / (dir_.filename().string() + ".err"));
    fs::remove(dir_.parent_path() / (dir_.filename().string() + ".err"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir_)) out.insert(entry.path().filename().string());
    return out;
  }

  std::unique_ptr<CartellaTemporanea> cartella_;
  fs::path dir_;
  std::string stderr_;
};

TEST_F(Program, RunInAnEmptyFolderLeavesExactlyTheSixFiles) {
  ASSERT_EQ(run(), 0) << stderr_;
  EXPECT_EQ(stderr_, "");
  std::set<std::string> expected(std::begin(kOutputs), std::end(kOutputs));
  expected.insert("genera_scenario");
  EXPECT_EQ(names(), expected);
  for (const char* name : {"LIVRA_MONTALBA_R47316.sim", "LIVRA_MONTALBA_R47316.dat"})
    EXPECT_TRUE(SameBytes(leggi_file(dir_ / name), golden(std::string("compact/") + name))) << name;
}

TEST_F(Program, OlderFilesAreReplacedWhole) {
  ASSERT_EQ(run(), 0) << stderr_;
  std::map<std::string, std::string> fresh;
  for (const char* name : kOutputs) fresh[name] = leggi_file(dir_ / name);

  const std::string olds[] = {std::string(3'000'000, 'x'), "short", std::string("\0\xff\r\n\x1a", 5)};
  for (const std::string& old : olds) {
    for (const char* name : kOutputs) write(dir_ / name, old);
    write(dir_ / "LIVRA_MONTALBA_linea.txt", old);
    write(dir_ / "LIVRA_MONTALBA_R47316-.txt", old);
    ASSERT_EQ(run(), 0) << stderr_;
    for (const char* name : kOutputs) EXPECT_TRUE(SameBytes(leggi_file(dir_ / name), fresh[name])) << name;
    EXPECT_FALSE(fs::exists(dir_ / "LIVRA_MONTALBA_linea.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "LIVRA_MONTALBA_R47316-.txt"));
  }
}

TEST_F(Program, AFolderInTheWayStopsTheRunWithItsName) {
  fs::create_directory(dir_ / "LIVRA_MONTALBA_R47316_note.txt");
  write(dir_ / "LIVRA_MONTALBA_R47316.sim", "older scenario");
  EXPECT_EQ(run(), 3);
  EXPECT_NE(stderr_.find("LIVRA_MONTALBA_R47316_note.txt"), std::string::npos) << stderr_;
  EXPECT_NE(stderr_.find("folder"), std::string::npos) << stderr_;
  // The sources written before stay, the folder and the later files are untouched.
  EXPECT_TRUE(fs::is_regular_file(dir_ / "LIVRA_MONTALBA_linea.txt"));
  EXPECT_TRUE(fs::is_regular_file(dir_ / "LIVRA_MONTALBA_R47316-.txt"));
  EXPECT_TRUE(fs::is_directory(dir_ / "LIVRA_MONTALBA_R47316_note.txt"));
  EXPECT_EQ(leggi_file(dir_ / "LIVRA_MONTALBA_R47316.sim"), "older scenario");
  EXPECT_FALSE(fs::exists(dir_ / "LIVRA_MONTALBA_R47316_rallentamenti.txt"));
}

// Root may write a read-only file all the same, so the run goes through
// the unprivileged user; the folder is its to write, the old file is not.
TEST_F(Program, AReadOnlyOldFileStopsTheRunAndStaysWhole) {
  const std::string unprivileged = "'" GENERA_TEST_DATA "/support/as_unprivileged.sh'";
  fs::permissions(dir_, fs::perms::all);
  // The temporary folder around it is its owner's alone: let others pass through.
  fs::permissions(cartella_->path(),
                  fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  ASSERT_EQ(std::system((unprivileged + " test -w '" + dir_.string() + "' -a -x '" +
                         (dir_ / "genera_scenario").string() + "'")
                            .c_str()),
            0)
      << dir_ << " must be writable, and the path to it traversable, for the unprivileged user";

  const std::string old = "older file, read-only";
  // A document the writers replace, and a compact file the compaction replaces.
  for (const char* name : {"LIVRA_MONTALBA_R47316_note.txt", "LIVRA_MONTALBA_R47316.sim"}) {
    SCOPED_TRACE(name);
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path().filename() != "genera_scenario") fs::remove(entry.path());
    write(dir_ / name, old);
    const fs::perms read_only = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(dir_ / name, read_only);

    EXPECT_EQ(run(unprivileged), 3);
    EXPECT_EQ(stderr_, "genera_scenario: cannot replace " + (dir_ / name).string() + ": Permission denied\n");
    EXPECT_EQ(leggi_file(dir_ / name), old);
    EXPECT_EQ(fs::status(dir_ / name).permissions(), read_only);
    EXPECT_FALSE(fs::exists(dir_ / (std::string(name) + ".genera-new")));
  }
}

}  // namespace
