#include "bench/long_scenario.h"

#include <cstdio>
#include <set>

namespace genera::bench {
namespace {

constexpr int kLunghezza = 1000000;

void riga(std::string& out, const char* format, auto... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, args...);
  out += buffer;
  out += "\r\n";
}

// Cell conventions of the grid, for keeping the generated objects apart.
int cella_punto(int p) { return p / 50 + 1; }

}  // namespace

LongScenario genera_scenario_lungo() {
  LongScenario s;
  std::set<int> occupate;   // cells that take an object, in placing order
  std::set<int> preavvisi;  // cells that take a station's approach markers

  std::string& l = s.linea;
  riga(l, "[generale]");
  riga(l, "lunghezza percorso,    %d", kLunghezza);
  riga(l, "progressiva chilometrica uno,    1000,    0,    0");
  riga(l, "progressiva chilometrica due,    0,    0,    0");
  riga(l, "progressiva chilometrica tre,    0,    0,    0");
  riga(l, "sfondo uno,    1");
  riga(l, "sfondo due,    60000");
  riga(l, "sfondo tre,    80000");
  riga(l, "ripetizione segnali 9 codici,    1000,    %d", kLunghezza - 1000);
  riga(l, "[curve]");
  for (int k = 0, p = 750; p + 300 <= kLunghezza; ++k, p += 2000)
    riga(l, "curva%c%d,  %d,  300", k % 2 ? 's' : 'd', 1 + k % 6, p);
  riga(l, "[pendenze]");
  for (int k = 0, p = 0; p <= kLunghezza; ++k, p += 1000)
    riga(l, "pendenza,  %d,   %d", p, k % 21 - 5);
  riga(l, "[montagne]");
  for (int k = 0; k < 80; ++k) {
    const int inizio = 12500 * k + 6000;
    riga(l, "montagna,   %d,  %d,  %d", inizio, inizio + 2000, k % 2 ? 11 : 2);
  }
  riga(l, "[cartelli]");
  for (int p = 3050; p < kLunghezza; p += 25000) {
    riga(l, "indicatori_vmax,  %d,  140,  150,  160,  %d,  ,  ,  ,  0", p, (p / 25000) % 3);
    occupate.insert(cella_punto(p));
  }
  riga(l, "[indicazioni]");
  for (int k = 0; k < 80; k += 2) {
    const int p = 12500 * k + 5800;
    riga(l, "cartello_indicatore,  %d,   (Galleria )(Nr. %4d)", p, k);
    occupate.insert(cella_punto(p));
  }
  riga(l, "[fine]");

  std::string& t = s.treno;
  riga(t, "[generale]");
  riga(t, "numero vetture,    8");
  riga(t, "percentuale massa frenata,    125");
  riga(t, "sabbia,    300");
  riga(t, "orologio,    8               49            0 ");
  riga(t, "[aderenze]");
  for (int p = 0; p < kLunghezza; p += 100000)
    riga(t, "aderenza,%8d,%6d", p, (p / 100000) % 2 ? 85 : 90);
  riga(t, "[vel_limite]");
  for (int p = 0; p < kLunghezza; p += 20000)
    riga(t, "velocita,%8d,%6d", p, 100 + (p / 20000) % 7 * 10);
  riga(t, "[stazioni]");
  for (int m = 0; m < 37; ++m) {
    const int p = 27000 * m + 20000;
    riga(t, "stazione,%8d,%3d,%5d,%3d,%2d,%2d,%3d,1,0,%3d,1,1,%5d,%4d,%2d,%2d, Fermata %d", p, 12,
         400, 0, 0, 0, 1, 4, 0, 9, m % 60, 0, m + 1);
    const int fine_area = p + 200;
    for (int c = fine_area / 50 - 1, k = 0; k <= 4; ++k) occupate.insert(c - k);
    for (int c = fine_area / 50 - 1, k = 1; k <= 4; ++k) preavvisi.insert(c - k);
  }
  riga(t, "[rallentamenti]");
  for (int x = 61000; x < kLunghezza - 2000; x += 120000) {
    const int celle[] = {x / 50 + 1,         (x + 400) / 50 + 1,  (x - 1200) / 50 + 1,
                         (x - 1200) / 50,    (x - 1200) / 50 - 1, (x - 1200) / 50 - 2,
                         (x - 1200) / 50 - 3};
    bool libere = true;
    for (int c : celle) libere = libere && !occupate.count(c);
    if (!libere) continue;
    riga(t, "rallentamento,%8d,%6d,%5d,%2d,%3d,%4d", x, 60, 400, 0, 1, 50);
    for (int c : celle) occupate.insert(c);
  }
  riga(t, "[segnali]");
  for (int p = 900; p < kLunghezza; p += 1500) {
    // A signal's four approach markers, every other cell before it, must
    // not fall on a station's: that would be a mistake worth a warning.
    bool libero = !occupate.count(cella_punto(p));
    for (int m = 1; m <= 4; ++m) libero = libero && !preavvisi.count(cella_punto(p) - 2 * m);
    if (!libero) continue;
    riga(t, "segnale,%8d,%4d,%2d,%2d,%3d,%2d,%5d,%3d,1,0, 0", p, 2, 4, 1, 0, 0, 2, 2);
    occupate.insert(cella_punto(p));
  }
  riga(t, "[codici]");
  riga(t, "[fine]");
  return s;
}

}  // namespace genera::bench
