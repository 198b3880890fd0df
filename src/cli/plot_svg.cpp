#include "cli/plot_svg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "cli/text_format.h"
#include "model/text.h"

namespace genera {
namespace {

// The picture's frame, in pixels: wide enough for a laptop screen.
constexpr double kLarghezza = 1400;
constexpr double kSinistra = 90;
constexpr double kDestra = 40;
constexpr double kLarghezzaUtile = kLarghezza - kSinistra - kDestra;
constexpr double kPiantaAlto = 86;
constexpr double kPiantaAltezza = 540;
constexpr double kNomiAlto = 690;  // band of rotated station names
constexpr double kStrisceAlto = 770;
constexpr double kStrisciaAltezza = 130;
constexpr double kStrisciaPasso = 160;  // strip plus the gap below it
constexpr int kPassoPianta = 50;        // every 50th metre of the plan is drawn
constexpr const char* kCaratteri = "DejaVu Sans, Arial, Helvetica, sans-serif";

constexpr const char* kColoreLinea = "#1f4e79";
constexpr const char* kColoreCoda = "#9aa5b1";
constexpr const char* kColoreGalleria = "#7b4a12";
constexpr const char* kColoreSegnale = "#d62728";
constexpr const char* kColorePendenza = "#2ca02c";
constexpr const char* kColoreVelocita = "#1f77b4";
constexpr const char* kColoreAderenza = "#8c564b";
constexpr const char* kColoreRallentamento = "#ff7f0e";
constexpr const char* kColoreCodice = "#9467bd";

/// UTF-8 text for an SVG text node or attribute: markup escaped, control
/// characters (not allowed in XML) dropped.
std::string testo_svg(const std::string& s) {
  std::string out;
  for (const char ch : s) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(ch) >= 0x20) out += ch;
    }
  }
  return out;
}

/// A step of 1, 2 or 5 times a power of ten giving about `quante` ticks.
double passo_tacche(double ampiezza, int quante) {
  if (!(ampiezza > 0) || !std::isfinite(ampiezza)) return 1;
  const double grezzo = ampiezza / quante;
  const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
  for (const double m : {1.0, 2.0, 5.0, 10.0})
    if (grezzo <= m * potenza) return m * potenza;
  return 10 * potenza;
}

/// Tick values from `da` to `a` at multiples of `passo`.
std::vector<double> tacche(double da, double a, double passo) {
  std::vector<double> out;
  if (!(passo > 0) || !std::isfinite(da) || !std::isfinite(a)) return out;
  for (double v = std::ceil(da / passo) * passo; v <= a + passo * 1e-9 && out.size() < 200;
       v += passo)
    out.push_back(std::abs(v) < passo * 1e-9 ? 0.0 : v);
  return out;
}

std::string etichetta(double v, double passo) {
  return passo >= 1 ? formato("%.0f", v) : passo >= 0.1 ? formato("%.1f", v) : formato("%.2f", v);
}

/// What the picture shows, gathered from the model once.
struct StazioneDisegnata {
  std::string nome;
  double metri;
};
struct RallentamentoDisegnato {
  double inizio, fine;
  int velocita;
};

struct DatiDisegno {
  double lunghezza = 0;   // metres of line (entry 84)
  std::size_t celle = 0;  // cells of the grid
  std::vector<StazioneDisegnata> stazioni;
  std::vector<double> segnali;                      // metres
  std::vector<std::pair<double, double>> gallerie;  // metres from, to
  std::vector<RallentamentoDisegnato> rallentamenti;
  std::vector<double> avvisi;  // warning boards, metres
  std::vector<double> codici;  // code cells, metres
};

/// Where a point object of cell k stands: cells are taken as round(p / 50 + 1).
double metri_oggetto(std::size_t k) {
  return k == 0 ? 0.0 : static_cast<double>(k - 1) * kMetriCella;
}

