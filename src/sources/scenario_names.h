// The names of the scenario's places: stations, tunnels and the other
// names the texts carry. Each is written once here, so the line source, the
// train source and the driver's documents always name a place the same way.
// The checks at the end keep every name inside the room its texts give it
// and free of anything the source readers would take for a record.
#pragma once

#include <cstddef>
#include <string_view>

#include "model/keywords.h"
#include "model/text.h"

namespace genera {

// Stations of the train source, in journey order. The timetable card names
// them in its place cells in the same order.
inline constexpr std::string_view kStazione1 = "LIVRA";        // 0 m, first terminal
inline constexpr std::string_view kStazione2 = "San Vito";     // 4500 m
inline constexpr std::string_view kStazione3 = "Casalpiano";   // 9050 m
inline constexpr std::string_view kStazione4 = "Roveto";       // 11950 m
inline constexpr std::string_view kStazione5 = "Fontanelle";   // 18350 m
inline constexpr std::string_view kStazione6 = "Pietralunga";  // 22150 m
inline constexpr std::string_view kStazione7 = "Castelnuovo";  // 28200 m
inline constexpr std::string_view kStazione8 = "Villa Rosa";   // 34900 m
inline constexpr std::string_view kStazione9 = "Valcerreto";   // 39650 m
// 47500 m, a place inside a tunnel; its board at 47150 shows the name.
inline constexpr std::string_view kStazione10 = "ORTA";
inline constexpr std::string_view kStazione11 = "Pian di Serra";      // 62600 m
inline constexpr std::string_view kStazione12 = "Selvapiana";         // 70250 m
inline constexpr std::string_view kStazione13 = "Pratolungo";         // 79650 m
inline constexpr std::string_view kStazione14 = "Montalba Centrale";  // 89800 m, second terminal

// The second terminal's town: the last tunnel board shows it in mixed case,
// the order form's line name and the card's heading in capitals.
inline constexpr std::string_view kMontalba = "Montalba";
inline constexpr std::string_view kMontalbaMaiuscolo = "MONTALBA";

// The card's heading abbreviates the arrival station after "a: ".
inline constexpr std::string_view kArrivoScheda = "MONTALBA C.LE";

// Tunnel names, by the position of the board that announces them.
inline constexpr std::string_view kGalleria30150 = "San Martino";   // 30300 to 30600 m
inline constexpr std::string_view kGalleria35900 = "Poggio Rosso";  // 36050 to 36500 m
// 41950 to 43750 m; the slowdown of the order form lies in it.
inline constexpr std::string_view kGalleria41700 = "Cerreto";
inline constexpr std::string_view kGalleria45650 = "Monte Sacro";  // 45700 to 54900 m
// 56900 to 60950 m, a two-part name over two board lines.
inline constexpr std::string_view kGalleria56800Prima = "Serra";
inline constexpr std::string_view kGalleria56800Seconda = "Castagneto";
inline constexpr std::string_view kGalleria64000 = "Roccabruna";    // 64200 to 69900 m
inline constexpr std::string_view kGalleria70900 = "Passo Lupone";  // 71000 to 79050 m
inline constexpr std::string_view kGalleria80800 = "Pratolungo";    // 80900 to 87850 m

// The notes: the train whose line is as hard as this one, and where to
// write to the author.
inline constexpr std::string_view kAltroTreno = "DIRETTO 2861";
inline constexpr std::string_view kIndirizzoAutore = "scenari.livra@example.org";

namespace nomi_detail {

// A name fit for a source: 7-bit printable, no field or comment marks, no
// section brackets, and no word that either reader matches as a record.
constexpr bool numerale(std::string_view parola) {
  return parola == "uno" || parola == "due" || parola == "tre";
}

constexpr bool nome_ammesso(std::string_view nome) {
  if (nome.empty() || nome.front() == ' ' || nome.back() == ' ') return false;
  for (char c : nome) {
    if (c < ' ' || c > '~' || c == ',' || c == '-' || c == '[' || c == ']' || c == '"' ||
        c == '(' || c == ')')
      return false;
  }
  if (contiene(nome, kGenerale.substr(1, kGenerale.size() - 2))) return false;
  for (const ParolaChiave& p : kParoleChiave) {
    if (contiene(nome, p.parola)) return false;
    if (!p.seconda.empty() && !numerale(p.seconda) && contiene(nome, p.seconda)) return false;
  }
  return true;
}

constexpr bool maiuscolo(std::string_view nome) {
  for (char c : nome) {
    if (c >= 'a' && c <= 'z') return false;
  }
  return true;
}

constexpr bool stessa_parola(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (minuscola(a[i]) != minuscola(b[i])) return false;
  }
  return true;
}

}  // namespace nomi_detail

// Every name goes into a source or beside one, and every station fits a
// card place cell: two blanks and the name in 28.
inline constexpr std::string_view kStazioni[] = {
    kStazione1, kStazione2, kStazione3,  kStazione4,  kStazione5,  kStazione6,  kStazione7,
    kStazione8, kStazione9, kStazione10, kStazione11, kStazione12, kStazione13, kStazione14};
inline constexpr std::string_view kGallerie[] = {
    kGalleria30150,        kGalleria35900, kGalleria41700, kGalleria45650, kGalleria56800Prima,
    kGalleria56800Seconda, kGalleria64000, kGalleria70900, kGalleria80800, kMontalba};

namespace nomi_detail {
constexpr bool tutti_ammessi() {
  for (std::string_view nome : kStazioni) {
    if (!nome_ammesso(nome) || nome.size() > 26) return false;
  }
  for (std::string_view nome : kGallerie) {
    if (!nome_ammesso(nome)) return false;
  }
  return true;
}
}  // namespace nomi_detail

static_assert(nomi_detail::tutti_ammessi());

// Board widths: a board's lines share the width of its longest line, and
// "Galleria" (8) is one of them.
static_assert(kGalleria30150.size() == 11);
static_assert(kGalleria35900.size() == 12);
static_assert(kGalleria41700.size() <= 8);
static_assert(kGalleria45650.size() == 11);
static_assert(kGalleria56800Prima.size() + 2 <= 10 && kGalleria56800Seconda.size() <= 10 &&
              (kGalleria56800Prima.size() + 2 == 10 || kGalleria56800Seconda.size() == 10));
static_assert(kGalleria64000.size() == 10);
static_assert(kGalleria70900.size() == 12);
static_assert(kGalleria80800.size() == 10);
static_assert(kMontalba.size() <= 8);

// The station board at 47150 is one line of four capitals.
static_assert(kStazione10.size() == 4 && nomi_detail::maiuscolo(kStazione10));

// The second terminal: two words, the first the town of the last board.
static_assert(kStazione14.starts_with(kMontalba) && kStazione14.size() > kMontalba.size() + 1 &&
              kStazione14[kMontalba.size()] == ' ' &&
              kStazione14.substr(kMontalba.size() + 1).find(' ') == std::string_view::npos);
static_assert(nomi_detail::stessa_parola(kMontalba, kMontalbaMaiuscolo) &&
              nomi_detail::maiuscolo(kMontalbaMaiuscolo));
static_assert(kArrivoScheda.starts_with(kMontalbaMaiuscolo) && kArrivoScheda.size() <= 22);

// The order form's stations cell holds " ", station 9, " e ", station 10,
// and its next line "  Galleria  " and the tunnel, each in 28.
static_assert(1 + kStazione9.size() + 3 + kStazione10.size() <= 28);
static_assert(12 + kGalleria41700.size() <= 28);

}  // namespace genera
