#include "cli/inspect.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include "files/file_system.h"

#include "cli/text_format.h"
#include "model/text.h"
#include "view/text_policy.h"

namespace genera {
namespace {

using json = nlohmann::ordered_json;

bool finisce_con(const std::string& s, const std::string& coda) {
  return s.size() >= coda.size() && s.compare(s.size() - coda.size(), coda.size(), coda) == 0;
}

constexpr std::string_view kSostituto = "\xEF\xBF\xBD";  // U+FFFD: a byte that stands for nothing

/// A stored name for the terminal: quoted, its code page 1252 characters
/// as UTF-8, control characters written as \xNN so garbage cannot upset
/// the screen.
std::string nome_leggibile(const std::string& nome) {
  std::string out = "\"";
  for (const char ch : nome) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += ch;
    } else if (b >= 0x20 && b < 0x7f) {
      out += ch;
    } else if (b >= 0x80 && utf8_da_cp1252(std::string_view(&ch, 1)) != kSostituto) {
      out += utf8_da_cp1252(std::string_view(&ch, 1));
    } else {
      out += formato("\\x%02X", b);
    }
  }
  return out + "\"";
}

/// A coordinate for the table: metres to the millimetre, or in
/// exponent form when the bytes hold something far beyond any line.
std::string coordinata(double v) {
  return std::abs(v) < 1e9 ? formato("%.3f", v) : formato("%.6g", v);
}

json numero_o_null(const std::optional<double>& v) { return v ? json(*v) : json(nullptr); }

json numero_json(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

// ---- scenario file ----

std::string tabella_testata(const std::string& nome, const TestataLetta& voci, std::size_t byte) {
  std::string out = formato("%s: scenario file, %d entries, %zu bytes\n",
                            testo_scritto(nome).c_str(), kVociTestata, byte);
  out +=
      "entry tipo       dato1       dato2       dato3 opzione intero1 intero2 intero3 "
      "intero4 intero5 byte1 byte2 byte3 byte4       dato4 nome\n";
  for (int i = 0; i < kVociTestata; ++i) {
    const voce_testata& v = voci[static_cast<std::size_t>(i)];
    out += formato("%5d %4u %11ld %11ld %11ld %7u %7d %7d %7d %7d %7d %5u %5u %5u %5u %11ld ", i,
                   unsigned{v.tipo}, long{v.dato1}, long{v.dato2}, long{v.dato3},
                   unsigned{v.opzione}, int{v.intero1}, int{v.intero2}, int{v.intero3},
                   int{v.intero4}, int{v.intero5}, unsigned{v.byte1}, unsigned{v.byte2},
                   unsigned{v.byte3}, unsigned{v.byte4}, long{v.dato4});
    out += nome_leggibile(v.nome) + "\n";
  }
  const int32_t lunghezza = lunghezza_linea(voci);
  out += formato("line length (entry %d dato2): %ld m\n", kVoceTreno, long{lunghezza});
  return out;
}

json json_testata(const std::string& nome, const TestataLetta& voci, std::size_t byte) {
  json lista = json::array();
  for (int i = 0; i < kVociTestata; ++i) {
    const voce_testata& v = voci[static_cast<std::size_t>(i)];
    lista.push_back({{"voce", i},
                     {"tipo", v.tipo},
                     {"dato1", v.dato1},
                     {"dato2", v.dato2},
                     {"dato3", v.dato3},
                     {"opzione", v.opzione},
                     {"nome", utf8_da_cp1252(v.nome)},
                     {"intero1", v.intero1},
                     {"intero2", v.intero2},
                     {"intero3", v.intero3},
                     {"intero4", v.intero4},
                     {"intero5", v.intero5},
                     {"byte1", v.byte1},
                     {"byte2", v.byte2},
                     {"byte3", v.byte3},
                     {"byte4", v.byte4},
                     {"dato4", v.dato4}});
  }
  return {
      {"file", testo_scritto(nome)}, {"tipo", "testata_linea"}, {"byte", byte}, {"voci", lista}};
}

// ---- route file ----

std::string tabella_percorso(const std::string& nome, const std::vector<cella_percorso>& celle,
                             std::size_t byte) {
  std::string out = formato("%s: route file, %zu cells", testo_scritto(nome).c_str(), celle.size());
  if (!celle.empty()) out += formato(" (0 to %zu)", celle.size() - 1);
  out += formato(", %zu bytes\n", byte);
  std::map<int, std::size_t> per_tipo;
  for (const cella_percorso& c : celle)
    if (c.tipo != TipoCella::binario) ++per_tipo[static_cast<int>(c.tipo)];
  if (per_tipo.empty()) return out + "every cell is plain track\n";
  out += "cells that are not plain track:";
  for (const auto& [tipo, quante] : per_tipo)
    out += formato(" %s %zu,", nome_tipo_cella(static_cast<TipoCella>(tipo)), quante);
  out.back() = '\n';
  out +=
      " cell   from m tipo kind                 valore1 valore2 valore3 valore4 tempo "
      "avviso galleria velocita pendenza aderenza\n";
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const cella_percorso& c = celle[k];
    if (c.tipo == TipoCella::binario) continue;
    out +=
        formato("%5zu %8zu %4u %-20s %7d %7d %7d %7d %5u %6u %8u %8u %8u %8u\n", k,
                k * static_cast<std::size_t>(kMetriCella), static_cast<unsigned>(c.tipo),
                nome_tipo_cella(c.tipo), int{c.valore1}, int{c.valore2}, int{c.valore3},
                int{c.valore4}, unsigned{c.tempo_segnale}, unsigned{c.avviso}, unsigned{c.galleria},
                unsigned{c.velocita}, unsigned{c.pendenza}, unsigned{c.aderenza});
  }
  return out;
}

