// The tool table: one function per command adds the command, its options
// and its action to the program's command line. A new command is one
// function beside its code and one row of kComandi in commands.cpp.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace genera {

struct OpzioniSorgenti;

/// A command once added to the program's command line.
struct ComandoAggiunto {
  CLI::App* sottocomando;       // owned by the program's CLI::App
  std::function<int()> esegui;  // carries the command out with what the parse filled in;
                                // returns the exit status, throws UsageError and FileError
};

/// Adds one command to `programma`. The options the parse fills in live as
/// long as the returned action.
using AggiuntaComando = ComandoAggiunto (*)(CLI::App& programma);

ComandoAggiunto aggiungi_sorgenti(CLI::App& programma);   // sources   (commands.cpp)
ComandoAggiunto aggiungi_compila(CLI::App& programma);    // compile   (compile_command.cpp)
ComandoAggiunto aggiungi_verifica(CLI::App& programma);   // check     (compile_command.cpp)
ComandoAggiunto aggiungi_ispeziona(CLI::App& programma);  // inspect   (inspect_command.cpp)
ComandoAggiunto aggiungi_disegna(CLI::App& programma);    // plot      (compile_command.cpp)
ComandoAggiunto aggiungi_spiega(CLI::App& programma);     // explain   (explain_command.cpp)
ComandoAggiunto aggiungi_vista(CLI::App& programma);      // view      (view_command.cpp)
ComandoAggiunto aggiungi_lsp(CLI::App& programma);        // lsp       (lsp_command.cpp)

/// The two sources and the options that name them, as compile, check, plot
/// and view take them.
void opzioni_sorgenti(CLI::App& comando, OpzioniSorgenti& o);

}  // namespace genera
