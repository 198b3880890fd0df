#include "lsp/jsonrpc.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "model/text.h"

namespace genera::lsp {

std::optional<char> FlussoTesto::byte() {
  if (pos_ >= testo_.size()) return std::nullopt;
  return testo_[pos_++];
}

std::size_t FlussoTesto::leggi(char* out, std::size_t n) {
  const std::size_t k = std::min(n, testo_.size() - pos_);
  std::memcpy(out, testo_.data() + pos_, k);
  pos_ += k;
  return k;
}

std::optional<char> FlussoFile::byte() {
  const int c = std::getc(f_);
  if (c == EOF) return std::nullopt;
  return static_cast<char>(c);
}

std::size_t FlussoFile::leggi(char* out, std::size_t n) { return std::fread(out, 1, n, f_); }

namespace {

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<Cornice> LettoreCornici::prossima() {
  // The header block: lines up to an empty one. A stream that ends inside
  // it ends the reading; a block too long to be headers is a fault.
  std::optional<std::size_t> lunghezza;
  std::string guasto;
  std::string riga;
  std::size_t letti = 0;
  bool intestazioni = false;
  for (;;) {
    const std::optional<char> c = flusso_.byte();
    if (!c) return std::nullopt;
    if (++letti > kIntestazioneMassima) {
      // Not headers: pass over this line and start again on the next.
      while (const std::optional<char> d = flusso_.byte())
        if (*d == '\n') break;
      return Cornice{{},
                     "a header block longer than " + std::to_string(kIntestazioneMassima) +
                         " bytes was passed over"};
    }
    if (*c != '\n') {
      riga += *c;
      continue;
    }
    const std::string_view r = senza_spazi(riga);
    if (r.empty()) {
      if (intestazioni) break;
      riga.clear();
      continue;  // blank lines between frames
    }
    intestazioni = true;
    const std::size_t due_punti = r.find(':');
    if (due_punti == std::string_view::npos) {
      guasto = "a header line without a colon: " + citazione(r);
    } else if (in_minuscolo(senza_spazi(r.substr(0, due_punti))) == "content-length") {
      const std::string_view v = senza_spazi(r.substr(due_punti + 1));
      std::size_t n = 0;
      const auto [fine, errore] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (errore != std::errc() || fine != v.data() + v.size())
        guasto = "Content-Length is not a whole number: " + citazione(v);
      else
        lunghezza = n;
    }
    riga.clear();
  }
  if (!lunghezza) {
    if (guasto.empty()) guasto = "a header block without Content-Length";
    return Cornice{{}, guasto};
  }
  if (*lunghezza > corpo_massimo_) {
    // Read and dropped, so the stream stays in step.
    char scarto[65536];
    std::size_t resto = *lunghezza;
    while (resto > 0) {
      const std::size_t k = flusso_.leggi(scarto, std::min(resto, sizeof scarto));
      if (k == 0) return std::nullopt;
      resto -= k;
    }
    return Cornice{{},
                   "a message of " + std::to_string(*lunghezza) + " bytes is over the limit of " +
                       std::to_string(corpo_massimo_)};
  }
  Cornice out;
  out.corpo.resize(*lunghezza);
  std::size_t letto = 0;
  while (letto < *lunghezza) {
    const std::size_t k = flusso_.leggi(out.corpo.data() + letto, *lunghezza - letto);
    if (k == 0) return std::nullopt;
    letto += k;
  }
  if (!guasto.empty()) out.corpo.clear(), out.guasto = guasto;
  return out;
}

std::string incornicia(std::string_view corpo) {
  std::string out = "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n";
  out += corpo;
  return out;
}

}  // namespace genera::lsp