json json_percorso(const std::string& nome, const std::vector<cella_percorso>& celle,
                   std::size_t byte) {
  json lista = json::array();
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const cella_percorso& c = celle[k];
    if (c.tipo == TipoCella::binario) continue;
    lista.push_back({{"cella", k},
                     {"metri", k * static_cast<std::size_t>(kMetriCella)},
                     {"tipo", c.tipo},
                     {"nome_tipo", nome_tipo_cella(c.tipo)},
                     {"valore1", c.valore1},
                     {"valore2", c.valore2},
                     {"valore3", c.valore3},
                     {"valore4", c.valore4},
                     {"tempo_segnale", c.tempo_segnale},
                     {"avviso", c.avviso},
                     {"galleria", c.galleria},
                     {"velocita", c.velocita},
                     {"pendenza", c.pendenza},
                     {"aderenza", c.aderenza}});
  }
  return {{"file", testo_scritto(nome)},
          {"tipo", "percorso"},
          {"byte", byte},
          {"celle_totali", celle.size()},
          {"celle", lista}};
}

// ---- line compact file ----

std::string tabella_tracciato(const std::string& nome, const TracciatoLetto& t, std::size_t byte) {
  const EstensioneTracciato e = misura_tracciato(t);
  std::string out =
      formato("%s: line compact file, %zu rows", testo_scritto(nome).c_str(), e.righe);
  if (e.righe > 0) out += formato(" (0 to %zu)", e.righe - 1);
  out += formato(", %zu bytes\n", byte);
  out += formato(
      "computed points: %zu; rows with an empty coordinate: %zu; rows whose "
      "coordinates differ in kind: %zu\n",
      e.righe_calcolate, e.righe_vuote, e.righe_miste);
  if (e.prima_calcolata) {
    const std::size_t a = *e.prima_calcolata, b = *e.ultima_calcolata;
    out += formato("first computed point: row %zu (%s, %s)\n", a, coordinata(t.x[a].numero).c_str(),
                   coordinata(t.y[a].numero).c_str());
    out += formato("last computed point:  row %zu (%s, %s)\n", b, coordinata(t.x[b].numero).c_str(),
                   coordinata(t.y[b].numero).c_str());
  }
  if (e.min_x)
    out +=
        formato("x from %s to %s m\n", coordinata(*e.min_x).c_str(), coordinata(*e.max_x).c_str());
  if (e.min_y)
    out +=
        formato("y from %s to %s m\n", coordinata(*e.min_y).c_str(), coordinata(*e.max_y).c_str());
  return out;
}

