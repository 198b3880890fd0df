#include "view/page.h"

#include <string_view>

#include "view/page_data.h"
#include "view/palette.h"
#include "view/text_policy.h"
#include "view/viewer_assets.h"

namespace genera {
namespace {

/// `s` with its one `segnaposto` replaced by `testo`.
std::string sostituisci(std::string s, std::string_view segnaposto, const std::string& testo) {
  const std::size_t at = s.find(segnaposto);
  if (at != std::string::npos) s.replace(at, segnaposto.size(), testo);
  return s;
}

}  // namespace

std::string pagina_vista(const nlohmann::json& dati, bool servita) {
  const std::string titolo = dati.value("linea", std::string()) + " \xe2\x80\x94 train " +
                             dati.value("treno", std::string());
  nlohmann::json colori = nlohmann::json::object();
  for (const Colore& c : kColori) colori[std::string(c.chiave)] = std::string(c.valore);
  const nlohmann::json config = {
      {"servita", servita},
      {"colori", colori},
      {"etichette",
       {{"spazio", kSpazioEtichette}, {"corpo", kCorpoEtichette}, {"larghezza", 0.62}}}};
  // The script and the data go in last: the placeholders are searched for in
  // the frame only, never in text that came from a source.
  std::string pagina = viewer_html();
  pagina = sostituisci(pagina, "{{TITOLO}}", testo_markup(titolo));
  pagina = sostituisci(pagina, "/*{{STILE}}*/", viewer_css());
  pagina = sostituisci(pagina, "{{CONFIG}}", testo_dati(config));
  const std::size_t dati_at = pagina.find("{{DATI}}");
  const std::size_t script_at = pagina.find("/*{{SCRIPT}}*/");
  if (dati_at == std::string::npos || script_at == std::string::npos || script_at < dati_at)
    return pagina;
  return pagina.substr(0, dati_at) + testo_dati(dati) +
         pagina.substr(dati_at + 8, script_at - dati_at - 8) + viewer_js() +
         pagina.substr(script_at + 14);
}

}  // namespace genera
