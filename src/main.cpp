// genera_scenario: with no arguments, builds the scenario pack of the
// built-in line and train in the program's own folder; with a command,
// the scenario author's tool (see --help).
#include "cli/commands.h"
#include "run/console.h"

int main(int argc, char** argv) {
  genera::collega_console();
  return genera::esegui_comandi(argc, argv);
}
