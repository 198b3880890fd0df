#include "view/page_data.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <string>

#include "compiler/compile.h"
#include "sources/writers.h"

namespace genera {
namespace {

using json = nlohmann::json;

std::string testo(ListaRighe (*scrivi)()) {
  std::string t;
  testo_righe(scrivi(), [&](std::string_view riga) { t += riga; });
  return t;
}

struct Compilato {
  std::string linea, treno;
  ScenarioCompilato s;
  json dati;
};

/// The two sources compiled as `view` compiles them, and the page's data.
Compilato compila_vista(std::string linea, std::string treno) {
  Compilato c{std::move(linea), std::move(treno), {}, {}};
  c.s = compila({"L_linea.txt", true, c.linea, {}}, {"L_T-.txt", true, c.treno, {}},
                {"L", "T", true}, non_eliminare);
  c.dati = dati_vista(c.s, {"L_linea.txt", c.linea}, {"L_T-.txt", c.treno}, {"L", "T", 7});
  return c;
}

const Compilato& builtin() {
  static const Compilato c = compila_vista(testo(dati_linea), testo(dati_treno));
  return c;
}

/// The record `id` names, and the text of its line as the page holds it.
std::pair<json, std::string> record_e_riga(const json& d, IdRecord id) {
  const json r = d["record"].at(std::to_string(id));
  const json& righe = d["sorgenti"][r[0].get<int>()]["righe"];
  return {r, righe.value(std::to_string(r[2].get<int>()), std::string("(missing)"))};
}

TEST(PageData, EveryThingNamesARecordWhoseLineThePageHolds) {
  const json& d = builtin().dati;
  EXPECT_EQ(d["versione"], 7);
  EXPECT_EQ(d["lunghezza"], 89000);
  EXPECT_EQ(d["celle"], builtin().s.percorso.size());
  EXPECT_EQ(d["sorgenti"][0]["nome"], "L_linea.txt");
  EXPECT_EQ(d["sorgenti"][1]["nome"], "L_T-.txt");
  std::size_t nominati = 0;
  for (const json& o : d["oggetti"]) {
    const IdRecord id = o[7];
    ASSERT_NE(id, 0u) << "cell " << o[0];
    const auto [r, riga] = record_e_riga(d, id);
    // The line starts with the key the record was read from.
    EXPECT_EQ(riga.rfind(r[1].get<std::string>(), 0), 0u) << riga;
    ++nominati;
  }
  EXPECT_GT(nominati, 100u);
  for (const json& st : d["stazioni"]) {
    const auto [r, riga] = record_e_riga(d, st[7]);
    EXPECT_EQ(r[1], "stazione");
    EXPECT_EQ(r[3], st[2]);
    EXPECT_NE(riga.find(st[1].get<std::string>()), std::string::npos) << riga;
  }
}

TEST(PageData, ValuesTheTailsAndThePostPassDecidedNameTheirRecords) {
  const json& d = builtin().dati;
  // A code cell of the post-pass names the slowdown at 42850 m.
  std::size_t codici = 0;
  for (const json& o : d["oggetti"]) {
    if (o[1] != TipoCella::codice) continue;
    const auto [r, riga] = record_e_riga(d, o[7]);
    EXPECT_EQ(r[1], "rallentamento");
    EXPECT_EQ(r[3], 42850);
    EXPECT_EQ(riga.rfind("rallentamento,   42850", 0), 0u) << riga;
    ++codici;
  }
  EXPECT_GT(codici, 0u);
  // The last run of each profile is the tail's, and names the last record.
  const struct {
    const char* profilo;
    int valore;
    const char* chiave;
    int posizione;
  } casi[] = {{"pendenza", 0, "pendenza", 79250},
              {"velocita", 110, "velocita", 87500},
              {"aderenza", 85, "aderenza", 59400}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.profilo);
    const json& corse = d["profili"][c.profilo];
    ASSERT_GE(corse.size(), 3u);
    EXPECT_EQ(corse.size() % 3, 0u);
    EXPECT_EQ(corse[0], 0);
    EXPECT_EQ(corse[corse.size() - 2], c.valore);
    const auto [r, riga] = record_e_riga(d, corse.back());
    EXPECT_EQ(r[1], c.chiave);
    EXPECT_EQ(r[3], c.posizione);
  }
}

TEST(PageData, TunnelsBoardsAndStationsAsTheModelHoldsThem) {
  const json& d = builtin().dati;
  ASSERT_EQ(d["gallerie"].size(), 9u);
  // montagna 30300 to 30600, kind 2: not lit; 41950 to 43750, kind 11: lit.
  EXPECT_EQ(d["gallerie"][0], json({606, 611, 2, 0, d["gallerie"][0][4], 30300, 30600}));
  EXPECT_EQ(d["gallerie"][2][0], 839);
  EXPECT_EQ(d["gallerie"][2][3], 1);
  EXPECT_EQ(d["cartelli"]["80"], "(Galleria   )(San Martino)");
  ASSERT_EQ(d["stazioni"].size(), 14u);
  EXPECT_EQ(d["stazioni"][13][1], "Montalba Centrale");
  EXPECT_EQ(d["stazioni"][13][2], 89800);
  EXPECT_EQ(d["stazioni"][0][6], 8 * 3600 + 50 * 60);
}

TEST(PageData, TheThinnedPlanStaysWithinItsToleranceOfThePlan) {
  const Compilato& c = builtin();
  const json& t = c.dati["tracciato"];
  const tracciato_linea& p = c.s.tracciato;
  ASSERT_EQ(t["righe"], p.righe);
  std::vector<double> righe, x, y;
  double r = 0, cx = 0, cy = 0;
  for (std::size_t i = 0; i < t["r"].size(); ++i) {
    r += t["r"][i].get<double>();
    cx += t["x"][i].get<double>();
    cy += t["y"][i].get<double>();
    righe.push_back(r), x.push_back(cx / 100), y.push_back(cy / 100);
  }
  ASSERT_EQ(righe.front(), 0);
  ASSERT_EQ(righe.back(), p.righe_valide() - 1);
  EXPECT_LT(righe.size(), 5000u);
  // Every metre of the plan lies near the thinned line between its rows.
  const double tolleranza = t["tolleranza"].get<double>() + 0.01;
  std::size_t k = 0;
  for (int m = 0; m < p.righe_valide(); m += 7) {
    while (righe[k + 1] < m) ++k;
    const double f = (m - righe[k]) / (righe[k + 1] - righe[k]);
    const double px = x[k] + (x[k + 1] - x[k]) * f, py = y[k] + (y[k + 1] - y[k]) * f;
    // The point of the chord may slide along it; the distance to the chord counts.
    const double dx = x[k + 1] - x[k], dy = y[k + 1] - y[k];
    const double n = std::hypot(dx, dy);
    const double fuori = n > 0 ? std::abs((p.x[m] - x[k]) * dy - (p.y[m] - y[k]) * dx) / n
                               : std::hypot(p.x[m] - px, p.y[m] - py);
    ASSERT_LE(fuori, tolleranza) << "metre " << m;
  }
}

TEST(PageData, DiagnosticsNameTheirSourceAndLine) {
  std::string treno = testo(dati_treno);
  // A second signal on the cell of the one at 2800 m.
  const std::string segnale = "segnale,    2800,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n";
  treno.insert(treno.find(segnale) + segnale.size(),
               "segnale,    2810,   1, 4, 1,  0, 0,    1,  3,1,0, 0\r\n");
  const Compilato c = compila_vista(testo(dati_linea), treno);
  const json& dd = c.dati["diagnostiche"];
  // The warning of a position off the grid comes first: the error is what counts here.
  const auto errore =
      std::find_if(dd.begin(), dd.end(), [](const json& x) { return x["gravita"] == "error"; });
  ASSERT_NE(errore, dd.end());
  const json& d = *errore;
  EXPECT_EQ(d["codice"], 16);
  EXPECT_EQ(d["gravita"], "error");
  EXPECT_EQ(d["sorgente"], 1);
  EXPECT_EQ(d["file"], "L_T-.txt");
  EXPECT_EQ(d["posizione"], 2810);
  const std::string riga =
      c.dati["sorgenti"][1]["righe"].value(std::to_string(d["riga"].get<int>()), "");
  EXPECT_EQ(riga.rfind("segnale,    2810", 0), 0u) << riga;
}

/// The object the page draws on `cella`, or null.
json oggetto(const json& d, int cella) {
  for (const json& o : d["oggetti"])
    if (o[0] == cella) return o;
  return nullptr;
}

TEST(PageData, EveryObjectStandsWhereItsCellBegins) {
  std::string treno = testo(dati_treno);
  const std::string primo = "segnale,";
  treno.insert(treno.find(primo), "abbattimento, 5000, 180\r\nabbattimento, 6025, 0\r\n");
  const Compilato c = compila_vista(testo(dati_linea), treno);
  const json& d = c.dati;
  const struct {
    const char* cosa;
    int cella;
    TipoCella tipo;
    int metri;
  } casi[] = {
      {"abbattimento, 5000, 180: the cell holding 5000 m", 100, TipoCella::codice, 5000},
      {"abbattimento, 6025, 0: 120.5 rounds to 120", 120, TipoCella::abbattimento, 6000},
      {"segnale at 2800: the cell after", 57, TipoCella::segnale, 2850},
      {"Valcerreto's stop, the last cell of its area", 798, TipoCella::fermata, 39900},
      {"a code cell of the post-pass", 840, TipoCella::codice, 42000},
      {"slowdown start at 42850", 858, TipoCella::inizio_rallentamento, 42900},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.cosa);
    const json o = oggetto(d, k.cella);
    ASSERT_FALSE(o.is_null()) << k.cella;
    EXPECT_EQ(o[1], k.tipo);
    EXPECT_EQ(o[8], k.metri);
  }
  const json valcerreto = *std::find_if(d["stazioni"].begin(), d["stazioni"].end(),
                                        [](const json& s) { return s[1] == "Valcerreto"; });
  EXPECT_EQ(valcerreto[8], 798);
  EXPECT_EQ(d["tipi_cella"]["12"], json({"codice", "Code cell", "code"}));
}

TEST(PageData, RecordsCarryTheAuthorsFields) {
  const json& d = builtin().dati;
  const json o = oggetto(d, 165);  // segnale, 8200, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0
  ASSERT_FALSE(o.is_null());
  const json campi = d["record"].at(std::to_string(o[7].get<int>()))[4];
  ASSERT_EQ(campi.size(), 11u);
  EXPECT_EQ(campi[0], json({"posizione", "m", "8200"}));
  EXPECT_EQ(campi[1], json({"sx", "", "2"}));
  EXPECT_EQ(campi[10], json({"tempo", "", "0"}));
}

TEST(PageData, TextIsUtf8AndCannotEndTheScriptElement) {
  std::string treno = testo(dati_treno);
  treno.replace(treno.find("San Vito"), 8, "S\xe0n </script><!-- Vito");
  const Compilato c = compila_vista(testo(dati_linea), treno);
  EXPECT_EQ(c.dati["stazioni"][1][1], "S\xc3\xa0n </script><!-- Vito");
  const std::string t = testo_dati(c.dati);
  EXPECT_EQ(t.find('<'), std::string::npos);
  EXPECT_EQ(json::parse(t), c.dati);
}

}  // namespace
}  // namespace genera
