// The built program, copied into a fresh folder and run there as a user
// would: it writes beside itself, replaces older files whole, and stops
// with a clear message when a file cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
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
    "LIVRA_MONTALBA_R47316_note.txt",
    "LIVRA_MONTALBA_R47316_rallentamenti.txt",
    "LIVRA_MONTALBA_R47316_scheda_treno.txt",
    "LIVRA_MONTALBA_linea.dat",
    "LIVRA_MONTALBA_R47316.sim",
    "LIVRA_MONTALBA_R47316.dat",
};

const char* const kSources[] = {"LIVRA_MONTALBA_linea.txt", "LIVRA_MONTALBA_R47316-.txt"};

class Program : public testing::Test {
 protected:
  void SetUp() override {
    cartella_ = std::make_unique<TempFolder>("genera-program");
    dir_ = cartella_->path() / "program";
    fs::create_directories(dir_);
    fs::copy_file(GENERA_EXE, dir_ / "genera_scenario");
  }

  // Runs the program in its folder, through `wrapper` when one is given;
  // returns its exit status.
  int run(const std::string& wrapper = "") {
    const std::string command =
        "cd / && " + wrapper + " '" + (dir_ / "genera_scenario").string() + "' 2>'" +
        (dir_.parent_path() / (dir_.filename().string() + ".err")).string() + "'";
    const int status = std::system(command.c_str());
    stderr_ = leggi_file(dir_.parent_path() / (dir_.filename().string() + ".err"));
    fs::remove(dir_.parent_path() / (dir_.filename().string() + ".err"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir_))
      out.insert(entry.path().filename().string());
    return out;
  }

  std::unique_ptr<TempFolder> cartella_;
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

  const std::string olds[] = {std::string(3'000'000, 'x'), "short",
                              std::string("\0\xff\r\n\x1a", 5)};
  for (const std::string& old : olds) {
    for (const char* name : kOutputs) write(dir_ / name, old);
    ASSERT_EQ(run(), 0) << stderr_;
    for (const char* name : kOutputs)
      EXPECT_TRUE(SameBytes(leggi_file(dir_ / name), fresh[name])) << name;
    EXPECT_EQ(names().size(), 7u);
  }
}

// The two sources of a run killed before it read them are the very bytes
// the run writes: the next run takes them and deletes them as always.
TEST_F(Program, SourcesLeftByAnInterruptedRunAreTakenAndDeleted) {
  ASSERT_EQ(run(), 0) << stderr_;
  std::map<std::string, std::string> fresh;
  for (const char* name : kOutputs) fresh[name] = leggi_file(dir_ / name);
  const fs::path sources = dir_.parent_path() / "sources";
  ASSERT_EQ(std::system(("'" + (dir_ / "genera_scenario").string() + "' sources -o '" +
                         sources.string() + "' 2>/dev/null")
                            .c_str()),
            0);
  for (const char* s : kSources) fs::copy_file(sources / s, dir_ / s);
  ASSERT_EQ(run(), 0) << stderr_;
  std::set<std::string> expected(std::begin(kOutputs), std::end(kOutputs));
  expected.insert("genera_scenario");
  EXPECT_EQ(names(), expected);
  for (const char* name : kOutputs)
    EXPECT_TRUE(SameBytes(leggi_file(dir_ / name), fresh[name])) << name;
}

// The run without arguments and a compile of other sources, racing into one
// folder: each takes the folder's lock, so the compact files left are one
// run's whole set, never a mix; the documents are the run's.
TEST_F(Program, ARunAndACompileRacingIntoOneFolderLeaveOneWholeSet) {
  const fs::path exe = dir_ / "genera_scenario";
  const fs::path src = dir_.parent_path() / "src";
  const fs::path out = dir_.parent_path() / "out";
  ASSERT_EQ(std::system(("'" + exe.string() + "' sources -o '" + src.string() + "'").c_str()), 0);
  std::string treno = leggi_file(src / "LIVRA_MONTALBA_R47316-.txt");
  const std::size_t at = treno.find("numero vetture,    8");
  ASSERT_NE(at, std::string::npos);
  treno[at + std::string("numero vetture,    ").size()] = '9';
  write(src / "LIVRA_MONTALBA_R47316-.txt", treno);
  const std::string compile = "'" + exe.string() + "' compile '" +
                              (src / "LIVRA_MONTALBA_linea.txt").string() + "' '" +
                              (src / "LIVRA_MONTALBA_R47316-.txt").string() + "' -q -o '";
  const std::string run_into = "'" + exe.string() + "' -o '";
  auto set_of = [](const fs::path& d) {
    std::map<std::string, std::string> s;
    for (const char* n :
         {"LIVRA_MONTALBA_linea.dat", "LIVRA_MONTALBA_R47316.sim", "LIVRA_MONTALBA_R47316.dat"})
      s[n] = leggi_file(d / n);
    return s;
  };
  ASSERT_EQ(std::system((compile + (dir_.parent_path() / "by_compile").string() + "'").c_str()), 0);
  ASSERT_EQ(std::system((run_into + (dir_.parent_path() / "by_run").string() + "'").c_str()), 0);
  const auto by_compile = set_of(dir_.parent_path() / "by_compile");
  const auto by_run = set_of(dir_.parent_path() / "by_run");
  ASSERT_NE(by_compile, by_run);
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string both = "(" + compile + out.string() + "' & " + run_into + out.string() +
                             "' & " + compile + out.string() + "' & wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const auto left = set_of(out);
    EXPECT_TRUE(left == by_compile || left == by_run) << "a mixed set";
    std::set<std::string> names_left;
    for (const auto& e : fs::directory_iterator(out))
      names_left.insert(e.path().filename().string());
    EXPECT_EQ(names_left.size(), 6u) << "something besides the six files";
  }
}