DatiDisegno raccogli(const ScenarioCompilato& f) {
  DatiDisegno d;
  d.lunghezza = std::max(0, f.testata_linea[kVoceTreno].dato2);
  d.celle = f.percorso.size();
  // Stations fill entries 1 upward and never reach the board entries.
  const int ultima = std::clamp(f.numero_stazioni, 0, kPrimoCartello);
  for (int i = 1; i <= ultima; ++i) {
    const voce_testata& v = f.testata_linea[static_cast<std::size_t>(i)];
    // Stored names are 8-bit characters; the picture is UTF-8.
    d.stazioni.push_back({utf8_da_cp1252(v.nome), static_cast<double>(v.dato3)});
  }
  std::optional<std::size_t> galleria_da;
  for (std::size_t k = 0; k < f.percorso.size(); ++k) {
    const cella_percorso& c = f.percorso[k];
    if (c.galleria != 0 && !galleria_da) galleria_da = k;
    if (c.galleria == 0 && galleria_da) {
      d.gallerie.emplace_back(*galleria_da * 50.0, k * 50.0);
      galleria_da.reset();
    }
    switch (c.tipo) {
      case cella_segnale:
        d.segnali.push_back(metri_oggetto(k));
        break;
      case cella_avviso_rallentamento:
        d.avvisi.push_back(metri_oggetto(k));
        break;
      case cella_codice:
      case cella_abbattimento:
        d.codici.push_back(k * 50.0);
        break;
      case cella_inizio_rallentamento: {
        // The end is the next end cell; a slowdown of length 0 has none.
        std::size_t e = k;
        while (e < f.percorso.size() && f.percorso[e].tipo != cella_fine_rallentamento &&
               (e == k || f.percorso[e].tipo != cella_inizio_rallentamento))
          ++e;
        if (e >= f.percorso.size() || f.percorso[e].tipo != cella_fine_rallentamento) e = k;
        d.rallentamenti.push_back({metri_oggetto(k), metri_oggetto(e), c.valore1});
        break;
      }
      default:
        break;
    }
  }
  if (galleria_da) d.gallerie.emplace_back(*galleria_da * 50.0, f.percorso.size() * 50.0);
  return d;
}

class Svg {
 public:
  void operator+=(const std::string& s) { out_ += s; }
  void testo(double x, double y, const std::string& t, const char* extra = "") {
    out_ += formato("<text x=\"%.1f\" y=\"%.1f\" %s>", x, y, extra) + testo_svg(t) + "</text>\n";
  }
  void linea(double x1, double y1, double x2, double y2, const char* stile) {
    out_ += formato("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" %s/>\n", x1, y1, x2, y2,
                    stile);
  }
  std::string fine() { return out_ + "</svg>\n"; }

 private:
  std::string out_;
};

// ---- the plan ----

struct VistaPianta {
  double sinistra = kSinistra, larghezza = kLarghezzaUtile;  // the panel, pixels
  double scala = 1;                                          // pixels per metre, the same both ways
  double cx = 0, cy = 0;                                     // metres at the panel's centre
  double px(double x) const { return sinistra + larghezza / 2 + (x - cx) * scala; }
  double py(double y) const { return kPiantaAlto + kPiantaAltezza / 2 - (y - cy) * scala; }
};

/// The rows of the plan that hold a point; 0 when there is no plan.
std::size_t righe_con_punto(const tracciato_linea& t) {
  const auto righe = static_cast<std::size_t>(std::max(t.righe, 0));
  return std::min({righe, t.x.size(), t.y.size()});
}

bool punto_buono(const tracciato_linea& t, std::size_t r) {
  return std::isfinite(t.x[r]) && std::isfinite(t.y[r]);
}

/// The plan's path from metre `da` to metre `a`, one point every `passo`.
std::string tratto(const tracciato_linea& t, const VistaPianta& v, std::size_t da, std::size_t a,
                   std::size_t passo) {
  std::string d;
  bool a_capo = true;
  for (std::size_t r = da;; r = std::min(r + passo, a)) {
    if (punto_buono(t, r)) {
      d += formato("%s%.1f %.1f", a_capo ? "M" : " L", v.px(t.x[r]), v.py(t.y[r]));
      a_capo = false;
    } else {
      a_capo = true;
    }
    if (r >= a) break;
  }
  return d;
}

