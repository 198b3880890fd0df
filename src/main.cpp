// genera_scenario: builds the scenario pack of the built-in line and train
// in the program's own folder.
#include <cstdio>

#include "model/file_system.h"
#include "run/form_load.h"
#include "run/program_folder.h"

int main(int argc, char** argv) {
  (void)argc;
  genera::DiskFileSystem disk;
  genera::Form1 f;
  f.file_system = &disk;
  f.cartella = genera::cartella_programma(argv[0]);
  try {
    genera::Form_Load(f);
  } catch (const genera::errore_file& e) {
    std::fprintf(stderr, "genera_scenario: %s\n", e.what());
    return 3;
  }
  return 0;
}
