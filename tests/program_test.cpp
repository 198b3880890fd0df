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

  // Runs the program in its folder; returns its exit status.
  int run() {
    const std::string command = "cd / && '" + (dir_ / "genera_scenario").string() + "' 2>'" +
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

}  // namespace