json json_tracciato(const std::string& nome, const TracciatoLetto& t, std::size_t byte) {
  const EstensioneTracciato e = misura_tracciato(t);
  auto punto = [&](const std::optional<std::size_t>& riga) -> json {
    if (!riga) return nullptr;
    return {{"riga", *riga},
            {"x", numero_json(t.x[*riga].numero)},
            {"y", numero_json(t.y[*riga].numero)}};
  };
  return {{"file", testo_scritto(nome)},
          {"tipo", "tracciato_linea"},
          {"byte", byte},
          {"righe", e.righe},
          {"righe_vuote", e.righe_vuote},
          {"righe_calcolate", e.righe_calcolate},
          {"righe_miste", e.righe_miste},
          {"primo_calcolato", punto(e.prima_calcolata)},
          {"ultimo_calcolato", punto(e.ultima_calcolata)},
          {"min_x", numero_o_null(e.min_x)},
          {"max_x", numero_o_null(e.max_x)},
          {"min_y", numero_o_null(e.min_y)},
          {"max_y", numero_o_null(e.max_y)}};
}

void allarga(std::optional<double>& min, std::optional<double>& max, double v) {
  if (!std::isfinite(v)) return;
  if (!min || v < *min) min = v;
  if (!max || v > *max) max = v;
}

}  // namespace

TipoFileCompatto riconosci_file(const std::string& percorso) {
  const std::string nome = name_of(percorso);
  if (finisce_con(nome, "_linea.dat")) return TipoFileCompatto::tracciato;
  if (finisce_con(nome, ".dat")) return TipoFileCompatto::percorso;
  if (finisce_con(nome, ".sim")) return TipoFileCompatto::testata;
  return TipoFileCompatto::sconosciuto;
}

EstensioneTracciato misura_tracciato(const TracciatoLetto& t) {
  EstensioneTracciato e;
  e.righe = std::min(t.x.size(), t.y.size());
  for (std::size_t r = 0; r < e.righe; ++r) {
    const ValoreVariante& x = t.x[r];
    const ValoreVariante& y = t.y[r];
    if (x.tipo != y.tipo) ++e.righe_miste;
    if (x.tipo == TipoVariante::vuoto || y.tipo == TipoVariante::vuoto) {
      ++e.righe_vuote;
      continue;
    }
    if (x.tipo == TipoVariante::doppio && y.tipo == TipoVariante::doppio) {
      ++e.righe_calcolate;
      if (!e.prima_calcolata) e.prima_calcolata = r;
      e.ultima_calcolata = r;
    }
    allarga(e.min_x, e.max_x, x.numero);
    allarga(e.min_y, e.max_y, y.numero);
  }
  return e;
}

std::optional<ErroreFormato> ispeziona(const std::string& nome, TipoFileCompatto tipo,
                                       std::string_view bytes, std::string& testo, json& out) {
  switch (tipo) {
    case TipoFileCompatto::testata: {
      auto r = decodifica_testata(bytes);
      if (auto* e = std::get_if<ErroreFormato>(&r)) return *e;
      const auto& voci = std::get<TestataLetta>(r);
      testo = tabella_testata(nome, voci, bytes.size());
      out = json_testata(nome, voci, bytes.size());
      return std::nullopt;
    }
    case TipoFileCompatto::percorso: {
      auto r = decodifica_percorso(bytes);
      if (auto* e = std::get_if<ErroreFormato>(&r)) return *e;
      const auto& celle = std::get<std::vector<cella_percorso>>(r);
      testo = tabella_percorso(nome, celle, bytes.size());
      out = json_percorso(nome, celle, bytes.size());
      return std::nullopt;
    }
    case TipoFileCompatto::tracciato: {
      auto r = decodifica_tracciato(bytes);
      if (auto* e = std::get_if<ErroreFormato>(&r)) return *e;
      const auto& t = std::get<TracciatoLetto>(r);
      testo = tabella_tracciato(nome, t, bytes.size());
      out = json_tracciato(nome, t, bytes.size());
      return std::nullopt;
    }
    case TipoFileCompatto::sconosciuto:
      break;
  }
  return ErroreFormato{0, "not a compact file (NAME_linea.dat, NAME_CODE.sim or NAME_CODE.dat)"};
}

}  // namespace genera
