#include "model/schema.h"

#include <array>
#include <cmath>

#include "model/rounding.h"
#include "model/text.h"

namespace genera {
namespace {

constexpr std::string_view kComeLetto = "stored for the simulator as read";
constexpr int64_t kMin32 = INT32_MIN;
constexpr int64_t kMax32 = INT32_MAX;

// A field of one byte in a table entry: outside 0 to 255 the reading fails.
constexpr Campo byte_voce(std::string_view nome, std::string_view memoria,
                          std::string_view significato = kComeLetto) {
  return {.nome = nome,
          .significato = significato,
          .memorizzabile_min = 0,
          .memorizzabile_max = 255,
          .fuori = Fuori::guasto,
          .sensato_min = 0,
          .sensato_max = 255,
          .memoria = memoria};
}

// A 16-bit field of a table entry: outside its range the reading fails.
constexpr Campo intero_voce(std::string_view nome, std::string_view memoria,
                            std::string_view significato = kComeLetto, std::string_view unita = "",
                            int64_t min = -32768, int64_t max = 32767) {
  return {.nome = nome,
          .significato = significato,
          .unita = unita,
          .memorizzabile_min = -32768,
          .memorizzabile_max = 32767,
          .fuori = Fuori::guasto,
          .sensato_min = min,
          .sensato_max = max,
          .memoria = memoria};
}

// A value packed into a 16-bit cell field with others: it wraps.
constexpr Campo impacchettato(std::string_view nome, std::string_view significato,
                              int64_t sensato_max, std::string_view memoria,
                              std::string_view unita = "") {
  return {.nome = nome,
          .significato = significato,
          .unita = unita,
          .memorizzabile_min = -3276,
          .memorizzabile_max = 3276,
          .fuori = Fuori::basso_16,
          .sensato_min = 0,
          .sensato_max = sensato_max,
          .memoria = memoria};
}

// The position of a record along the line, in metres.
constexpr Campo posizione(std::string_view significato, std::string_view sigla = "p",
                          std::string_view nome = "posizione") {
  return {.nome = nome,
          .sigla = sigla,
          .significato = significato,
          .unita = "m",
          .sensato_min = 0,
          .memoria = "decides the cell"};
}

// ------------------------------------------------------------ line header

constexpr Campo kLunghezza[] = {
    {.nome = "lunghezza",
     .sigla = "L",
     .significato = "the line's length; the grid runs from cell 0 to round((L + 7000) / 50), "
                    "7000 m past the end, and the plan has one row a metre",
     .unita = "m",
     .memorizzabile_max = 1000000,
     .fuori = Fuori::rifiutato,
     .codice_fuori = Codice::lunghezza_eccessiva,
     .sensato_min = 1,
     .sensato_max = 1000000,
     .memoria = "entry 84 `dato2`"},
};

constexpr Campo kProgressiva[] = {
    {.nome = "primo",
     .significato = "orders the three progressives, the largest first",
     .unita = "m",
     .multiplo = 50,
     .codice_multiplo = Codice::progressive_non_multiple,
     .memoria = "`dato1` of entry 81, 82 or 83, after ordering"},
    {.nome = "secondo",
     .significato = "stored; 100 is added when `terzo` is 1",
     .unita = "m",
     .multiplo = 50,
     .codice_multiplo = Codice::progressive_non_multiple,
     .memoria = "`dato2` of the same entry"},
    {.nome = "terzo",
     .significato = "1 adds 100 to `secondo`; otherwise stored as read",
     .memoria = "`dato3` of the same entry"},
};

constexpr Campo kSfondoUno[] = {
    {.nome = "sfondo", .significato = kComeLetto, .memoria = "entry 85 `dato1`"}};
constexpr Campo kSfondoDue[] = {
    {.nome = "sfondo", .significato = kComeLetto, .memoria = "entry 85 `dato3`"}};
constexpr Campo kSfondoTre[] = {
    {.nome = "sfondo", .significato = kComeLetto, .memoria = "entry 85 `dato2`"}};

constexpr Campo kRipetizione[] = {
    {.nome = "inizio",
     .significato = "the start of the stretch with cab-signal repetition",
     .unita = "m",
     .sensato_min = 0,
     .multiplo = 50,
     .codice_multiplo = Codice::ripetizione_inizio_non_multiplo,
     .memoria = "entry 86 `dato1`"},
    {.nome = "fine",
     .significato = "the end of the stretch; 0 for no repetition, and the number of codes "
                    "(4 or 9, from the key) is then stored as 0",
     .unita = "m",
     .multiplo = 50,
     .codice_multiplo = Codice::ripetizione_fine_non_multiplo,
     .vincolo = Vincolo::zero_o_dopo_precedente,
     .memoria = "entry 86 `dato2`"},
};

// -------------------------------------------------------------- line body

constexpr Campo kPendenza[] = {
    posizione("where the gradient starts: cell round(p / 50)"),
    {.nome = "pendenza",
     .sigla = "g",
     .significato = "the gradient from here to the next gradient record",
     .unita = "‰",
     .memorizzabile_min = -100,
     .memorizzabile_max = 155,
     .fuori = Fuori::basso_8,
     .scarto = 100,
     .sensato_min = -100,
     .sensato_max = 155,
     .memoria = "the cells' `pendenza`, as g + 100 in one byte"},
};

constexpr Campo kCurva[] = {
    posizione("where the curve starts: the plan runs straight up to this metre"),
    {.nome = "lunghezza",
     .sigla = "len",
     .significato = "the metres that turn, p + 1 to p + len; the key's digit 1 to 6 gives "
                    "the turn per metre and an `s` turns left",
     .unita = "m",
     .sensato_min = 1,
     .memoria = "the plan's rows"},
};

constexpr Campo kMontagna[] = {
    posizione("where the tunnel starts: its first cell is round(a / 50)", "a", "inizio"),
    {.nome = "fine",
     .sigla = "b",
     .significato = "where the tunnel ends: its last cell is round(b / 50 - 1)",
     .unita = "m",
     .vincolo = Vincolo::dopo_precedente,
     .memoria = "decides the last cell"},
    {.nome = "tipo",
     .significato =
         "the tunnel's kind (0 lays none); above 10 a lit tunnel of kind tipo - 10, with a "
         "marker on every fourth cell still empty; one starting 150 m or less "
         "after the previous tunnel's end is stored as kind 3",
     .memorizzabile_min = 0,
     .memorizzabile_max = 255,
     .fuori = Fuori::basso_8,
     .sensato_min = 1,
     .sensato_max = 255,
     .memoria = "the cells' `galleria`"},
};

constexpr Campo kIndicatori[] = {
    posizione("the board takes cell round(p / 50 + 1)"),
    {.nome = "vas",
     .significato = "the first speed of the s group",
     .unita = "km/h",
     .memorizzabile_min = -1638,
     .memorizzabile_max = 1638,
     .fuori = Fuori::guasto,
     .sensato_min = 0,
     .sensato_max = 1638,
     .memoria = "`valore1`, packed as round(vad / 5 + vas × 20)"},
    {.nome = "vbs",
     .significato = "the second speed of the s group",
     .unita = "km/h",
     .memorizzabile_min = -1638,
     .memorizzabile_max = 1638,
     .fuori = Fuori::guasto,
     .sensato_min = 0,
     .sensato_max = 1638,
     .memoria = "`valore2`, packed as round(vbd / 5 + vbs × 20)"},
    {.nome = "vcs",
     .significato = "the third speed of the s group",
     .unita = "km/h",
     .memorizzabile_min = -1638,
     .memorizzabile_max = 1638,
     .fuori = Fuori::guasto,
     .sensato_min = 0,
     .sensato_max = 1638,
     .memoria = "`valore3`, packed as round(vcd / 5 + vcs × 20)"},
    impacchettato("strisces", "the stripe count of the s group", 3276,
                  "`valore4`, packed as strisces × 10 + strisced"),
    {.nome = "vad",
     .significato = "the first speed of the d group; empty reads as 0",
     .unita = "km/h",
     .sensato_min = 0,
     .sensato_max = 95,
     .multiplo = 5,
     .memoria = "`valore1`, with vas; read back whole only as a multiple of 5 below 100"},
    {.nome = "vbd",
     .significato = "the second speed of the d group; empty reads as 0",
     .unita = "km/h",
     .sensato_min = 0,
     .sensato_max = 95,
     .multiplo = 5,
     .memoria = "`valore2`, with vbs; read back whole only as a multiple of 5 below 100"},
    {.nome = "vcd",
     .significato = "the third speed of the d group; empty reads as 0",
     .unita = "km/h",
     .sensato_min = 0,
     .sensato_max = 95,
     .multiplo = 5,
     .memoria = "`valore3`, with vcs; read back whole only as a multiple of 5 below 100"},
    {.nome = "strisced",
     .significato = "the stripe count of the d group",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 9,
     .memoria = "`valore4`, the units digit"},
};

constexpr Campo kCartello[] = {
    posizione("the board takes cell round(p / 50 + 1)"),
    {.nome = "testo",
     .significato = "the board's text: one to three display lines, each in ( and ); no "
                    "comma unless the text is in double quotes",
     .lettura = Lettura::testo,
     .memoria = "`nome` of entry 80 for the first board, 79 for the next, ...; in code "
                "page 1252"},
};

// ----------------------------------------------------------------- train

constexpr Campo kMassaFrenata[] = {
    {.nome = "percentuale",
     .significato = "the braked-mass percentage",
     .unita = "%",
     .sensato_min = 0,
     .sensato_max = 300,
     .memoria = "entry 84 `dato1`"},
};

constexpr Campo kVetture[] = {
    {.nome = "vetture",
     .significato = "the number of cars",
     .sensato_min = 1,
     .sensato_max = 1000,
     .memoria = "entry 84 `dato3`"},
};

constexpr Campo kVelocita[] = {
    posizione("where the speed limit starts: cell round(p / 50)"),
    {.nome = "velocita",
     .sigla = "v",
     .significato = "the speed limit from here to the next speed record",
     .unita = "km/h",
     .memorizzabile_min = -2,
     .memorizzabile_max = 1277,
     .fuori = Fuori::guasto,
     .divisore = 5,
     .sensato_min = 5,
     .sensato_max = 1275,
     .multiplo = 5,
     .memoria = "the cells' `velocita`, as round(v / 5)"},
};

constexpr Campo kAderenza[] = {
    posizione("where the adhesion starts: cell round(p / 50)"),
    {.nome = "aderenza",
     .significato = "the rail adhesion from here to the next adhesion record; stored for "
                    "the simulator as read",
     .memorizzabile_min = 0,
     .memorizzabile_max = 255,
     .fuori = Fuori::basso_8,
     .sensato_min = 0,
     .sensato_max = 255,
     .memoria = "the cells' `aderenza`"},
};

constexpr Campo kOrologio[] = {
    intero_voce("ore", "entry 86 `intero3`", "the hours of the scenario's clock", "h", 0, 23),
    intero_voce("minuti", "entry 86 `intero4`", "its minutes", "min", 0, 59),
    intero_voce("secondi", "entry 86 `intero5`", "its seconds", "s", 0, 59),
};

constexpr Campo kSabbia[] = {
    intero_voce("sabbia", "entry 86 `intero1`"),
};

constexpr Campo kSegnale[] = {
    posizione("the signal takes cell s = round(p / 50 + 1); its approach markers go on "
              "cells s - 2, s - 4, s - 6 and s - 8"),
    {.nome = "sx",
     .significato = "the kind of the signal's left side; 2 also keeps `tempo`",
     .memorizzabile_min = -3276,
     .memorizzabile_max = 3276,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 2,
     .memoria = "`valore4`, as rapp × 10 + sx × 3 + dx; the markers' `avviso`"},
    impacchettato("s1", "the first value of the left side", 3276, "`valore1`, as s1 × 10 + d1"),
    impacchettato("s2", "the second value of the left side", 3276, "`valore2`, as s2 × 10 + d2"),
    impacchettato("s3", "the third value of the left side", 3276, "`valore3`, as s3 × 10 + d3"),
    impacchettato("rapp", "a value packed with the two kinds", 3276,
                  "`valore4`, as rapp × 10 + sx × 3 + dx"),
    {.nome = "dx",
     .significato = "the kind of the signal's right side",
     .memorizzabile_min = -3276,
     .memorizzabile_max = 3276,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 2,
     .memoria = "`valore4`, as rapp × 10 + sx × 3 + dx; the markers' `avviso`"},
    {.nome = "d1",
     .significato = "the first value of the right side",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 9,
     .memoria = "`valore1`, the units digit"},
    {.nome = "d2",
     .significato = "the second value of the right side",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 9,
     .memoria = "`valore2`, the units digit"},
    {.nome = "d3",
     .significato = "the third value of the right side",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .sensato_min = 0,
     .sensato_max = 9,
     .memoria = "`valore3`, the units digit"},
    {.nome = "tempo",
     .significato = "a time kept with a signal whose sx is 2; 0 for none; 1 to 100 are "
                    "raised to 101",
     .memorizzabile_min = 0,
     .memorizzabile_max = 255,
     .fuori = Fuori::basso_8,
     .sensato_min = 0,
     .sensato_max = 255,
     .memoria = "the cell's `tempo_segnale`, one byte"},
};

constexpr Campo kRallentamento[] = {
    posizione("the start: start cell S = round(x / 50 + 1); above 1500 m a warning board "
              "stands 1200 m before it",
              "x"),
    {.nome = "velocita",
     .sigla = "v",
     .significato = "the slowdown's speed; below 110 km/h codes are laid along it",
     .unita = "km/h",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .sensato_min = 1,
     .sensato_max = 1275,
     .memoria = "`valore1` of the board, start and end cells"},
    {.nome = "lunghezza",
     .sigla = "l",
     .significato = "the slowdown's length: end cell E = round((x + l) / 50 + 1), which must "
                    "lie after S (else error 113)",
     .unita = "m",
     .sensato_min = 1,
     .memoria = "decides the end cell"},
    {.nome = "f_tt",
     .significato = kComeLetto,
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .memoria = "`valore3` of the start and end cells"},
    {.nome = "f_ta",
     .significato = "not 0: the four cells before the warning board are marked too",
     .memoria = "decides the four cells"},
    {.nome = "d_v",
     .significato = "not 0: written into the board, start and end cells, and numbers the "
                    "four cells a second time",
     .memorizzabile_min = -32768,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .memoria = "`valore2` of the board, start and end cells"},
};

constexpr Campo kAbbattimento[] = {
    posizione("the cell round(p / 50), the one holding p"),
    {.nome = "valore",
     .significato = "above 0: a code cell (kind 12) of this value; 0 or less: a cut with no "
                    "value (kind 13)",
     .memorizzabile_min = kMin32,
     .memorizzabile_max = 32767,
     .fuori = Fuori::basso_16,
     .memoria = "the cell's `valore1`"},
};

constexpr Campo kStazione[] = {
    {.nome = "posizione",
     .sigla = "p",
     .significato = "where the station stands; its area is laid around it by its kind",
     .unita = "m",
     .sensato_min = 0,
     .multiplo = 50,
     .codice_multiplo = Codice::stazione_non_multipla,
     .memoria = "`dato3`"},
    byte_voce("tipo", "`tipo`",
              "the station's kind: it chooses the area and whether the station gets a stop "
              "cell and approach markers"),
    {.nome = "lunghezza",
     .sigla = "L",
     .significato = "the length of the station's area",
     .unita = "m",
     .sensato_min = 1,
     .multiplo = 100,
     .codice_multiplo = Codice::lunghezza_stazione_non_multipla,
     .memoria = "not stored; decides `dato1` and `dato2`"},
    byte_voce("opzione", "`opzione`"),
    byte_voce("byte4", "`byte4`",
              "stored for the simulator as read; made 0 when L is below 600, and for the "
              "first station"),
    byte_voce("byte3", "`byte3`",
              "not 0: an ordinary area ends 50 m later; made 0 for kinds 5 to 8 and for the "
              "first station"),
    intero_voce("intero1", "`intero1`"),
    intero_voce("intero2", "`intero2`"),
    byte_voce("byte1", "`byte1`"),
    intero_voce("intero3", "`intero3`"),
    intero_voce("intero4", "`intero4`"),
    intero_voce("intero5", "`intero5`"),
    byte_voce("byte2", "`byte2`"),
    {.nome = "ore",
     .significato = "the hours of the scheduled time; 0, 0, 0 for no time",
     .unita = "h",
     .sensato_min = 0,
     .sensato_max = 23,
     .memoria = "`dato4`, as (ore × 60 + minuti) × 60 + secondi"},
    {.nome = "minuti",
     .significato = "its minutes",
     .unita = "min",
     .sensato_min = 0,
     .sensato_max = 59,
     .memoria = "`dato4`"},
    {.nome = "secondi",
     .significato = "its seconds",
     .unita = "s",
     .sensato_min = 0,
     .sensato_max = 59,
     .memoria = "`dato4`"},
    {.nome = "nome",
     .significato = "the station's name; no comma unless in double quotes",
     .lettura = Lettura::testo,
     .memoria = "`nome`, in code page 1252"},
};

constexpr std::array<SchemaRecord, kParoleChiave.size()> kSchema{{
    {Chiave::lunghezza_percorso, "makes the grid and the plan", kLunghezza},
    {Chiave::progressiva_tre, "a kilometric progressive", kProgressiva},
    {Chiave::progressiva_due, "a kilometric progressive", kProgressiva},
    {Chiave::progressiva_uno, "a kilometric progressive", kProgressiva},
    {Chiave::sfondo_uno, "a background value", kSfondoUno},
    {Chiave::sfondo_due, "a background value", kSfondoDue},
    {Chiave::sfondo_tre, "a background value", kSfondoTre},
    {Chiave::ripetizione_segnali,
     "the stretch with cab-signal repetition; the key's 4 or 9 is the number of codes",
     kRipetizione},
    {Chiave::pendenza, "a gradient from a position on", kPendenza},
    {Chiave::curva, "a curve of the plan (read only when the plan is built)", kCurva},
    {Chiave::montagna, "a tunnel", kMontagna},
    {Chiave::indicatori_v_max, "a speed-indicator board", kIndicatori},
    {Chiave::cartello_indicatore, "an indicator board with a text", kCartello},
    {Chiave::massa_frenata, "the braked-mass percentage", kMassaFrenata},
    {Chiave::vetture, "the number of cars", kVetture},
    {Chiave::velocita, "a speed limit from a position on", kVelocita},
    {Chiave::aderenza, "the adhesion from a position on", kAderenza},
    {Chiave::orologio, "the scenario's clock", kOrologio},
    {Chiave::sabbia, "the sand", kSabbia},
    {Chiave::segnale, "a signal", kSegnale},
    {Chiave::rallentamento, "a slowdown", kRallentamento},
    {Chiave::abbattimento, "a code cut", kAbbattimento},
    {Chiave::stazione, "a station", kStazione},
}};

constexpr bool schema_in_ordine() {
  for (std::size_t i = 0; i < kSchema.size(); ++i) {
    if (static_cast<std::size_t>(kSchema[i].chiave) != i) return false;
    if (kSchema[i].campi.size() != static_cast<std::size_t>(kParoleChiave[i].valori)) return false;
  }
  return true;
}
static_assert(schema_in_ordine(), "one row per keyword, as many fields as it reads");

// The enumerators' names, for cerca_record.
constexpr std::string_view kNomiChiave[] = {
    "lunghezza_percorso",
    "progressiva_tre",
    "progressiva_due",
    "progressiva_uno",
    "sfondo_uno",
    "sfondo_due",
    "sfondo_tre",
    "ripetizione_segnali",
    "pendenza",
    "curva",
    "montagna",
    "indicatori_v_max",
    "cartello_indicatore",
    "massa_frenata",
    "vetture",
    "velocita",
    "aderenza",
    "orologio",
    "sabbia",
    "segnale",
    "rallentamento",
    "abbattimento",
    "stazione",
};
static_assert(std::size(kNomiChiave) == kParoleChiave.size());

bool uguali_senza_maiuscole(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (minuscola(a[i]) != minuscola(b[i])) return false;
  return true;
}

int64_t taglia(int64_t v, int bit) {
  const int64_t modulo = int64_t{1} << bit;
  int64_t r = v % modulo;
  if (r < 0) r += modulo;
  return r;
}

std::string numero_scritto(int64_t v) {
  if (v == kMin32) return "-2147483648";
  return std::to_string(v);
}

}  // namespace

std::span<const SchemaRecord> schema_sorgenti() { return kSchema; }

const SchemaRecord& schema_record(Chiave c) { return kSchema[static_cast<std::size_t>(c)]; }

const SchemaRecord* cerca_record(std::string_view nome) {
  for (std::size_t i = 0; i < kSchema.size(); ++i) {
    const ParolaChiave& p = kParoleChiave[i];
    if (uguali_senza_maiuscole(nome, p.scritta) || uguali_senza_maiuscole(nome, p.parola) ||
        uguali_senza_maiuscole(nome, kNomiChiave[i]))
      return &kSchema[i];
  }
  return nullptr;
}

const SchemaRecord* record_della_chiave(std::string_view campo, Blocco blocco) {
  for (const SchemaRecord& r : kSchema)
    if (r.parola().blocco == blocco && nomina(r.parola(), campo)) return &r;
  return nullptr;
}

const Campo* campo_di(const SchemaRecord& r, std::size_t indice) {
  return indice < r.campi.size() ? &r.campi[indice] : nullptr;
}

const Campo* cerca_campo(const SchemaRecord& r, std::string_view nome) {
  for (const Campo& c : r.campi)
    if (c.nome == nome || (!c.sigla.empty() && c.sigla == nome)) return &c;
  return nullptr;
}

std::optional<int64_t> riletto(const Campo& c, int64_t v) {
  int64_t m = v;
  if (c.divisore != 1) m = static_cast<int64_t>(arrotonda(static_cast<double>(v) / c.divisore));
  m += c.scarto;
  switch (c.fuori) {
    case Fuori::nulla:
      break;
    case Fuori::basso_8:
      m = taglia(m, 8);
      break;
    case Fuori::basso_16: {
      m = taglia(m, 16);
      // A signed 16-bit field reads back with its sign.
      if (m > 32767) m -= 65536;
      break;
    }
    case Fuori::guasto:
    case Fuori::rifiutato:
      if (!memorizzabile(c, v)) return std::nullopt;
      break;
  }
  return (m - c.scarto) * c.divisore;
}

std::string scrivi_memorizzabile(const Campo& c) {
  if (c.lettura == Lettura::testo) return "text";
  if (c.memorizzabile_min == kMin32 && c.memorizzabile_max == kMax32) return "32-bit";
  if (c.memorizzabile_min == kMin32) return "at most " + numero_scritto(c.memorizzabile_max);
  if (c.memorizzabile_min == -32768 && c.memorizzabile_max == 32767) return "16-bit";
  return numero_scritto(c.memorizzabile_min) + " to " + numero_scritto(c.memorizzabile_max);
}

std::string scrivi_sensato(const SchemaRecord& r, const Campo& c) {
  if (c.lettura == Lettura::testo) return "any";
  std::string s;
  const bool min = c.sensato_min != kMin32;
  const bool max = c.sensato_max != kMax32;
  if (min && max)
    s = numero_scritto(c.sensato_min) + " to " + numero_scritto(c.sensato_max);
  else if (min && c.sensato_min == 1)
    s = "above 0";
  else if (min)
    s = numero_scritto(c.sensato_min) + " or more";
  else if (max)
    s = "at most " + numero_scritto(c.sensato_max);
  const std::size_t i = static_cast<std::size_t>(&c - r.campi.data());
  const std::string precedente =
      i > 0 && i <= r.campi.size() ? "after `" + std::string(r.campi[i - 1].nome) + "`" : "";
  switch (c.vincolo) {
    case Vincolo::nessuno:
      break;
    case Vincolo::dopo_precedente:
      s += (s.empty() ? "" : ", ") + precedente;
      break;
    case Vincolo::zero_o_dopo_precedente:
      s = "0, or " + precedente + (s.empty() ? "" : ", " + s);
      break;
    case Vincolo::zero_o_sensato:
      s = "0, or " + s;
      break;
  }
  if (c.multiplo != 0)
    s += (s.empty() ? "" : ", ") + std::string("a multiple of ") + std::to_string(c.multiplo);
  return s.empty() ? "any" : s;
}

std::string_view scrivi_fuori(const Campo& c) {
  switch (c.fuori) {
    case Fuori::nulla:
      return "stored whole";
    case Fuori::basso_8:
      return "wraps: only the low 8 bits are kept";
    case Fuori::basso_16:
      return "wraps: only the low 16 bits are kept";
    case Fuori::guasto:
      return "the reading fails (error 25)";
    case Fuori::rifiutato:
      return "refused with its own error";
  }
  return "";
}

std::string descrivi_campo(const Campo& c) {
  std::string s(c.nome);
  if (!c.unita.empty()) s += " (" + std::string(c.unita) + ")";
  s += ": ";
  s += c.significato;
  return s;
}

std::string firma_record(const SchemaRecord& r) {
  std::string s(r.parola().scritta);
  for (const Campo& c : r.campi) {
    s += ", ";
    s += c.nome;
  }
  return s;
}

std::string tabella_campi(std::span<const Chiave> record) {
  std::string out =
      "| Field | Unit | Storable | Sensible | What it is; where it is stored |\n"
      "|-------|------|----------|----------|--------------------------------|\n";
  const bool per_record = record.size() > 1;
  for (const Chiave k : record) {
    const SchemaRecord& r = schema_record(k);
    for (std::size_t i = 0; i < r.campi.size(); ++i) {
      const Campo& c = r.campi[i];
      const bool di_record = per_record && r.campi.size() == 1;
      std::string nome =
          di_record ? "`" + std::string(r.parola().scritta) + "`" : "`" + std::string(c.nome) + "`";
      if (!di_record && !c.sigla.empty()) nome += " " + std::string(c.sigla);
      // Long records are spoken of by field number.
      if (r.campi.size() > 9) nome = std::to_string(i + 1) + " " + nome;
      std::string memorizza = scrivi_memorizzabile(c);
      if (c.fuori != Fuori::nulla) {
        memorizza += "; beyond: ";
        switch (c.fuori) {
          case Fuori::basso_8:
            memorizza += "wraps to 8 bits";
            break;
          case Fuori::basso_16:
            memorizza += "wraps to 16 bits";
            break;
          case Fuori::guasto:
            memorizza += "error 25";
            break;
          case Fuori::rifiutato:
            memorizza += "error " + std::to_string(numero(c.codice_fuori));
            break;
          case Fuori::nulla:
            break;
        }
      }
      std::string senso = scrivi_sensato(r, c);
      if (c.codice_multiplo != Codice::nessuno)
        senso += " (else error " + std::to_string(numero(c.codice_multiplo)) + ")";
      out += "| " + nome + " | " + std::string(c.unita) + " | " + memorizza + " | " + senso +
             " | " + std::string(c.significato) + "; " + std::string(c.memoria) + " |\n";
    }
  }
  return out;
}

}  // namespace genera
