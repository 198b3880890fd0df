#include "cli/explain_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <memory>
#include <cstdio>

#include "cli/command_table.h"
#include "cli/exit_codes.h"
#include "model/codes.h"

namespace genera {

std::optional<std::string> spiegazione(int n) {
  const VoceCodice* v = cerca_codice(n);
  if (v == nullptr) return std::nullopt;
  std::string out = "error " + std::to_string(n) + ": " + std::string(v->nome) + "\n\n";
  out += std::string(v->sommario) + "\n\n";
  out += "Usual cause: " + std::string(v->causa) + "\n";
  out += "Fix: " + std::string(v->rimedio) + "\n";
  return out;
}

std::string elenco_codici() {
  std::string out;
  for (const VoceCodice& v : tabella_codici()) {
    char numero_testo[16];
    std::snprintf(numero_testo, sizeof numero_testo, "%5d", numero(v.codice));
    out += std::string(numero_testo) + "  " + std::string(v.nome) + "\n";
  }
  return out;
}

std::string pagina_codici() {
  std::string out =
      "# Failure codes\n\n"
      "Every failure code genera_scenario records, as `genera_scenario explain N` prints it.\n"
      "This page is generated from the program's code table: run\n"
      "`genera_scenario explain --markdown > docs/codes.md` after changing the table.\n";
  for (const VoceCodice& v : tabella_codici()) {
    out += "\n## " + std::to_string(numero(v.codice)) + " `" + std::string(v.nome) + "`\n\n";
    out += std::string(v.sommario) + "\n\n";
    out += "- **Usual cause:** " + std::string(v.causa) + "\n";
    out += "- **Fix:** " + std::string(v.rimedio) + "\n";
  }
  return out;
}

int comando_spiega(const std::optional<std::string>& codice, bool markdown) {
  if (markdown) {
    std::fputs(pagina_codici().c_str(), stdout);
    return kUscitaBuona;
  }
  if (!codice) {
    std::fputs(elenco_codici().c_str(), stdout);
    return kUscitaBuona;
  }
  int n = 0;
  const char* fine = codice->data() + codice->size();
  const auto [dove, errore] = std::from_chars(codice->data(), fine, n);
  std::optional<std::string> testo;
  if (errore == std::errc() && dove == fine) testo = spiegazione(n);
  if (!testo)
    throw ErroreUso("\"" + *codice + "\" is no failure code; `genera_scenario explain` lists them");
  std::fputs(testo->c_str(), stdout);
  return kUscitaBuona;
}

ComandoAggiunto aggiungi_spiega(CLI::App& programma) {
  struct Opzioni {
    std::optional<std::string> codice;
    bool markdown = false;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = programma.add_subcommand(
      "explain", "explain a failure code: what it means, its usual cause, how to fix it");
  c->add_option("CODE", o->codice, "the failure code; without it, the list of codes");
  c->add_flag("--markdown", o->markdown, "print every code as a Markdown page");
  return {c, [o] { return comando_spiega(o->codice, o->markdown); }};
}

}  // namespace genera
