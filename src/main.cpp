// genera_scenario: with no arguments, builds the scenario pack of the
// built-in line and train in the program's own folder; with a command,
// the scenario author's tool (see --help).
#include <string>
#include <vector>

#include "cli/commands.h"
#include "run/console.h"

int main(int argc, char** argv) {
  genera::collega_console();
  std::vector<std::string> argomenti = genera::argomenti_programma(argc, argv);
  std::vector<char*> puntatori;
  puntatori.reserve(argomenti.size() + 1);
  for (std::string& a : argomenti) puntatori.push_back(a.data());
  puntatori.push_back(nullptr);
  return genera::esegui_comandi(static_cast<int>(argomenti.size()), puntatori.data());
}
