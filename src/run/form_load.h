// The built-in run: the scenario's names, the wait window, the five
// documents, then memorizza_percorso with j = 1, all in the program's
// folder. The driver of the compiler for the run without arguments.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_system.h"
#include "model/compiled_scenario.h"

namespace genera {

inline constexpr const char* kNomeLinea = "LIVRA_MONTALBA";
inline constexpr const char* kCodiceTreno = "R47316";

/// The build state of a run: where it works, what it is called, and what
/// the compile gave.
struct Form1 {
  std::string nome_linea;
  std::string codice_treno;
  std::string cartella;               // every file of the run lies here
  FileSystem* file_system = nullptr;  // every file access goes through it
  int32_t j = 0;                      // set: the plan and the line compact file too
  ScenarioCompilato scenario;
};

/// The whole run into `f.cartella` through `f.file_system`. Throws
/// FileError when a file cannot be written. A race-code slot already
/// taken shows " Errore n. 1250" (or 1251) and writes no compact file.
void Form_Load(Form1& f);

}  // namespace genera
