#include "run/compaction.h"

#include <cstdio>
#include <cstdlib>

#include "linecomp/line_reader.h"
#include "model/compact_writer.h"
#include "model/file_names.h"
#include "files/file_system.h"
#include "model/run_failure.h"
#include "postpass/signal_codes.h"
#include "run/error_box.h"
#include "run/race_codes.h"
#include "traincomp/train_reader.h"

namespace genera {
namespace {

void azzera_stato(Form1& f) {
  azzera_testata(f);
  f.percorso.clear();
  f.tracciato = tracciato_linea{};
  f.codice_errore = 0;
  f.posizione_errore = 0;
  f.messaggi.clear();
  f.campo_letto.clear();
  f.prossimo_cartello = kPrimoCartello;
  f.cursore_pendenza = 0;
  f.pendenza_corrente = 0;
  f.cursore_tracciato = 2;
  f.numero_gallerie = 0;
  f.inizi_gallerie.fill(0);
  f.fini_gallerie.fill(0);
  f.cursore_velocita = 0;
  f.velocita_corrente = 0;
  f.cursore_aderenza = 0;
  f.aderenza_corrente = 0;
  f.contatore_stazioni = 1;
}

void elimina_senza_errori(Form1& f, const std::string& percorso) {
  try {
    f.file_system->remove(percorso);
  } catch (const errore_file&) {
    // The failure being reported already ends the parse; a source that
    // cannot be deleted as well changes nothing about it.
  }
}

void fallimento(Form1& f, const sorgente& dove, int riga, const std::string& testo) {
  elimina_senza_errori(f, f.sorgente_linea.percorso);
  elimina_senza_errori(f, f.sorgente_treno.percorso);
  f.codice_errore = 25;
  f.messaggi.push_back({dove.nome, riga, 25, std::nullopt, testo});
}

}  // namespace

void memorizza_dati(Form1& f) {
  const sorgente* corrente = &f.sorgente_linea;
  try {
    if (!leggi_sorgente_linea(f)) return;
    corrente = &f.sorgente_treno;
    leggi_sorgente_treno(f);
  } catch (const errore_esecuzione& e) {
    fallimento(f, *corrente, e.riga, e.what());
  } catch (const errore_file& e) {
    fallimento(f, *corrente, 0, e.what());
  }
}

int32_t compatta(Form1& f, int32_t j) {
  azzera_stato(f);
  f.j = j;
  if (f.sorgente_linea.percorso.empty()) {
    const std::string linea = nome_sorgente_linea(f.nome_linea);
    f.sorgente_linea = {percorso_file(f.cartella, linea), linea};
  }
  if (f.sorgente_treno.percorso.empty()) {
    const std::string treno = nome_sorgente_treno(f.nome_linea, f.codice_treno);
    f.sorgente_treno = {percorso_file(f.cartella, treno), treno};
  }
  memorizza_dati(f);
  aggiungi_codici(f);
  return timbra_codici_gara(f);
}

std::vector<std::string> scrivi_file_compatti(Form1& f) {
  std::vector<std::string> scritti;
  if (f.j != 0) {
    const std::string p = percorso_file(f.cartella, nome_file_linea(f.nome_linea));
    f.file_system->replace(p, [&](ByteSink& s) { scrivi_tracciato(f.tracciato, s); });
    scritti.push_back(p);
  }
  const std::string sim = percorso_file(f.cartella, nome_file_scenario(f.nome_linea, f.codice_treno));
  f.file_system->replace(sim, [&](ByteSink& s) { scrivi_testata(f.testata_linea, s); });
  scritti.push_back(sim);
  const std::string dat = percorso_file(f.cartella, nome_file_percorso(f.nome_linea, f.codice_treno));
  f.file_system->replace(dat, [&](ByteSink& s) { scrivi_percorso(f.percorso, s); });
  scritti.push_back(dat);
  return scritti;
}

void riporta_messaggi(const Form1& f) {
  for (const messaggio& m : f.messaggi) std::fprintf(stderr, "%s\n", formatta(m).c_str());
}

void memorizza_percorso(Form1& f, int32_t j) {
  const int32_t esito = compatta(f, j);
  riporta_messaggi(f);
  if (esito != 0) errore(std::to_string(esito));
  scrivi_file_compatti(f);
}

void errore(const std::string& a) {
  mostra_errore(" Errore n. " + a);
  std::fflush(nullptr);
  std::exit(1);
}

}  // namespace genera
