#include "compiler/compile.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "model/text.h"

#include "compiler/race_codes.h"
#include "linecomp/line_reader.h"
#include "postpass/signal_codes.h"
#include "traincomp/train_reader.h"

namespace genera {
namespace {

// The encoding of a source saved in 16 or 32 bits a character: its byte
// order mark, or NUL bytes beside ASCII ones. Nothing for 8-bit text.
const char* codifica_larga(std::string_view t) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(t[i]); };
  if (t.size() >= 4 && b(0) == 0xFF && b(1) == 0xFE && b(2) == 0 && b(3) == 0) return "UTF-32 LE";
  if (t.size() >= 4 && b(0) == 0 && b(1) == 0 && b(2) == 0xFE && b(3) == 0xFF) return "UTF-32 BE";
  if (t.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) return "UTF-16 LE";
  if (t.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) return "UTF-16 BE";
  const std::size_t n = std::min<std::size_t>(t.size(), 512);
  std::size_t nul_pari = 0, nul_dispari = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (t[i] == '\0') ++(i % 2 == 0 ? nul_pari : nul_dispari);
  if (n < 4 || nul_pari + nul_dispari < n / 4) return nullptr;
  if (nul_pari + nul_dispari >= n / 2 + n / 4)
    return nul_dispari > nul_pari ? "UTF-32 LE" : "UTF-32 BE";
  return nul_dispari > nul_pari ? "UTF-16 LE" : "UTF-16 BE";
}

class Compilazione {
 public:
  Compilazione(const Sorgente& linea, const Sorgente& treno, const OpzioniCompilazione& o,
               const EliminaSorgente& elimina)
      : linea_(linea), treno_(treno), o_(o), elimina_(elimina) {}

  ScenarioCompilato esegui() {
    s_.origini.nomi_sorgenti = {linea_.nome, treno_.nome};
    memorizza_dati();
    aggiungi_codici(s_, treno_.nome);
    s_.timbro = timbra_codici_gara(s_);
    if (!s_.scrivibile()) segnala_timbro();
    return std::move(s_);
  }

 private:
  // Both halves of the parse. A run-time failure anywhere in it deletes
  // both sources (whatever that answers) and ends it with code 25.
  void memorizza_dati() {
    s_.testata_linea[kVoceLinea].nome = nome_memorizzato(o_.nome_linea, "line name");
    s_.testata_linea[kVoceRipetizione].nome = nome_memorizzato(o_.codice_treno, "train code");
    if (!linea_.presente) {
      registra_errore_delle_regole(s_, Codice::sorgente_linea_mancante,
                                   {linea_.nome, 0, 0, std::nullopt},
                                   "the line source does not exist");
      return treno_non_letto();
    }
    if (!linea_.illeggibile.empty()) {
      fallimento(linea_, 0, linea_.illeggibile);
      return treno_non_letto();
    }
    codifica(linea_);
    int32_t prossimo_cartello = kPrimoCartello;
    const Esito l = leggi_sorgente_linea(linea_.testo, linea_.nome, o_.con_tracciato, s_, elimina_,
                                         prossimo_cartello);
    if (l.passo == Passo::guasto) {
      fallimento(linea_, l.riga, l.testo, l.note, l.colonna);
      return treno_non_letto();
    }
    if (l.passo != Passo::continua) return treno_non_letto();

    if (!treno_.presente)
      return fallimento(treno_, 0, "the train source cannot be opened: it does not exist");
    if (!treno_.illeggibile.empty()) return fallimento(treno_, 0, treno_.illeggibile);
    const bool larga = codifica(treno_);
    const std::size_t record_prima = s_.origini.record.size();
    const Esito t =
        leggi_sorgente_treno(treno_.testo, treno_.nome, prossimo_cartello, s_, elimina_);
    if (t.passo == Passo::guasto) return fallimento(treno_, t.riga, t.testo, t.note, t.colonna);
    // A train source with no record is no train: the rules go on, the compile fails.
    if (larga) return tieni_solo_errori(treno_.nome);
    if (s_.origini.record.size() == record_prima) {
      segnala_errore(s_, Codice::sorgente_treno_vuota, {treno_.nome, 0, 0, std::nullopt},
                     "the train source holds no record: the scenario gets no station, speed limit, "
                     "signal or slowdown, and there is no train to drive");
      s_.diagnostiche.back().aiuto = "write the train's records after a \"[generale]\" line";
    }
  }