/// A label's box, to keep station names from covering each other.
struct Riquadro {
  double x0, y0, x1, y1;
  bool tocca(const Riquadro& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

double larghezza_testo(const std::string& t, double corpo) {
  return 0.6 * corpo * static_cast<double>(t.size());
}

/// Station names beside the line: on the side across from its heading,
/// alternating, moved along until they no longer cover an earlier name.
void nomi_stazioni(Svg& svg, const tracciato_linea& t, const VistaPianta& v, const DatiDisegno& d,
                   std::size_t righe) {
  std::vector<Riquadro> presi;
  for (std::size_t i = 0; i < d.stazioni.size(); ++i) {
    const auto r = static_cast<std::size_t>(
        std::clamp(d.stazioni[i].metri, 0.0, static_cast<double>(righe - 1)));
    if (!punto_buono(t, r)) continue;
    const double x = v.px(t.x[r]), y = v.py(t.y[r]);
    svg += formato(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"5\" fill=\"#fff\" stroke=\"#222\" "
        "stroke-width=\"2\"/>\n",
        x, y);
    // The heading on screen, from 300 m behind to 300 m ahead.
    const std::size_t a = r >= 300 ? r - 300 : 0, b = std::min(r + 300, righe - 1);
    double dx = 0, dy = -1;
    if (punto_buono(t, a) && punto_buono(t, b)) {
      dx = v.px(t.x[b]) - v.px(t.x[a]);
      dy = v.py(t.y[b]) - v.py(t.y[a]);
      const double n = std::hypot(dx, dy);
      dx = n > 0 ? dx / n : 0;
      dy = n > 0 ? dy / n : -1;
    }
    const std::string& nome = d.stazioni[i].nome;
    const double w = larghezza_testo(nome, 12), h = 12;
    Riquadro scelto{};
    bool trovato = false;
    for (int tentativo = 0; tentativo < 10 && !trovato; ++tentativo) {
      const double lato = ((i + static_cast<std::size_t>(tentativo)) % 2 == 0) ? 1 : -1;
      const double lungo = 16.0 * (tentativo / 2) * (tentativo % 4 < 2 ? 1 : -1);
      // The normal of the heading, then a shift along it.
      const double nx = -dy * lato, ny = dx * lato;
      const double cx = x + nx * (10 + w / 2 * std::abs(nx)) + dx * lungo;
      const double cy = y + ny * 14 + dy * lungo;
      scelto = {cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
      trovato = std::none_of(presi.begin(), presi.end(),
                             [&](const Riquadro& q) { return q.tocca(scelto); });
    }
    presi.push_back(scelto);
    svg.testo((scelto.x0 + scelto.x1) / 2, scelto.y1 - 2, nome,
              "font-size=\"12\" fill=\"#222\" text-anchor=\"middle\" stroke=\"#fbfbf8\" "
              "stroke-width=\"3\" paint-order=\"stroke\"");
  }
}

/// The stations as a table beside the plan: km, name, scheduled time.
void tabella_stazioni(Svg& svg, const ScenarioCompilato& f, const DatiDisegno& d, double sinistra) {
  svg.testo(sinistra, kPiantaAlto + 14, "Stations", "font-size=\"14\" font-weight=\"bold\"");
  double y = kPiantaAlto + 38;
  svg.testo(sinistra, y, "km", "font-size=\"12\" fill=\"#555\"");
  svg.testo(sinistra + 60, y, "name", "font-size=\"12\" fill=\"#555\"");
  svg.testo(sinistra + 250, y, "time", "font-size=\"12\" fill=\"#555\"");
  const auto righe = static_cast<std::size_t>((kPiantaAltezza - 60) / 18);
  for (std::size_t i = 0; i < d.stazioni.size(); ++i) {
    y += 18;
    if (i + 1 == righe && d.stazioni.size() > righe) {
      svg.testo(sinistra + 60, y, formato("and %zu more", d.stazioni.size() - i),
                "font-size=\"12\" fill=\"#555\"");
      break;
    }
    svg.testo(sinistra, y, formato("%.2f", d.stazioni[i].metri / 1000), "font-size=\"12\"");
    svg.testo(sinistra + 60, y, d.stazioni[i].nome, "font-size=\"12\"");
    const int32_t secondi = f.testata_linea[i + 1].dato4;
    if (secondi > 0)
      svg.testo(sinistra + 250, y,
                formato("%02ld:%02ld:%02ld", long{secondi / 3600}, long{secondi / 60 % 60},
                        long{secondi % 60}),
                "font-size=\"12\"");
  }
}

void disegna_pianta(Svg& svg, const ScenarioCompilato& f, const DatiDisegno& d) {
  const tracciato_linea& t = f.tracciato;
  const std::size_t righe = righe_con_punto(t);
  svg.testo(kSinistra, kPiantaAlto - 12, "Plan of the line (km)",
            "font-size=\"15\" font-weight=\"bold\"");
  double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  bool qualcuno = false;
  for (std::size_t r = 0; r < righe; ++r) {
    if (!punto_buono(t, r)) continue;
    min_x = qualcuno ? std::min(min_x, t.x[r]) : t.x[r];
    max_x = qualcuno ? std::max(max_x, t.x[r]) : t.x[r];
    min_y = qualcuno ? std::min(min_y, t.y[r]) : t.y[r];
    max_y = qualcuno ? std::max(max_y, t.y[r]) : t.y[r];
    qualcuno = true;
  }
  VistaPianta v;
  if (qualcuno) {
    // A plan taller than wide leaves room on the right for the stations.
    const double alto = std::max(max_y - min_y, 1.0), largo = std::max(max_x - min_x, 1.0);
    const double serve = largo / alto * kPiantaAltezza * 1.1 + 120;
    if (kLarghezzaUtile - serve >= 380) v.larghezza = std::max(serve, 480.0);
  }
  svg += formato(
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#fbfbf8\" "
      "stroke=\"#bbb\"/>\n",
      v.sinistra, kPiantaAlto, v.larghezza, kPiantaAltezza);
  if (v.larghezza < kLarghezzaUtile) tabella_stazioni(svg, f, d, v.sinistra + v.larghezza + 40);
  if (!qualcuno) {
    svg.testo(v.sinistra + v.larghezza / 2, kPiantaAlto + kPiantaAltezza / 2,
              "no plan: the line source gave no length", "text-anchor=\"middle\" fill=\"#666\"");
    return;
  }
  // Equal scale both ways, a margin all round, at least 1 km shown.
  const double ampio =
      std::max({max_x - min_x, (max_y - min_y) * v.larghezza / kPiantaAltezza, 1000.0});
  v.scala = v.larghezza / (ampio * 1.12);
  v.cx = (min_x + max_x) / 2;
  v.cy = (min_y + max_y) / 2;

  // Grid and axes in km.
  const double x0 = v.cx - v.larghezza / 2 / v.scala, x1 = v.cx + v.larghezza / 2 / v.scala;
  const double y0 = v.cy - kPiantaAltezza / 2 / v.scala, y1 = v.cy + kPiantaAltezza / 2 / v.scala;
  const double passo = passo_tacche(std::max(x1 - x0, y1 - y0) / 1000, 10) * 1000;
  for (const double x : tacche(x0, x1, passo)) {
    svg.linea(v.px(x), kPiantaAlto, v.px(x), kPiantaAlto + kPiantaAltezza, "stroke=\"#e4e4e0\"");
    svg.testo(v.px(x), kPiantaAlto + kPiantaAltezza + 16, etichetta(x / 1000, passo / 1000),
              "font-size=\"12\" text-anchor=\"middle\"");
  }
  for (const double y : tacche(y0, y1, passo)) {
    svg.linea(v.sinistra, v.py(y), v.sinistra + v.larghezza, v.py(y), "stroke=\"#e4e4e0\"");
    svg.testo(v.sinistra - 8, v.py(y) + 4, etichetta(y / 1000, passo / 1000),
              "font-size=\"12\" text-anchor=\"end\"");
  }
  svg.testo(v.sinistra + v.larghezza / 2, kPiantaAlto + kPiantaAltezza + 34, "x (km)",
            "font-size=\"13\" text-anchor=\"middle\"");
  svg.testo(v.sinistra - 52, kPiantaAlto + kPiantaAltezza / 2, "y (km)",
            formato("font-size=\"13\" text-anchor=\"middle\" transform=\"rotate(-90 %.1f %.1f)\"",
                    v.sinistra - 52, kPiantaAlto + kPiantaAltezza / 2)
                .c_str());

  // The line itself, and the grid's run-out past its end, dashed.
  const std::size_t fine_linea =
      std::min(righe - 1, static_cast<std::size_t>(std::max(d.lunghezza, 0.0)));
  svg += "<path d=\"" + tratto(t, v, fine_linea, righe - 1, kPassoPianta) +
         formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\" stroke-dasharray=\"6 5\"/>\n",
                 kColoreCoda);
  svg += "<path d=\"" + tratto(t, v, 0, fine_linea, kPassoPianta) +
         formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2.5\"/>\n", kColoreLinea);
  auto riga = [&](double metri) {
    return static_cast<std::size_t>(std::clamp(metri, 0.0, static_cast<double>(righe - 1)));
  };
  for (const auto& [da, a] : d.gallerie) {
    const std::size_t r0 = riga(da), r1 = riga(a);
    if (r1 <= r0) continue;
    svg += "<path d=\"" + tratto(t, v, r0, r1, 10) +
           formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"7\" stroke-linecap=\"butt\"/>\n",
                   kColoreGalleria);
  }
  for (const double s : d.segnali) {
    const std::size_t r = riga(s);
    if (!punto_buono(t, r)) continue;
    svg += formato("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.6\" fill=\"%s\"/>\n", v.px(t.x[r]),
                   v.py(t.y[r]), kColoreSegnale);
  }
  nomi_stazioni(svg, t, v, d, righe);
}

