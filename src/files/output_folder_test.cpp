#include "files/output_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "support/temp_folder.h"

namespace genera {
namespace {

namespace fs = std::filesystem;

/// Stops the program dead at the n-th disk call, as kill -9 would: no
/// clean-up of the commit runs, only the destructors (the lock goes, as it
/// goes with a process).
struct Killed {};
class KillAt : public FaultHook {
 public:
  explicit KillAt(int n) : n_(n) {}
  std::string fail(const char* operation, const std::string& path) override {
    operations.push_back(std::string(operation) + " " + name_of(path));
    if (static_cast<int>(operations.size()) == n_) throw Killed{};
    return {};
  }
  std::vector<std::string> operations;

 private:
  int n_;
};

class OutputFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<TempFolder>("genera-output-folder");
    dir_ = temp_->path().string();
  }
  std::string path(const std::string& n) const { return join_path(dir_, n); }
  static void put(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static std::string get(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  /// Every name in the folder with its bytes ("<folder>" for a folder).
  std::map<std::string, std::string> folder() const {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) {
      const fs::file_status s = e.symlink_status();
      out[e.path().filename().string()] =
          fs::is_symlink(s)        ? "<link to " + fs::read_symlink(e.path()).string() + ">"
          : fs::is_directory(s)    ? "<folder>"
          : fs::is_regular_file(s) ? get(e.path().string())
                                   : "<other>";
    }
    return out;
  }
  std::vector<FileToWrite> set(const std::map<std::string, std::string>& files) const {
    std::vector<FileToWrite> out;
    for (const auto& [n, b] : files)
      out.push_back({path(n), [b = b](ByteSink& s) { s.write(b.data(), b.size()); }});
    return out;
  }

  std::unique_ptr<TempFolder> temp_;
  std::string dir_;
  DiskFileSystem disk_;
};

// A kill at every disk call of a commit, over an old set with one file new
// to it: the folder holds the old set or the new one once the next run has
// opened it, and nothing else; before that every target is old or new.
TEST_F(OutputFolderTest, AKillAtEveryCallLeavesOneWholeSetAfterTheNextRun) {
  const std::map<std::string, std::string> vecchi = {{"a.dat", "old a"}, {"b.sim", "old b"}};
  const std::map<std::string, std::string> nuovi = {
      {"a.dat", "new a" + std::string(70000, 'a')}, {"b.sim", "new b"}, {"c.dat", "new c"}};
  auto prepara = [&] {
    for (const auto& e : fs::directory_iterator(dir_)) fs::remove_all(e.path());
    for (const auto& [n, b] : vecchi) put(path(n), b);
  };
  prepara();
  KillAt conta(0);
  DiskFileSystem(&conta).replace_all(set(nuovi));
  ASSERT_EQ(folder(), nuovi);
  const int chiamate = static_cast<int>(conta.operations.size());
  ASSERT_GE(chiamate, 20);
  for (int n = 1; n <= chiamate; ++n) {
    SCOPED_TRACE("killed at call " + std::to_string(n) + ": " + conta.operations[n - 1]);
    prepara();
    KillAt uccidi(n);
    DiskFileSystem disco(&uccidi);
    EXPECT_THROW(disco.replace_all(set(nuovi)), Killed);
    std::map<std::string, std::string> ora = folder();
    for (const auto& [file_name, b] : vecchi)
      EXPECT_TRUE(ora[file_name] == b || ora[file_name] == nuovi.at(file_name)) << file_name;
    { OutputFolder next(disk_, dir_); }
    ora = folder();
    EXPECT_TRUE(ora == vecchi || ora == nuovi) << "neither set whole: " << ora.size() << " names";
  }
}

// The same for a kill while a commit puts the old set back after a rename
// failed, and while the next run recovers: recovery itself may be cut
// short and run again.
TEST_F(OutputFolderTest, AKillDuringRollbackOrRecoveryIsRecoveredAgain) {
  const std::map<std::string, std::string> vecchi = {{"a.dat", "old a"}, {"b.sim", "old b"}};
  const std::map<std::string, std::string> nuovi = {
      {"a.dat", "new a"}, {"b.sim", "new b"}, {"c.dat", "new c"}};
  class FailThenKill : public FaultHook {
   public:
    FailThenKill(int fail_at, int kill_at) : fail_at_(fail_at), kill_at_(kill_at) {}
    std::string fail(const char* operation, const std::string&) override {
      ++n_;
      if (n_ == kill_at_) throw Killed{};
      if (std::string(operation) == "rename" && ++renames_ == fail_at_) return "injected failure";
      return {};
    }
    int n_ = 0, renames_ = 0;

   private:
    int fail_at_, kill_at_;
  };
  for (int fail_rename = 1; fail_rename <= 4; ++fail_rename) {
    for (int kill = 1; kill <= 60; ++kill) {
      SCOPED_TRACE("rename " + std::to_string(fail_rename) + " fails, kill at call " +
                   std::to_string(kill));
      for (const auto& e : fs::directory_iterator(dir_)) fs::remove_all(e.path());
      for (const auto& [n, b] : vecchi) put(path(n), b);
      FailThenKill hook(fail_rename, kill);
      DiskFileSystem disco(&hook);
      try {
        disco.replace_all(set(nuovi));
      } catch (const FileError&) {
      } catch (const Killed&) {
      }
      // The next run is killed too, at every call in turn, then one more runs.
      for (int k2 = 1; k2 <= 8; ++k2) {
        KillAt again(k2);
        DiskFileSystem d2(&again);
        try {
          OutputFolder next(d2, dir_);
        } catch (const Killed&) {
        }
      }
      { OutputFolder next(disk_, dir_); }
      const auto ora = folder();
      EXPECT_TRUE(ora == vecchi || ora == nuovi) << "neither set whole: " << ora.size() << " names";
    }
  }
}

TEST_F(OutputFolderTest, ADamagedJournalStopsTheRunAndIsKept) {
  put(path("a.dat"), "old");
  fs::create_directory(path(".genera_scenario-aaaaaaaaaaaa"));
  put(path(".genera_scenario-aaaaaaaaaaaa/journal"),
      "genera_scenario journal 1\ncommit\n1\n0 1 2 99 a.dat\nend\n");
  try {
    OutputFolder f(disk_, dir_);
    FAIL() << "a damaged journal was accepted";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("is not a journal of this program"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(get(path(".genera_scenario-aaaaaaaaaaaa/journal")).size(), 54u);
  EXPECT_EQ(get(path("a.dat")), "old");
}

// Names like the program's own that are not its own: a file where a staging
// folder would be, the old temporary names, a source inside a folder named
// like a staging folder. None is touched.
TEST_F(OutputFolderTest, NamesLikeTheProgramsOwnAreLeftAlone) {
  put(path(".genera_scenario-aaaaaaaaaaaa"), "an author's file");
  put(path("a.dat.genera-new"), "an author's file");
  put(path("a.dat.genera-old"), "an author's file");
  fs::create_directory(path(".genera_scenario-bbbbbbbbbbbb"));
  put(path(".genera_scenario-bbbbbbbbbbbb/new-0"), "a source");
  OutputFolder f(disk_, dir_, {path(".genera_scenario-bbbbbbbbbbbb/new-0")});
  f.commit(set({{"a.dat", "new"}}));
  EXPECT_EQ(get(path(".genera_scenario-aaaaaaaaaaaa")), "an author's file");
  EXPECT_EQ(get(path("a.dat.genera-new")), "an author's file");
  EXPECT_EQ(get(path("a.dat.genera-old")), "an author's file");
  EXPECT_EQ(get(path(".genera_scenario-bbbbbbbbbbbb/new-0")), "a source");
  EXPECT_EQ(get(path("a.dat")), "new");
  ASSERT_EQ(f.leftovers().size(), 1u);
  EXPECT_NE(f.leftovers()[0].find(".genera_scenario-bbbbbbbbbbbb"), std::string::npos)
      << f.leftovers()[0];
}

struct Piantato {
  const char* file_name;
  std::function<void(const std::string& dir)>
      pianta;  // puts something at "t.dat" or the lock's name
  const char* messaggio;
};

class Planted : public OutputFolderTest, public testing::WithParamInterface<Piantato> {};

// Whatever stands at a target's or the lock's name and is not a file the
// program may replace stops the commit before anything changes, and is left
// exactly as it was: never followed, opened, waited on or deleted.
TEST_P(Planted, StopsTheCommitAndIsLeftAsItWas) {
  put(path("victim"), "someone's file");
  put(path("source.txt"), "a source");
  GetParam().pianta(dir_);
  const auto prima = folder();
  try {
    OutputFolder f(disk_, dir_, {path("source.txt")});
    f.commit(set({{"t.dat", "new"}, {"u.dat", "new"}}));
    FAIL() << "the commit went through";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().messaggio), std::string::npos) << e.what();
  }
  EXPECT_EQ(folder(), prima);
  EXPECT_EQ(get(path("victim")), "someone's file");
  EXPECT_EQ(get(path("source.txt")), "a source");
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, Planted,
    testing::Values(
        Piantato{"SymlinkAtTarget",
                 [](const std::string& d) { fs::create_symlink(d + "/victim", d + "/t.dat"); },
                 "symbolic link"},
        Piantato{"FifoAtTarget",
                 [](const std::string& d) { ::mkfifo((d + "/t.dat").c_str(), 0666); },
                 "not a regular file"},
        Piantato{
            "SourceHardLinkedAtTarget",
            [](const std::string& d) { fs::create_hard_link(d + "/source.txt", d + "/t.dat"); },
            "one of the sources"},
        Piantato{
            "SymlinkAtLock",
            [](const std::string& d) { fs::create_symlink(d + "/victim", d + "/" + kFileBlocco); },
            "symbolic link"},
        Piantato{"FifoAtLock",
                 [](const std::string& d) { ::mkfifo((d + "/" + kFileBlocco).c_str(), 0666); },
                 "not a lock file"},
        Piantato{"SourceHardLinkedAtLock",
                 [](const std::string& d) {
                   fs::create_hard_link(d + "/source.txt", d + "/" + kFileBlocco);
                 },
                 "not a lock file"},
        Piantato{"SymlinkToSourceAtLock",
                 [](const std::string& d) {
                   fs::create_symlink(d + "/source.txt", d + "/" + kFileBlocco);
                 },
                 "symbolic link"}),
    [](const testing::TestParamInfo<Piantato>& i) { return std::string(i.param.file_name); });

TEST_F(OutputFolderTest, PlaceWritesOnlyWhereNothingOrTheSameStands) {
  OutputFolder f(disk_, dir_);
  EXPECT_EQ(f.place(path("s.txt"), "bytes"), Placed::created);
  EXPECT_EQ(get(path("s.txt")), "bytes");
  EXPECT_EQ(f.place(path("s.txt"), "bytes"), Placed::identical);
  EXPECT_EQ(f.place(path("s.txt"), "other"), Placed::different);
  EXPECT_EQ(get(path("s.txt")), "bytes");
  put(path("victim"), "bytes");
  fs::create_symlink(path("victim"), path("l.txt"));
  EXPECT_EQ(f.place(path("l.txt"), "bytes"), Placed::different);
  EXPECT_TRUE(fs::is_symlink(path("l.txt")));
  for (const auto& [file_name, cosa] : folder())
    EXPECT_NE(file_name.rfind(kPrefissoAppoggio, 0), 0u) << "staging folder left: " << file_name;
}

// A file system without hard links (FAT): the old files are copied aside
// instead, and a failed rename still puts every one of them back.
TEST(WithoutHardLinks, TheOldSetIsCopiedAsideAndPutBack) {
  class NoLinks : public MemoryFileSystem {
   public:
    using MemoryFileSystem::MemoryFileSystem;
    LinkResult link(const std::string&, const std::string&) override {
      return LinkResult::unsupported;
    }
  };
  class FailRename : public FaultHook {
   public:
    std::string fail(const char* operation, const std::string&) override {
      return std::string(operation) == "rename" && ++renames == failing ? "injected failure" : "";
    }
    int renames = 0, failing = 0;
  } hook;
  for (int failing : {0, 2, 3, 4}) {
    SCOPED_TRACE("rename " + std::to_string(failing) + " fails");
    NoLinks fs(&hook);
    hook.renames = 0;
    hook.failing = 0;
    fs.make_folders("d");
    fs.files = {{"d/a", "old a"}, {"d/b", "old b"}};
    hook.failing = failing;
    const std::vector<FileToWrite> set = {{"d/a", [](ByteSink& s) { s.write("new a", 5); }},
                                          {"d/b", [](ByteSink& s) { s.write("new b", 5); }},
                                          {"d/c", [](ByteSink& s) { s.write("new c", 5); }}};
    if (failing == 0) {
      fs.replace_all(set);
      EXPECT_EQ(fs.files, (std::map<std::string, std::string>{
                              {"d/a", "new a"}, {"d/b", "new b"}, {"d/c", "new c"}}));
    } else {
      EXPECT_THROW(fs.replace_all(set), FileError);
      EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{"d/a", "old a"}, {"d/b", "old b"}}));
    }
    EXPECT_EQ(fs.list("d").size(), failing == 0 ? 3u : 2u);
  }
}

TEST_F(OutputFolderTest, TheLockFileGoesWithTheLastRun) {
  {
    OutputFolder f(disk_, dir_);
    EXPECT_TRUE(fs::is_regular_file(path(kFileBlocco)));
  }
  EXPECT_FALSE(fs::exists(path(kFileBlocco)));
  // One left by a killed run is taken over and removed.
  put(path(kFileBlocco), "");
  { OutputFolder f(disk_, dir_); }
  EXPECT_TRUE(folder().empty());
}

}  // namespace
}  // namespace genera