  // A source in 16 or 32 bits a character cannot be read as the rules read
  // it: an error of our own, the rules' reading going on as ever.
  bool codifica(const Sorgente& sorgente) {
    const char* quale = codifica_larga(sorgente.testo);
    if (quale == nullptr) return false;
    segnala_errore(s_, Codice::codifica_larga, {sorgente.nome, 0, 0, std::nullopt},
                   "this source is saved as " + std::string(quale) +
                       ": every other byte is NUL, so no record in it can be read");
    s_.diagnostiche.back().aiuto =
        "save the file as UTF-8 or as Windows-1252 (\"ANSI\") text, not as \"Unicode\"";
    return true;
  }

  // After the encoding error, what the reading said of the NUL-riddled text
  // is noise: its warnings go.
  void tieni_solo_errori(const std::string& nome) {
    std::erase_if(s_.diagnostiche, [&](const Diagnostica& d) {
      return d.gravita == Gravita::avviso && d.luogo.file == nome;
    });
  }

  void fallimento(const Sorgente& dove, int riga, const std::string& testo,
                  std::vector<Nota> note = {}, int colonna = 0) {
    // The failure being reported already ends the parse; a source that
    // cannot be deleted as well changes nothing about it.
    elimina_(QualeSorgente::linea);
    elimina_(QualeSorgente::treno);
    registra_errore_delle_regole(s_, Codice::guasto_lettura,
                                 {dove.nome, riga, riga > 0 ? colonna : 0, std::nullopt}, testo,
                                 std::move(note));
  }

  // A parse that ends in the line source never reaches the train source.
  void treno_non_letto() {
    if (!treno_.presente || s_.diagnostiche.empty()) return;
    s_.diagnostiche.back().note.push_back(
        {{treno_.nome, 0, 0, std::nullopt}, "the train source was not read"});
  }

  // A name is stored in code page 1252 like every text.
  std::string nome_memorizzato(const std::string& nome, const char* cosa) {
    char32_t mancante = 0;
    std::string out = *in_cp1252(nome, &mancante, true);
    if (mancante != 0)
      segnala_errore(s_, Codice::carattere_fuori_codepage, {},
                     std::string("the ") + cosa + " " + citazione(nome) + " holds \"" +
                         utf8(mancante) +
                         "\", which code page 1252, the simulator's, does not have");
    return out;
  }

  // A race-code slot already taken: say which record took it.
  void segnala_timbro() {
    const IdRecord id = s_.origini.celle.size() > 1 ? s_.origini.celle[1].oggetto : 0;
    const bool marcatore = s_.timbro == Codice::marcatori_occupati;
    std::string testo = std::string(voce_codice(s_.timbro).sommario);
    std::vector<Nota> note;
    if (id != 0) {
      testo = descrivi_record(s_, id) + " takes cell 1, whose " +
              (marcatore ? "first value holds the race-code marker"
                         : "second value holds the race code") +
              ", so no compact file can be written";
      note.push_back(
          {luogo_record(s_, id), "cell 1 is 50 to 99 m from the start: move it to 100 m or later"});
    }
    segnala_errore(s_, s_.timbro, id != 0 ? luogo_record(s_, id) : Luogo{}, std::move(testo),
                   std::move(note));
  }

  const Sorgente& linea_;
  const Sorgente& treno_;
  const OpzioniCompilazione& o_;
  const EliminaSorgente& elimina_;
  ScenarioCompilato s_;
};

}  // namespace

ScenarioCompilato compila(const Sorgente& linea, const Sorgente& treno,
                          const OpzioniCompilazione& opzioni, const EliminaSorgente& elimina) {
  return Compilazione(linea, treno, opzioni, elimina).esegui();
}

std::string non_eliminare(QualeSorgente) { return {}; }

}  // namespace genera
