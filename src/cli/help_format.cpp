#include "cli/help_format.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <sstream>

namespace genera {
namespace {

std::size_t caratteri(const std::string& s) {
  std::size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

class FormatoAiuto : public CLI::Formatter {
 public:
  // The descriptions start at the column; they get what is left of 80.
  std::string make_option_desc(const CLI::Option* opt) const override {
    return a_capo(CLI::Formatter::make_option_desc(opt), kColonneAiuto - get_column_width());
  }

  std::string make_subcommand(const CLI::App* sub) const override {
    std::stringstream out;
    CLI::detail::format_help(out, sub->get_display_name(),
                             a_capo(sub->get_description(), kColonneAiuto - get_column_width()),
                             get_column_width());
    return out.str();
  }

  std::string make_description(const CLI::App* app) const override {
    return a_capo(CLI::Formatter::make_description(app), kColonneAiuto);
  }

  std::string make_footer(const CLI::App* app) const override {
    return a_capo(CLI::Formatter::make_footer(app), kColonneAiuto);
  }
};

// A box wraps the text to its own width in a proportional font: columns
// of blanks would not line up there.
class FormatoFinestra : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* opt, bool is_positional) const override {
    const std::string descrizione = make_option_desc(opt);
    return "  " + make_option_name(opt, is_positional) + make_option_opts(opt) +
           (descrizione.empty() ? "" : " - " + descrizione) + "\n";
  }

  std::string make_subcommand(const CLI::App* sub) const override {
    return "  " + sub->get_display_name() + " - " + sub->get_description() + "\n";
  }

  // A blank line sets the description apart from the usage line.
  std::string make_description(const CLI::App* app) const override {
    const std::string descrizione = CLI::Formatter::make_description(app);
    return descrizione.empty() ? descrizione : descrizione + "\n";
  }
};

}  // namespace

std::string a_capo(const std::string& testo, std::size_t larghezza) {
  std::string out;
  std::size_t inizio = 0;
  while (inizio <= testo.size()) {
    std::size_t fine = testo.find('\n', inizio);
    const bool ultima = fine == std::string::npos;
    if (ultima) fine = testo.size();
    std::istringstream parole(testo.substr(inizio, fine - inizio));
    std::string riga, parola;
    while (parole >> parola) {
      if (!riga.empty() && caratteri(riga) + 1 + caratteri(parola) > larghezza) {
        out += riga + "\n";
        riga.clear();
      }
      riga += (riga.empty() ? "" : " ") + parola;
    }
    out += riga;
    if (ultima) break;
    out += "\n";
    inizio = fine + 1;
  }
  return out;
}

void usa_formato_aiuto(CLI::App& app, bool per_finestra) {
  if (per_finestra) {
    app.formatter(std::make_shared<FormatoFinestra>());
    return;
  }
  auto formato = std::make_shared<FormatoAiuto>();
  formato->column_width(30);
  app.formatter(formato);
}

}  // namespace genera