// ---- the profiles ----

// Metres along the line to pixels across the profile strips.
struct ScalaMetri {
  double metri_griglia;
  double operator()(double metri) const { return kSinistra + metri / metri_griglia * kLarghezzaUtile; }
};

struct Striscia;
using Marche = void (*)(Svg&, const Striscia&, const DatiDisegno&, const ScalaMetri&);

// One strip of the profiles: its frame, its scale, and the marks drawn on
// it besides its own profile.
struct Striscia {
  const char* titolo;
  const char* colore;
  double alto;  // top edge in pixels
  double min, max;
  Marche marche = nullptr;

  double y(double v) const { return alto + kStrisciaAltezza - (v - min) / (max - min) * kStrisciaAltezza; }
};

// Slowdowns: a band over their stretch and their speed drawn in it; the
// warning boards and the code cells beneath.
void marche_rallentamenti(Svg& svg, const Striscia& s, const DatiDisegno& d, const ScalaMetri& px) {
  for (const RallentamentoDisegnato& r : d.rallentamenti) {
    const double a = px(r.inizio), b = std::max(px(r.fine), a + 3);
    svg += formato(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\" "
        "fill-opacity=\"0.3\"/>\n",
        a, s.alto, b - a, kStrisciaAltezza, kColoreRallentamento);
    if (r.velocita > s.min && r.velocita < s.max) {
      svg.linea(a - 4, s.y(r.velocita), b + 4, s.y(r.velocita),
                formato("stroke=\"%s\" stroke-width=\"2.5\"", kColoreRallentamento).c_str());
      svg.testo(b + 6, s.y(r.velocita) + 4, std::to_string(r.velocita),
                formato("font-size=\"11\" fill=\"%s\"", kColoreRallentamento).c_str());
    }
  }
  for (const double a : d.avvisi) {
    const double x = px(a);
    svg += formato("<path d=\"M%.1f %.1f l-5 -9 h10 z\" fill=\"%s\"/>\n", x,
                   s.alto + kStrisciaAltezza - 2, kColoreRallentamento);
  }
  for (const double c : d.codici)
    svg.linea(px(c), s.alto + kStrisciaAltezza - 12, px(c), s.alto + kStrisciaAltezza,
              formato("stroke=\"%s\" stroke-width=\"1.5\"", kColoreCodice).c_str());
}

