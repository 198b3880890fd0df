#include "linecomp/field_reader.h"

#include "model/text.h"

namespace genera {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::nullopt_t FieldReader::fallisci(std::string perche, int riga) {
  guasto_ = std::move(perche);
  riga_guasto_ = riga;
  guasto_fine_ = false;
  return std::nullopt;
}

void FieldReader::salta_spazi() {
  while (pos_ < text_.size() && spazio(text_[pos_])) ++pos_;
}

bool FieldReader::a_capo_qui() const {
  return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void FieldReader::consuma_a_capo() {
  if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++riga_;
  inizio_riga_ = pos_;
  campi_sulla_riga_ = 0;
}

std::string_view FieldReader::resto_della_riga() const {
  if (riga_ != riga_campo_) return {};
  const std::size_t fine = text_.find_first_of("\r\n", pos_);
  return text_.substr(pos_, fine == std::string_view::npos ? std::string_view::npos : fine - pos_);
}

void FieldReader::consuma_separatore() {
  finito_a_virgola_ = false;
  if (pos_ >= text_.size()) return;
  if (text_[pos_] == ',') {
    finito_a_virgola_ = true;
    ++pos_;
  } else if (a_capo_qui()) {
    consuma_a_capo();
  }
}

bool FieldReader::inizia_campo() {
  // Past the end, the line to name is that of the last field read, not the
  // empty line after its line break.
  if (fine()) {
    fallisci("read past the end of the file", riga_campo_ > 0 ? riga_campo_ : riga_);
    guasto_fine_ = true;
    return false;
  }
  salta_spazi();
  // A field that starts right after a line break is the first of its line.
  if (riga_ != riga_campo_) campi_sulla_riga_ = 0;
  ++campi_sulla_riga_;
  // Asked after the read, when the line end after the field may be consumed.
  primo_della_riga_ = campi_sulla_riga_ == 1;
  riga_campo_ = riga_;
  colonna_campo_ = static_cast<int>(pos_ - inizio_riga_) + 1;
  return true;
}

std::optional<std::string> FieldReader::leggi_testo() {
  if (!inizia_campo()) return std::nullopt;
  tra_virgolette_ = pos_ < text_.size() && text_[pos_] == '"';
  if (tra_virgolette_) {
    const std::size_t apertura = pos_;
    ++pos_;
    std::string valore;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      if (a_capo_qui()) {
        const std::size_t inizio = pos_;
        consuma_a_capo();
        valore.append(text_.substr(inizio, pos_ - inizio));
      } else {
        valore.push_back(text_[pos_++]);
      }
    }
    if (pos_ < text_.size()) ++pos_;  // the closing quote
    larghezza_campo_ = riga_ == riga_campo_ ? static_cast<int>(pos_ - apertura)
                                            : static_cast<int>(text_.find_first_of("\r\n", apertura) - apertura);
    // Whatever stands between the closing quote and the separator is dropped.
    while (pos_ < text_.size() && text_[pos_] != ',' && !a_capo_qui()) ++pos_;
    consuma_separatore();
    return valore;
  }
  const std::size_t inizio = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !a_capo_qui()) ++pos_;
  std::size_t fine_valore = pos_;
  while (fine_valore > inizio && spazio(text_[fine_valore - 1])) --fine_valore;
  std::string valore(text_.substr(inizio, fine_valore - inizio));
  larghezza_campo_ = static_cast<int>(fine_valore - inizio);
  consuma_separatore();
  return valore;
}

std::optional<int32_t> FieldReader::leggi_numero() {
  if (!inizia_campo()) return std::nullopt;
  const std::size_t inizio = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !spazio(text_[pos_]) && !a_capo_qui()) ++pos_;
  const std::string_view cifre = text_.substr(inizio, pos_ - inizio);
  larghezza_campo_ = static_cast<int>(cifre.size());
  salta_spazi();
  consuma_separatore();
  if (cifre.empty()) return 0;

  std::size_t i = 0;
  bool negativo = false;
  if (cifre[0] == '+' || cifre[0] == '-') {
    negativo = cifre[0] == '-';
    i = 1;
  }
  if (i == cifre.size()) return fallisci(citazione(cifre) + " is not a whole number", riga_campo_);
  int64_t valore = 0;
  for (; i < cifre.size(); ++i) {
    const char c = cifre[i];
    if (c < '0' || c > '9') return fallisci(citazione(cifre) + " is not a whole number", riga_campo_);
    valore = valore * 10 + (c - '0');
    if (valore > 2147483648LL)
      return fallisci("the number " + citazione(cifre) + " does not fit 32 bits", riga_campo_);
  }
  if (negativo) valore = -valore;
  if (valore > 2147483647LL)
    return fallisci("the number " + citazione(cifre) + " does not fit 32 bits", riga_campo_);
  return static_cast<int32_t>(valore);
}

}  // namespace genera
