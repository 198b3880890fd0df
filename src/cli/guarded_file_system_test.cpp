#include "cli/guarded_file_system.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

void scrivi(FileSystem& fs, const std::string& path, const std::string& bytes) {
  fs.replace(path, [&](ByteSink& s) { s.write(bytes.data(), bytes.size()); });
}

TEST(SourcesKeptWhole, DeletingASourceDoesNothingWritingOneFails) {
  MemoryFileSystem memoria;
  memoria.files = {{"a_linea.txt", "line"}, {"a_T-.txt", "train"}, {"old.dat", "old"}};
  SorgentiIntatte fs(memoria, {"a_linea.txt", "a_T-.txt"});

  fs.remove("a_linea.txt");
  fs.remove("a_T-.txt");
  EXPECT_THROW(scrivi(fs, "a_linea.txt", "x"), errore_file);
  fs.remove("old.dat");
  scrivi(fs, "new.sim", "new");

  const std::map<std::string, std::string> attesi = {
      {"a_linea.txt", "line"}, {"a_T-.txt", "train"}, {"new.sim", "new"}};
  EXPECT_EQ(memoria.files, attesi);
  EXPECT_EQ(fs.read("a_T-.txt"), "train");
}

TEST(ReadOnly, ReadsButNeverWritesOrDeletes) {
  MemoryFileSystem memoria;
  memoria.files = {{"a", "1"}};
  SoloLettura fs(memoria);
  scrivi(fs, "b", "2");
  scrivi(fs, "a", "3");
  fs.remove("a");
  EXPECT_TRUE(fs.exists("a"));
  EXPECT_EQ(fs.read("a"), "1");
  EXPECT_EQ(memoria.files.size(), 1u);
}

}  // namespace
}  // namespace genera
