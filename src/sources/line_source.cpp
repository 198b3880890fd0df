// The line source: the line's fixed infrastructure as the line source
// reader expects it.
#include "sources/writers.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "sources/scenario_names.h"
#include "sources/text_layout.h"

namespace genera {
namespace {

constexpr std::string_view kRigheGenerale[] = {
    "[generale]",
    "lunghezza percorso,    89000",
    "progressiva chilometrica uno,    1000,    0,    0",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    1",
    "sfondo due,    60000",
    "sfondo tre,    80000",
    "ripetizione segnali 9 codici,    1000,    89500",
};

constexpr std::string_view kCurve[] = {
    "[curve]",
    "curvas6,  750,  250",
    "curvas1,  1000,  1000",
    "curvas1,  2000,  300",
    "curvas3,  6500,  300",
    "curvad4,  12900,  300",
    "curvas1,  13550,  550",
    "curvad4,  15100,  300",
    "curvad3,  15500,  300",
    "curvad3,  16100,  300",
    "curvas1,  18050,  300",
    "curvas1,  23650,  300",
    "curvas1,  26000,  300",
    "curvad3,  26500,  650",
    "curvad2,  37250,  1200",
    "curvas2,  39150,  1250",
    "curvad2,  44750,  1950",
    "curvad5,  60900,  300",
    "curvad5,  63150,  300",
    "curvas1,  78950,  1850",
    "curvad1,  86300,  650",
    "curvad1,  86950,  1150",
};

// The first record has blanks of its own.
constexpr std::string_view kPendenze[] = {
    "[pendenze]",
    "pendenza,   0,    0",
    "pendenza,  1250,   7",
    "pendenza,  4500,   10",
    "pendenza,  18350,   0",
    "pendenza,  22150,   7",
    "pendenza,  28200,   9",
    "pendenza,  39650,   14",
    "pendenza,  62300,   5",
    "pendenza,  62400,   2",
    "pendenza,  62600,   0",
    "pendenza,  63450,   19",
    "pendenza,  64200,   15",
    "pendenza,  79250,   0",
};

// The last tunnel runs past the line's end; the reader takes it as it is.
constexpr std::string_view kMontagne[] = {
    "[montagne]",
    "montagna,   30300,  30600,  2",
    "montagna,   36050,  36500,  2",
    "montagna,   41950,  43750,  11",
    "montagna,   45700,  54900,  11",
    "montagna,   56900,  60950,  11",
    "montagna,   64200,  69900,  11",
    "montagna,   71000,  79050,  11",
    "montagna,   80900,  87850,  11",
    "montagna,   88250,  89250,  11",
};

constexpr std::string_view kCartelli[] = {
    "[cartelli]",
    "indicatori_vmax,  2000,  140,  150,  150,  0,  ,  ,  ,  0",
    "indicatori_vmax,  18700,  140,  160,  180,  0,  ,  ,  ,  0",
    "indicatori_vmax,  57000,  130,  135,  140,  2,  ,  ,  ,  0",
    "indicatori_vmax,  57500,  130,  135,  140,  1,  ,  ,  ,  0",
    "indicatori_vmax,  58000,  130,  135,  140,  0,  ,  ,  ,  0",
    "indicatori_vmax,  59950,  70,  75,  80,  2,  ,  ,  ,  0",
    "indicatori_vmax,  60450,  70,  75,  80,  1,  ,  ,  ,  0",
    "indicatori_vmax,  60950,  70,  75,  80,  0,  ,  ,  ,  0",
    "indicatori_vmax,  64200,  140,  160,  180,  0,  ,  ,  ,  0",
    "indicatori_vmax,  85850,  100,  110,  120,  2,  ,  ,  ,  0",
    "indicatori_vmax,  86450,  100,  110,  120,  1,  ,  ,  ,  0",
    "indicatori_vmax,  87050,  100,  110,  120,  0,  ,  ,  ,  0",
};

std::string cartello(const char* posizione, std::initializer_list<std::string_view> testo) {
  return std::string("cartello_indicatore,  ") + posizione + ",   " + testo_cartello(testo);
}

}  // namespace

ListaRighe dati_linea() {
  std::vector<std::string> righe;
  aggiungi(righe, kRigheGenerale);
  aggiungi(righe, kCurve);
  aggiungi(righe, kPendenze);
  aggiungi(righe, kMontagne);
  aggiungi(righe, kCartelli);
  righe.push_back("[indicazioni]");
  righe.push_back(cartello("30150", {"Galleria", kGalleria30150}));
  righe.push_back(cartello("35900", {"Galleria", kGalleria35900}));
  righe.push_back(cartello("41700", {"Galleria", kGalleria41700}));
  righe.push_back(cartello("45650", {"Galleria", kGalleria45650, "9200 mt."}));
  righe.push_back(cartello("47150", {kStazione10}));
  const std::string prima_parte = std::string(kGalleria56800Prima) + " e";
  righe.push_back(cartello("56800", {"GALLERIA", prima_parte, kGalleria56800Seconda}));
  righe.push_back(cartello("64000", {"GALLERIA", kGalleria64000}));
  righe.push_back(cartello("70900", {"Galleria", kGalleria70900, "8067 mt."}));
  righe.push_back(cartello("80800", {"Galleria", kGalleria80800, "6934 mt."}));
  righe.push_back(cartello("88150", {"Galleria", kMontalba}));
  righe.push_back("[fine]");
  return chiudi_lista(righe);
}

}  // namespace genera
