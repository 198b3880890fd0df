#include "view/author_fields.h"

#include <span>

#include "view/text_policy.h"

namespace genera {
namespace {

struct NomeCampo {
  std::string_view nome;
  std::string_view unita;
};

constexpr NomeCampo kPendenza[] = {{"posizione", "m"}, {"pendenza", "\xe2\x80\xb0"}};
constexpr NomeCampo kCurva[] = {{"posizione", "m"}, {"lunghezza", "m"}};
constexpr NomeCampo kMontagna[] = {{"inizio", "m"}, {"fine", "m"}, {"tipo", ""}};
constexpr NomeCampo kIndicatori[] = {{"posizione", "m"}, {"vas", "km/h"}, {"vbs", "km/h"},
                                     {"vcs", "km/h"},    {"strisces", ""}, {"vad", "km/h"},
                                     {"vbd", "km/h"},    {"vcd", "km/h"},  {"strisced", ""}};
constexpr NomeCampo kCartello[] = {{"posizione", "m"}, {"testo", ""}};
constexpr NomeCampo kVelocita[] = {{"posizione", "m"}, {"velocita", "km/h"}};
constexpr NomeCampo kAderenza[] = {{"posizione", "m"}, {"aderenza", ""}};
constexpr NomeCampo kSegnale[] = {{"posizione", "m"}, {"sx", ""}, {"s1", ""}, {"s2", ""},
                                  {"s3", ""},         {"rapp", ""}, {"dx", ""}, {"d1", ""},
                                  {"d2", ""},         {"d3", ""},   {"tempo", ""}};
constexpr NomeCampo kRallentamento[] = {{"x", "m"},  {"v", "km/h"}, {"l", "m"},
                                        {"f_tt", ""}, {"f_ta", ""},  {"d_v", ""}};
constexpr NomeCampo kAbbattimento[] = {{"posizione", "m"}, {"valore", ""}};
constexpr NomeCampo kStazione[] = {
    {"posizione", "m"}, {"tipo", ""},    {"lunghezza", "m"}, {"opzione", ""}, {"byte4", ""},
    {"byte3", ""},      {"intero1", ""}, {"intero2", ""},    {"byte1", ""},   {"intero3", ""},
    {"intero4", ""},    {"intero5", ""}, {"byte2", ""},      {"ore", "h"},    {"minuti", "min"},
    {"secondi", "s"},   {"nome", ""}};

std::span<const NomeCampo> nomi(Chiave c) {
  switch (c) {
    case Chiave::pendenza:
      return kPendenza;
    case Chiave::curva:
      return kCurva;
    case Chiave::montagna:
      return kMontagna;
    case Chiave::indicatori_v_max:
      return kIndicatori;
    case Chiave::cartello_indicatore:
      return kCartello;
    case Chiave::velocita:
      return kVelocita;
    case Chiave::aderenza:
      return kAderenza;
    case Chiave::segnale:
      return kSegnale;
    case Chiave::rallentamento:
      return kRallentamento;
    case Chiave::abbattimento:
      return kAbbattimento;
    case Chiave::stazione:
      return kStazione;
    default:
      return {};
  }
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<CampoAutore> campi_autore(Chiave chiave, std::string_view riga, int colonna) {
  std::vector<CampoAutore> out;
  if (colonna < 1 || static_cast<std::size_t>(colonna - 1) >= riga.size()) return out;
  std::string_view resto = riga.substr(static_cast<std::size_t>(colonna - 1));
  const std::size_t dopo_chiave = resto.find(',');
  if (dopo_chiave == std::string_view::npos) return out;
  resto.remove_prefix(dopo_chiave + 1);
  const std::span<const NomeCampo> n = nomi(chiave);
  for (std::size_t i = 0; !resto.empty() || i == 0; ++i) {
    const std::size_t virgola = resto.find(',');
    const std::string_view valore = senza_spazi(resto.substr(0, virgola));
    if (i < n.size()) {
      out.push_back({std::string(n[i].nome), std::string(n[i].unita), testo_scritto(valore)});
    } else if (!valore.empty()) {
      out.push_back({"field " + std::to_string(i + 1), "", testo_scritto(valore)});
    }
    if (virgola == std::string_view::npos || out.size() >= 24) break;
    resto.remove_prefix(virgola + 1);
  }
  return out;
}

}  // namespace genera