struct Planted {
  const char* name;
  const char* source;                          // which source name it stands at
  std::function<void(const fs::path&)> plant;  // puts it there
  const char* reason;                          // what the message says of it
};

class ProgramRefuses : public Program, public testing::WithParamInterface<Planted> {};

// What stands at a source's name and is not the run's own bytes (an
// author's edited source, a link, a FIFO) stops the run before it writes
// anything, with exit 3, a message that names it and says what to do; it is
// left exactly as it was, and so is every older output.
TEST_P(ProgramRefuses, AnythingButItsOwnSourceAtASourcesName) {
  for (const char* name : kOutputs) write(dir_ / name, std::string("older ") + name);
  write(dir_.parent_path() / "elsewhere", "someone's file");
  const fs::path at = dir_ / GetParam().source;
  GetParam().plant(at);
  const auto look = [&] {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) {
      const fs::file_status s = e.symlink_status();
      out[e.path().filename().string()] = fs::is_symlink(s)
                                              ? "link " + fs::read_symlink(e.path()).string()
                                          : fs::is_regular_file(s) ? leggi_file(e.path())
                                                                   : "other";
    }
    return out;
  };
  const auto before = look();
  EXPECT_EQ(run(), 3);
  EXPECT_NE(stderr_.find("cannot write " + at.string() + ": " + GetParam().reason),
            std::string::npos)
      << stderr_;
  EXPECT_NE(
      stderr_.find(
          "genera_scenario compile LIVRA_MONTALBA_linea.txt LIVRA_MONTALBA_R47316-.txt, or move "
          "them out of " +
          dir_.string()),
      std::string::npos)
      << stderr_;
  EXPECT_EQ(look(), before);
  EXPECT_EQ(leggi_file(dir_.parent_path() / "elsewhere"), "someone's file");
}

INSTANTIATE_TEST_SUITE_P(
    Planted, ProgramRefuses,
    testing::Values(
        Planted{"EditedLineSource", "LIVRA_MONTALBA_linea.txt",
                [](const fs::path& p) { write(p, "[generale]\r\nlunghezza percorso, 1000\r\n"); },
                "it exists already, with bytes of its own (an author's edits?)"},
        Planted{"EditedTrainSource", "LIVRA_MONTALBA_R47316-.txt",
                [](const fs::path& p) { write(p, ""); },
                "it exists already, with bytes of its own (an author's edits?)"},
        Planted{"LinkAtTheLineSource", "LIVRA_MONTALBA_linea.txt",
                [](const fs::path& p) {
                  fs::create_symlink(p.parent_path().parent_path() / "elsewhere", p);
                },
                "a symbolic link stands there"},
        Planted{"FifoAtTheTrainSource", "LIVRA_MONTALBA_R47316-.txt",
                [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0); },
                "a file that is not a regular file stands there"},
        Planted{"FolderAtTheLineSource", "LIVRA_MONTALBA_linea.txt",
                [](const fs::path& p) { fs::create_directory(p); }, "a folder stands there"}),
    [](const testing::TestParamInfo<Planted>& i) { return std::string(i.param.name); });

TEST_F(Program, AFolderInTheWayStopsTheRunBeforeItWritesAnything) {
  fs::create_directory(dir_ / "LIVRA_MONTALBA_R47316_note.txt");
  write(dir_ / "LIVRA_MONTALBA_R47316.sim", "older scenario");
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(stderr_, "genera_scenario: cannot replace " +
                         (dir_ / "LIVRA_MONTALBA_R47316_note.txt").string() + ": it is a folder\n");
  EXPECT_TRUE(fs::is_directory(dir_ / "LIVRA_MONTALBA_R47316_note.txt"));
  EXPECT_EQ(leggi_file(dir_ / "LIVRA_MONTALBA_R47316.sim"), "older scenario");
  EXPECT_EQ(names(), (std::set<std::string>{"genera_scenario", "LIVRA_MONTALBA_R47316_note.txt",
                                            "LIVRA_MONTALBA_R47316.sim"}));
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
    const fs::perms read_only =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(dir_ / name, read_only);

    EXPECT_EQ(run(unprivileged), 3);
    EXPECT_EQ(stderr_, "genera_scenario: cannot replace " + (dir_ / name).string() +
                           ": Permission denied\n");
    EXPECT_EQ(leggi_file(dir_ / name), old);
    EXPECT_EQ(fs::status(dir_ / name).permissions(), read_only);
    EXPECT_EQ(names(), (std::set<std::string>{"genera_scenario", name}));
  }
}

}  // namespace