void marche_gallerie(Svg& svg, const Striscia& s, const DatiDisegno& d, const ScalaMetri& px) {
  for (const auto& [da, a] : d.gallerie)
    svg += formato("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"6\" fill=\"%s\"/>\n",
                   px(da), s.alto + kStrisciaAltezza - 6, std::max(px(a) - px(da), 1.0),
                   kColoreGalleria);
}

// The strip's frame, its km grid, its value scale and its title.
void riquadro_striscia(Svg& svg, const Striscia& s, const ScalaMetri& px, double passo_km) {
  svg += formato(
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"#fbfbf8\" "
      "stroke=\"#bbb\"/>\n",
      kSinistra, s.alto, kLarghezzaUtile, kStrisciaAltezza);
  for (const double km : tacche(0, px.metri_griglia / 1000, passo_km))
    svg.linea(px(km * 1000), s.alto, px(km * 1000), s.alto + kStrisciaAltezza,
              "stroke=\"#e4e4e0\"");
  const double passo_v = passo_tacche(s.max - s.min, 4);
  for (const double v : tacche(s.min, s.max, passo_v)) {
    svg.linea(kSinistra, s.y(v), kSinistra + kLarghezzaUtile, s.y(v), "stroke=\"#e4e4e0\"");
    svg.testo(kSinistra - 8, s.y(v) + 4, etichetta(v, passo_v),
              "font-size=\"12\" text-anchor=\"end\"");
  }
  svg.testo(kSinistra + 6, s.alto + 15, s.titolo,
            formato("font-size=\"13\" font-weight=\"bold\" fill=\"%s\"", s.colore).c_str());
}

