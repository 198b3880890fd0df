#include "cli/explain_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <memory>

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

std::optional<std::string> spiegazione_avviso(int n) {
  const VoceAvviso* v = cerca_avviso(n);
  if (v == nullptr) return std::nullopt;
  std::string out = "warning W" + std::to_string(n) + ": " + std::string(v->nome) + "\n\n";
  out += std::string(v->sommario) + "\n\n";
  out += "Usual cause: " + std::string(v->causa) + "\n";
  out += "Fix: " + std::string(v->rimedio) + "\n";
  out +=
      "A warning changes no output byte and no exit status; --werror makes it fail the "
      "compile.\n";
  return out;
}

std::optional<std::string> spiegazione(std::string_view nome) {
  std::string_view numero_testo = nome;
  bool avviso = false;
  if (!numero_testo.empty() && (numero_testo[0] == 'W' || numero_testo[0] == 'w')) {
    numero_testo.remove_prefix(1);
    avviso = true;
  }
  int n = 0;
  const char* fine = numero_testo.data() + numero_testo.size();
  const auto [dove, errore] = std::from_chars(numero_testo.data(), fine, n);
  if (errore == std::errc() && dove == fine && !numero_testo.empty()) {
    if (!avviso)
      if (auto t = spiegazione(n)) return t;
    return spiegazione_avviso(n);
  }
  if (const VoceCodice* v = cerca_codice(nome)) return spiegazione(numero(v->codice));
  if (const VoceAvviso* v = cerca_avviso(nome)) return spiegazione_avviso(numero(v->avviso));
  return std::nullopt;
}

std::string elenco_codici() {
  std::string out;
  for (const VoceCodice& v : tabella_codici()) {
    char numero_testo[16];
    std::snprintf(numero_testo, sizeof numero_testo, "%5d", numero(v.codice));
    out += std::string(numero_testo) + "  " + std::string(v.nome) + "\n";
  }
  out += "\nWarnings:\n";
  for (const VoceAvviso& v : tabella_avvisi()) {
    char numero_testo[16];
    std::snprintf(numero_testo, sizeof numero_testo, "%5s",
                  ("W" + std::to_string(numero(v.avviso))).c_str());
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
  out +=
      "\n# Warnings\n\n"
      "A warning names something that is stored, but probably not as the author meant. It "
      "changes no output byte and no exit status; `--werror` makes the compile fail on it. "
      "`genera_scenario explain W213` or `explain value_wraps_when_stored` prints one.\n";
  for (const VoceAvviso& v : tabella_avvisi()) {
    out += "\n## W" + std::to_string(numero(v.avviso)) + " `" + std::string(v.nome) + "`\n\n";
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
  const std::optional<std::string> testo = spiegazione(std::string_view(*codice));
  if (!testo)
    throw UsageError("\"" + *codice +
                     "\" is no failure code, warning or name of one; `genera_scenario explain` "
                     "lists them");
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
