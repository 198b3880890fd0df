// The driver's documents: the notes, the slowdown order form and the
// timetable card, laid out as forms drawn with "|" and "_".
#include "sources/writers.h"

#include <string>
#include <string_view>
#include <vector>

#include "sources/scenario_names.h"
#include "sources/text_layout.h"

namespace genera {
namespace {

// ---------------------------------------------------------------- order form

constexpr std::string_view kModuloTesta[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
};

constexpr std::string_view kModuloTabella[] = {
    "",
    "  Si ordina al macchinista del treno 47316 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
};

constexpr std::string_view kModuloRigaVuota =
    " |   |                            |            |          |         |            |";

// The legend lists D before C, and keeps the form's own spelling.
constexpr std::string_view kModuloPiede[] = {
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
};

// A row of the order form's table: the stations cell holds a name, the
// others their own constant text.
std::string riga_modulo(std::string_view numero, std::string_view stazioni, std::string_view inizio,
                        std::string_view velocita, std::string_view lunghezza) {
  return " |" + a_sinistra(numero, 3) + "|" + a_sinistra(stazioni, 28) + "|" +
         a_sinistra(inizio, 12) + "|" + a_sinistra(velocita, 10) + "|" + a_sinistra(lunghezza, 9) +
         "|" + a_sinistra("", 12) + "|";
}

// ------------------------------------------------------------ timetable card

constexpr std::string_view kSchedaTesta[] = {
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA                   |              |",
};

constexpr std::string_view kSchedaCentro[] = {
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |        REG        |              |      300T         |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
};

constexpr std::string_view kSchedaRigaVuota =
    " |     |     |          |     |                            |                |     |";

constexpr std::string_view kSchedaPiede[] = {
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
};

// One timetable entry: every cell as the card writes it, except the place,
// which is laid into its cell by the writer.
struct VoceOrario {
  std::string_view limite;       // 5
  std::string_view marcia;       // 5
  std::string_view progressiva;  // 10
  std::string_view luogo;        // two blanks, the name, blanks to 28
  std::string_view orario;       // 16: arrival, single time, departure slots
  std::string_view rec;          // 5
};

// Times: "         hh.mm  " departure only, "     hh.mm      " a single time,
// " hh.mm   hh.mm  " arrival and departure.
constexpr VoceOrario kOrario[] = {
    {" 95  ", " 80  ", "  0+00    ", kStazione1, "         08.35  ", "     "},
    {"150  ", " 90  ", "  2+00    ", "Cippo Km", "     08.37      ", "     "},
    {"     ", " 130 ", "  4+490   ", kStazione2, "     08.39      ", "     "},
    {"     ", "     ", "  9+050   ", kStazione3, "     08.41      ", " 1   "},
    {"     ", "     ", " 11+970   ", kStazione4, "     08.43      ", "     "},
    {"     ", "     ", " 18+340   ", kStazione5, "     08.47      ", " 1   "},
    {"160  ", "     ", " 18+700   ", "Cartello Indicatore", "                ", "     "},
    {"     ", "     ", " 22+140   ", kStazione6, "     08.50      ", " 1   "},
    {"     ", "     ", " 28+190   ", kStazione7, " 08.56   08.57  ", "     "},
    {"     ", " 110 ", " 34+890   ", kStazione8, " 09.02   09.03  ", " 1   "},
    {"     ", "     ", " 39+660   ", kStazione9, " 09.08   09.09  ", "     "},
    {"     ", "     ", " 47+500   ", kStazione10, "     09.14      ", " 1   "},
    {"135  ", "     ", " 58+000   ", "Cippo Km", "     09.18      ", " 1   "},
    {" 75  ", "  70 ", " 60+932   ", "Sbocco galleria", "     09.25      ", "     "},
    {"     ", "     ", " 62+570   ", kStazione11, " 09.27   09.28  ", "     "},
    {"160  ", "  80 ", " 64+208   ", "Imbocco Galleria", "     09.30      ", " 1   "},
    {"     ", " 130 ", " 69+980   ", kStazione12, "     09.38      ", " 2   "},
    {"     ", "     ", " 79+240   ", kStazione13, " 09.43   09.44  ", " 1   "},
    {"120  ", " 100 ", " 87+000   ", "Cippo Km", "     09.52      ", " 2   "},
    {"     ", "  60 ", " 88+790   ", kStazione14, "     09.54      ", " 1   "},
};

std::string riga_orario(const VoceOrario& v) {
  return " |" + a_sinistra(v.limite, 5) + "|" + a_sinistra(v.marcia, 5) + "|" +
         a_sinistra(v.progressiva, 10) + "|" + a_sinistra("", 5) + "|" +
         a_sinistra("  " + std::string(v.luogo), 28) + "|" + a_sinistra(v.orario, 16) + "|" +
         a_sinistra(v.rec, 5) + "|";
}

}  // namespace

ListaRighe dati_note() {
  std::vector<std::string> righe = {
      "LA LINEA PRESENTA LE STESSE DIFFICOLTA' DEL " + std::string(kAltroTreno),
      "IL 47316 E' UN REGIONALE CON L'ORARIO MOLTO LARGo",
      "PER QUESTO L'HO MOVIMENTATO UN PO'",
      "BUON DIVERTIMENTO",
      std::string(kIndirizzoAutore),
  };
  return chiudi_lista(righe);
}

ListaRighe dati_rallentamenti() {
  std::vector<std::string> righe;
  aggiungi(righe, kModuloTesta);
  righe.push_back("  Linea  " + std::string(kStazione1) + " " + std::string(kMontalbaMaiuscolo));
  aggiungi(righe, kModuloTabella);
  // The slowdown lies in the tunnel between stations 9 and 10.
  const std::string tratta = " " + std::string(kStazione9) + " e " + std::string(kStazione10);
  righe.push_back(riga_modulo("  1", tratta, " 42+850", "    50    ", " 100"));
  righe.push_back(riga_modulo("", "  Galleria  " + std::string(kGalleria41700), "", "", ""));
  righe.insert(righe.end(), 23, std::string(kModuloRigaVuota));
  aggiungi(righe, kModuloPiede);
  return chiudi_lista(righe);
}

ListaRighe dati_scheda() {
  std::vector<std::string> righe;
  aggiungi(righe, kSchedaTesta);
  // Both terminal names start in column 46.
  righe.push_back(" |   TRENO n.47316   |                   da: " + a_sinistra(kStazione1, 22) +
                  "|    V160 B    |");
  righe.push_back(" |___________________|                    a: " + a_sinistra(kArrivoScheda, 22) +
                  "|     125%     |");
  aggiungi(righe, kSchedaCentro);
  for (const VoceOrario& v : kOrario) righe.push_back(riga_orario(v));
  righe.insert(righe.end(), 12, std::string(kSchedaRigaVuota));
  aggiungi(righe, kSchedaPiede);
  return chiudi_lista(righe);
}

}  // namespace genera
