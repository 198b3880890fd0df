#include "run/program_folder.h"

#include <gtest/gtest.h>

namespace genera {
namespace {

struct Caso {
  const char* nome;
  const char* cartella;
  bool installata;
};

class CartellaInstallata : public testing::TestWithParam<Caso> {};

// A package's list names the files it installed: a folder holding one of
// them is the package manager's, a folder only listed (as /tmp is) is not.
TEST_P(CartellaInstallata, IsTheSystemsOrAPackagesOrNot) {
  MemoryFileSystem fs;
  fs.files["/var/lib/dpkg/info/tool.list"] =
      "/.\n/opt\n/opt/tool\n/opt/tool/bin\n/opt/tool/bin/tool\n/tmp\n";
  fs.files["/var/lib/dpkg/info/tool.md5sums"] = "0 /srv/app/x\n";
  const std::string perche = cartella_installata(fs, GetParam().cartella);
  EXPECT_EQ(!perche.empty(), GetParam().installata) << perche;
}

INSTANTIATE_TEST_SUITE_P(
    Cartelle, CartellaInstallata,
    testing::Values(
        Caso{"UsrBin", "/usr/bin", true}, Caso{"UsrBinSlash", "/usr/bin/", true},
        Caso{"UsrGames", "/usr/games", true}, Caso{"Bin", "/bin", true},
        Caso{"UsrLocalBin", "/usr/local/bin", true}, Caso{"UsrLocalSbin", "/usr/local/sbin", true},
        Caso{"PackagesFolder", "/opt/tool/bin", true}, Caso{"PackagesParent", "/opt/tool", true},
        Caso{"OnlyListed", "/tmp", false}, Caso{"OnlyInAnotherList", "/srv/app", false},
        Caso{"UsrLocalOther", "/usr/local/share/games", false},
        Caso{"Home", "/home/author/scenari", false}, Caso{"UsrBinLookalike", "/usr/binaries", true},
        Caso{"BinLookalike", "/binaries", false}),
    [](const testing::TestParamInfo<Caso>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace genera
