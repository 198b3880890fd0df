// The train source: the train, its profiles, stations, slowdown and
// signals as the train source reader expects them.
#include "sources/writers.h"

#include <string>
#include <string_view>
#include <vector>

#include "sources/scenario_names.h"
#include "sources/text_layout.h"

namespace genera {
namespace {

// The clock's three values are apart by blanks alone, and the line keeps
// its trailing blank.
constexpr std::string_view kRigheGenerale[] = {
    "[generale]",
    "numero vetture,    8",
    "percentuale massa frenata,    125",
    "sabbia,    300",
    "orologio,    8               49            0 ",
};

constexpr std::string_view kAderenze[] = {
    "[aderenze]",
    "aderenza,       0,    90",
    "aderenza,   34100,    85",
    "aderenza,   59400,    85",
};

constexpr std::string_view kVelLimite[] = {
    "[vel_limite]",
    "velocita,       0,    95",
    "velocita,    2000,   150",
    "velocita,   18350,   160",
    "velocita,   58500,   135",
    "velocita,   61600,    75",
    "velocita,   64250,   160",
    "velocita,   87500,   110",
};

// A station record: its sixteen fields, then the name.
struct StazioneScritta {
  std::string_view campi;
  std::string_view nome;
};

constexpr StazioneScritta kStazioniTreno[] = {
    {"stazione,       0,  2,  900,  0, 1, 0,  1,1,0,  4,1,1,    1,   8,50, 0, ", kStazione1},
    {"stazione,    4500, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, ", kStazione2},
    {"stazione,    9050, 28,  400,  0, 0, 0,  0,0,0,  0,0,0,  120,   0, 0, 0, ", kStazione3},
    {"stazione,   11950, 22,  600,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, ", kStazione4},
    {"stazione,   18350, 12,  700,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, ", kStazione5},
    {"stazione,   22150, 22,  500,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, ", kStazione6},
    {"stazione,   28200, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,   8,57, 0, ", kStazione7},
    {"stazione,   34900, 22,  500,  0, 0, 0,  0,0,0,  4,1,1,   45,   9, 3, 0, ", kStazione8},
    {"stazione,   39650, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,   60,   9, 9, 0, ", kStazione9},
    {"stazione,   47500, 26,  500,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, ", kStazione10},
    {"stazione,   62600,  4,  700,  1, 1, 0,  4,1,1,  2,1,1,   40,   9,28, 0, ", kStazione11},
    {"stazione,   70250, 24,  400,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, ", kStazione12},
    {"stazione,   79650, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,   45,   9,44, 0, ", kStazione13},
    {"stazione,   89800,  2,  700,  1, 1, 0,  2,1,0,  2,1,1,    0,   9,54, 0, ", kStazione14},
};

constexpr std::string_view kRallentamenti[] = {
    "[rallentamenti]",
    "rallentamento,   42850,    60,  200, 0,  1,  50",
};

// Signals by position; only the one at 9200 carries a time.
constexpr std::string_view kSegnali[] = {
    "[segnali]",
    "segnale,    2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,    4000,   2, 4, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,    7000,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,    8200,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,    9200,   2, 4, 0,  0, 0,    2,  2,0,0, 215",
    "segnale,   10400,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   11500,   2, 4, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   12650,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   14250,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   15650,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   16850,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   17800,   2, 4, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   19900,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   21100,   2, 4, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   24100,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   25450,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   26650,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   27750,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   31300,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   33050,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   34250,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   36400,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   37800,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   39000,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   43600,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   46800,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   51850,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   60600,   1, 5, 6,  0, 0,    1,  3,1,0, 0",
    "segnale,   61800,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
    "segnale,   67600,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   68800,   2, 4, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   73300,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   77000,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
    "segnale,   78800,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,   83500,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   85800,   2, 4, 0,  0, 0,    2,  2,0,0, 0",
    "segnale,   87400,   1, 5, 6,  0, 0,    1,  3,1,0, 0",
    "segnale,   88600,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
};

}  // namespace

ListaRighe dati_treno() {
  std::vector<std::string> righe;
  aggiungi(righe, kRigheGenerale);
  aggiungi(righe, kAderenze);
  aggiungi(righe, kVelLimite);
  righe.push_back("[stazioni]");
  for (const StazioneScritta& s : kStazioniTreno) {
    righe.push_back(std::string(s.campi) + std::string(s.nome));
  }
  aggiungi(righe, kRallentamenti);
  aggiungi(righe, kSegnali);
  // Codes come from the post-pass: the header stands alone.
  righe.push_back("[codici]");
  righe.push_back("[fine]");
  return chiudi_lista(righe);
}

}  // namespace genera