// The profile as a step line, one step per run of equal cells.
void gradini(Svg& svg, const Striscia& s, const ScalaMetri& px, const std::vector<double>& v) {
  if (v.empty()) return;
  std::string path = formato("M%.1f %.1f", px(0), s.y(v[0]));
  for (std::size_t k = 1; k <= v.size(); ++k) {
    if (k < v.size() && v[k] == v[k - 1]) continue;
    path += formato(" H%.1f", px(k * 50.0));
    if (k < v.size()) path += formato(" V%.1f", s.y(v[k]));
  }
  svg += "<path d=\"" + path +
         formato("\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"/>\n", s.colore);
}

// Stations across all three strips, names above them; the end of the line
// and the km axis below.
void asse_e_stazioni(Svg& svg, const DatiDisegno& d, const ScalaMetri& px, double passo_km,
                     double basso) {
  for (const StazioneDisegnata& st : d.stazioni) {
    const double x = px(st.metri);
    if (x < kSinistra - 1 || x > kSinistra + kLarghezzaUtile + 1) continue;
    svg.linea(x, kStrisceAlto - 4, x, basso, "stroke=\"#444\" stroke-dasharray=\"2 3\"");
    svg.testo(
        x + 2, kStrisceAlto - 8, st.nome,
        formato("font-size=\"12\" transform=\"rotate(-35 %.1f %.1f)\"", x + 2, kStrisceAlto - 8)
            .c_str());
  }
  if (d.lunghezza > 0 && d.lunghezza <= px.metri_griglia) {
    const double x = px(d.lunghezza);
    svg.linea(x, kStrisceAlto, x, basso,
              "stroke=\"#000\" stroke-width=\"1.5\" stroke-dasharray=\"8 4\"");
    svg.testo(x - 4, basso + 14, "end of line", "font-size=\"11\" text-anchor=\"end\"");
  }
  for (const double km : tacche(0, px.metri_griglia / 1000, passo_km))
    svg.testo(px(km * 1000), basso + 30, etichetta(km, passo_km),
              "font-size=\"12\" text-anchor=\"middle\"");
  svg.testo(kSinistra + kLarghezzaUtile / 2, basso + 50, "distance along the line (km)",
            "font-size=\"13\" text-anchor=\"middle\"");
}

std::pair<double, double> estremi(const std::vector<double>& v, double min0, double max0) {
  double lo = min0, hi = max0;
  for (const double x : v) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

void disegna_profili(Svg& svg, const ScenarioCompilato& f, const DatiDisegno& d) {
  const ScalaMetri px{std::max(static_cast<double>(d.celle) * kMetriCella, 1000.0)};
  // The last three cells carry no profile.
  const std::size_t celle_profilo = d.celle > 3 ? d.celle - 3 : 0;

  std::vector<double> pendenze, velocita, aderenze;
  for (std::size_t k = 0; k < celle_profilo; ++k) {
    pendenze.push_back(f.percorso[k].pendenza - 100.0);
    velocita.push_back(f.percorso[k].velocita * 5.0);
    aderenze.push_back(f.percorso[k].aderenza);
  }
  const auto [pmin, pmax] = estremi(pendenze, -5, 5);
  const auto [vmin, vmax] = estremi(velocita, 0, 50);
  const auto [amin, amax] = estremi(aderenze, aderenze.empty() ? 0 : aderenze.front(),
                                    aderenze.empty() ? 100 : aderenze.front());
  const double margine_p = (pmax - pmin) * 0.12;
  const Striscia strisce[] = {
      {"gradient (\xe2\x80\xb0)", kColorePendenza, kStrisceAlto, pmin - margine_p,
       pmax + margine_p, marche_gallerie},
      {"speed limit (km/h)", kColoreVelocita, kStrisceAlto + kStrisciaPasso, 0, vmax * 1.12,
       marche_rallentamenti},
      {"adhesion", kColoreAderenza, kStrisceAlto + 2 * kStrisciaPasso,
       std::floor((amin - 5) / 10) * 10, std::ceil((amax + 5) / 10) * 10},
  };
  const std::vector<double>* valori[] = {&pendenze, &velocita, &aderenze};

  svg.testo(kSinistra, kNomiAlto - 12, "Along the line (km)",
            "font-size=\"15\" font-weight=\"bold\"");
  const double passo_km = passo_tacche(px.metri_griglia / 1000, 16);
  for (int i = 0; i < 3; ++i) {
    riquadro_striscia(svg, strisce[i], px, passo_km);
    if (strisce[i].marche != nullptr) strisce[i].marche(svg, strisce[i], d, px);
    gradini(svg, strisce[i], px, *valori[i]);
  }
  asse_e_stazioni(svg, d, px, passo_km, kStrisceAlto + 2 * kStrisciaPasso + kStrisciaAltezza);
}

// ---- the legend ----

double disegna_legenda(Svg& svg, double alto) {
  double x = kSinistra;
  const double y = alto + 10;
  auto voce = [&](const std::string& simbolo, const char* nome) {
    svg += formato("<g transform=\"translate(%.1f %.1f)\">", x, y) + simbolo + "</g>\n";
    svg.testo(x + 30, y + 4, nome, "font-size=\"12\"");
    x += 38 + 7.0 * static_cast<double>(std::string(nome).size());
  };
  voce(formato("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" stroke-width=\"2.5\"/>",
               kColoreLinea),
       "line");
  voce(formato("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" stroke-width=\"2\" "
               "stroke-dasharray=\"6 5\"/>",
               kColoreCoda),
       "beyond the end");
  voce(formato("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" stroke-width=\"7\"/>",
               kColoreGalleria),
       "tunnel");
  voce("<circle cx=\"12\" cy=\"0\" r=\"5\" fill=\"#fff\" stroke=\"#222\" stroke-width=\"2\"/>",
       "station");
  voce(formato("<circle cx=\"12\" cy=\"0\" r=\"3\" fill=\"%s\"/>", kColoreSegnale), "signal");
  voce(formato("<rect x=\"0\" y=\"-7\" width=\"24\" height=\"14\" fill=\"%s\" "
               "fill-opacity=\"0.3\"/><line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"%s\" "
               "stroke-width=\"2.5\"/>",
               kColoreRallentamento, kColoreRallentamento),
       "slowdown and its speed");
  voce(formato("<path d=\"M12 5 l-5 -9 h10 z\" fill=\"%s\"/>", kColoreRallentamento),
       "slowdown warning board");
  voce(formato("<line x1=\"12\" y1=\"-6\" x2=\"12\" y2=\"6\" stroke=\"%s\" stroke-width=\"1.5\"/>",
               kColoreCodice),
       "code cell");
  return y + 20;
}

}  // namespace

std::string disegna_svg(const ScenarioCompilato& f) {
  const DatiDisegno d = raccogli(f);
  const double basso_profili = kStrisceAlto + 2 * kStrisciaPasso + kStrisciaAltezza;
  const double altezza = basso_profili + 100;
  Svg svg;
  svg += formato(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
      "viewBox=\"0 0 %.0f %.0f\" font-family=\"%s\">\n",
      kLarghezza, altezza, kLarghezza, altezza, kCaratteri);
  svg += formato("<rect width=\"%.0f\" height=\"%.0f\" fill=\"#fff\"/>\n", kLarghezza, altezza);
  svg.testo(kSinistra, 32,
            utf8_da_cp1252(f.testata_linea[kVoceLinea].nome) + " \xe2\x80\x94 train " + utf8_da_cp1252(f.testata_linea[kVoceRipetizione].nome),
            "font-size=\"22\" font-weight=\"bold\"");
  svg.testo(kSinistra, 54,
            formato("line length %.1f km \xc2\xb7 %zu stations \xc2\xb7 %zu signals \xc2\xb7 %zu "
                    "tunnel stretches \xc2\xb7 %zu %s",
                    d.lunghezza / 1000, d.stazioni.size(), d.segnali.size(), d.gallerie.size(),
                    d.rallentamenti.size(), d.rallentamenti.size() == 1 ? "slowdown" : "slowdowns"),
            "font-size=\"13\" fill=\"#555\"");
  disegna_pianta(svg, f, d);
  if (d.celle == 0) {
    svg.testo(kSinistra + kLarghezzaUtile / 2, kStrisceAlto + 100,
              "no route grid: the line source gave no length",
              "text-anchor=\"middle\" fill=\"#666\"");
  } else {
    disegna_profili(svg, f, d);
  }
  disegna_legenda(svg, basso_profili + 66);
  return svg.fine();
}

}  // namespace genera
