#include "lsp/fields.h"

namespace genera::lsp {
namespace {

DescrizioneCampo n(std::string nome, std::string unita, std::string significato,
                   std::string intervallo = {}) {
  return {std::move(nome), std::move(unita), std::move(significato), std::move(intervallo), false};
}

DescrizioneCampo t(std::string nome, std::string significato) {
  return {std::move(nome), {}, std::move(significato), {}, true};
}

const char* kComeLetto = "stored for the simulator as read";
const char* kLong = "-2147483648 to 2147483647";
const char* kInteger = "-32768 to 32767";
const char* kByte = "0 to 255";

}  // namespace

std::vector<DescrizioneCampo> campi_di(Chiave c) {
  switch (c) {
    case Chiave::lunghezza_percorso:
      return {n("lunghezza", "m", "the line's length; the grid runs 7000 m past it", "0 to 1000000")};
    case Chiave::progressiva_tre:
    case Chiave::progressiva_due:
    case Chiave::progressiva_uno:
      return {n("primo", "m", "the ordering key of the progressive; a multiple of 50", kLong),
              n("secondo", "m", "a multiple of 50; 100 is added when the third value is 1", kLong),
              n("terzo", "", "1 adds 100 to the second value", kLong)};
    case Chiave::sfondo_uno:
    case Chiave::sfondo_due:
    case Chiave::sfondo_tre:
      return {n("sfondo", "", kComeLetto, kLong)};
    case Chiave::ripetizione_segnali:
      return {n("inizio", "m", "start of the cab-signal stretch; a multiple of 50", kLong),
              n("fine", "m", "end of the cab-signal stretch; a multiple of 50", kLong)};
    case Chiave::pendenza:
      return {n("posizione", "m", "where the gradient starts; it holds to the next gradient record",
                "0 to the line's length + 6900"),
              n("pendenza", "‰", "the gradient, stored plus 100 in one byte", "-100 to 155")};
    case Chiave::curva:
      return {n("posizione", "m", "where the curve starts; the key carries the side (s: left) "
                                  "and the class digit 1 to 6"),
              n("lunghezza", "m", "the curve's length")};
    case Chiave::montagna:
      return {n("inizio", "m", "where the tunnel starts"), n("fine", "m", "where the tunnel ends"),
              n("tipo", "", "the tunnel kind; above 10: lit, with a marker every 200 m", kByte)};
    case Chiave::indicatori_v_max:
      return {n("posizione", "m", "the board's position; it takes cell posizione / 50 + 1"),
              n("vas", "km/h", "speed A of the left group", kLong),
              n("vbs", "km/h", "speed B of the left group", kLong),
              n("vcs", "km/h", "speed C of the left group", kLong),
              n("strisces", "", "stripes of the left group", kLong),
              n("vad", "km/h", "speed A of the right group; a multiple of 5 below 100", kLong),
              n("vbd", "km/h", "speed B of the right group; a multiple of 5 below 100", kLong),
              n("vcd", "km/h", "speed C of the right group; a multiple of 5 below 100", kLong),
              n("strisced", "", "stripes of the right group", kLong)};
    case Chiave::cartello_indicatore:
      return {n("posizione", "m", "the board's position; it takes cell posizione / 50 + 1"),
              t("testo", "the board's text, one to three lines each in parentheses: "
                         "\"(Galleria)(Montalba)\"; quote it when it holds a comma")};
    case Chiave::massa_frenata:
      return {n("percentuale", "%", "the braked-mass percentage", kLong)};
    case Chiave::vetture:
      return {n("vetture", "", "the number of cars", kLong)};
    case Chiave::velocita:
      return {n("posizione", "m", "where the speed limit starts; it holds to the next one"),
              n("velocita", "km/h", "the speed limit", kByte)};
    case Chiave::aderenza:
      return {n("posizione", "m", "where the adhesion value starts; it holds to the next one"),
              n("aderenza", "", "the adhesion value", kByte)};
    case Chiave::orologio:
      return {n("ore", "h", "the scenario clock's hours", "0 to 23"),
              n("minuti", "min", "the scenario clock's minutes", "0 to 59"),
              n("secondi", "s", "the scenario clock's seconds", "0 to 59")};
    case Chiave::sabbia:
      return {n("sabbia", "", "the sand value", kInteger)};
    case Chiave::segnale:
      return {n("posizione", "m", "the signal's position; it takes cell posizione / 50 + 1"),
              n("sx", "", "kind of the left side; 2 also enables tempo", "1 or 2"),
              n("s1", "", "first left-side value", "0 to 6"),
              n("s2", "", "second left-side value", "0 to 6"),
              n("s3", "", "third left-side value", "0 to 6"),
              n("rapp", "", "an extra value packed with the two kinds", "0"),
              n("dx", "", "kind of the right side", "1 or 2"),
              n("d1", "", "first right-side value", "0 to 3"),
              n("d2", "", "second right-side value", "0 to 3"),
              n("d3", "", "third right-side value", "0 to 3"),
              n("tempo", "s", "a time kept with signals whose sx is 2; 0 for none", kByte)};
    case Chiave::rallentamento:
      return {n("x", "m", "start of the slowdown; its warning board stands 1200 m before"),
              n("v", "km/h", "the speed written into the warning-board, start and end cells"),
              n("l", "m", "the slowdown's length; it ends at x + l"),
              n("f_tt", "", "written into the start and end cells", kInteger),
              n("f_ta", "", "not 0: also mark the four cells before the warning board", kLong),
              n("d_v", "", "not 0: also written into the board, start and end cells", kInteger)};
    case Chiave::abbattimento:
      return {n("posizione", "m", "the cell of the code cut"),
              n("valore", "", "the value stored in the cell; 0 for none", kInteger)};
    case Chiave::stazione:
      return {n("posizione", "m", "where the station starts; a multiple of 50"),
              n("tipo", "", "the station's kind: selects its area and its cells", kByte),
              n("lunghezza", "m", "the length of the station's area; a multiple of 100"),
              n("campo 4", "", kComeLetto, kByte),
              n("campo 5", "", "forced to 0 below 600 m and for the first station", kByte),
              n("campo 6", "", "not 0: the area ends 50 m further", kByte),
              n("campo 7", "", kComeLetto, kInteger),
              n("campo 8", "", kComeLetto, kInteger),
              n("campo 9", "", kComeLetto, kByte),
              n("campo 10", "", kComeLetto, kInteger),
              n("campo 11", "", kComeLetto, kInteger),
              n("campo 12", "", kComeLetto, kInteger),
              n("campo 13", "", kComeLetto, kByte),
              n("ore", "h", "the scheduled time's hours; 0:00:00 for no time", "0 to 23"),
              n("minuti", "min", "the scheduled time's minutes", "0 to 59"),
              n("secondi", "s", "the scheduled time's seconds", "0 to 59"),
              t("nome", "the station's name, up to the next comma; quote it when it holds one")};
  }
  return {};
}

}  // namespace genera::lsp
