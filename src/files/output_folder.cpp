#include "files/output_folder.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <utility>

namespace genera {
namespace {

constexpr const char* kJournal = "journal";
constexpr const char* kJournalTmp = "journal.tmp";
constexpr const char* kIntestazione = "genera_scenario journal 1\n";

std::string nuovo(std::size_t i) { return "new-" + std::to_string(i); }
std::string vecchio(std::size_t i) { return "old-" + std::to_string(i); }

/// What the journal of a commit names: the direction, and for each target
/// its name, the identity of its new file and whether it had an old one.
struct Journal {
  bool commit = true;  // false: abort, the old set goes back
  struct Entry {
    std::string name;
    FileId new_id;
    bool had_old = false;
  };
  std::vector<Entry> entries;
};

std::string testo_journal(const Journal& j) {
  std::string t = kIntestazione;
  t += j.commit ? "commit\n" : "abort\n";
  t += std::to_string(j.entries.size()) + "\n";
  for (const Journal::Entry& e : j.entries)
    t += std::string(e.had_old ? "1" : "0") + " " + std::to_string(e.new_id.device) + " " +
         std::to_string(e.new_id.inode) + " " + std::to_string(e.name.size()) + " " + e.name + "\n";
  t += "end\n";
  return t;
}

/// Reads what testo_journal wrote; nothing when the text is anything else.
class LettoreJournal {
 public:
  explicit LettoreJournal(const std::string& t) : t_(t) {}

  std::optional<Journal> leggi() {
    Journal j;
    if (!parola(std::string(kIntestazione, std::char_traits<char>::length(kIntestazione)))) return {};
    if (parola("commit\n")) {
      j.commit = true;
    } else if (parola("abort\n")) {
      j.commit = false;
    } else {
      return {};
    }
    uint64_t n = 0;
    if (!numero(n, '\n') || n > 1000) return {};
    for (uint64_t i = 0; i < n; ++i) {
      Journal::Entry e;
      uint64_t vecchio = 0, lunghezza = 0;
      if (!numero(vecchio, ' ') || vecchio > 1 || !numero(e.new_id.device, ' ') ||
          !numero(e.new_id.inode, ' ') || !numero(lunghezza, ' ') || lunghezza == 0 ||
          lunghezza > t_.size() - at_)
        return {};
      e.had_old = vecchio == 1;
      e.name = t_.substr(at_, lunghezza);
      at_ += lunghezza;
      if (!parola("\n") || e.name.find_first_of("/\\") != std::string::npos || e.name == "." ||
          e.name == "..")
        return {};
      j.entries.push_back(std::move(e));
    }
    if (!parola("end\n") || at_ != t_.size()) return {};
    return j;
  }

 private:
  bool parola(const std::string& p) {
    if (t_.compare(at_, p.size(), p) != 0) return false;
    at_ += p.size();
    return true;
  }
  bool numero(uint64_t& v, char dopo) {
    const std::size_t inizio = at_;
    v = 0;
    while (at_ < t_.size() && t_[at_] >= '0' && t_[at_] <= '9') {
      if (at_ - inizio >= 19) return false;
      v = v * 10 + static_cast<uint64_t>(t_[at_] - '0');
      ++at_;
    }
    if (at_ == inizio || at_ >= t_.size() || t_[at_] != dopo) return false;
    ++at_;
    return true;
  }

  const std::string& t_;
  std::size_t at_ = 0;
};

void scrivi_journal(FileSystem& fs, const std::string& staging, const Journal& j,
                    const std::string& shown) {
  const std::string testo = testo_journal(j);
  const std::string tmp = percorso_file(staging, kJournalTmp);
  fs.write_new(tmp, [&](ByteSink& s) { s.write(testo.data(), testo.size()); }, shown);
  fs.rename(tmp, percorso_file(staging, kJournal));
  fs.sync_folder(staging);
}

const char* cosa_e(FileKind k) {
  switch (k) {
    case FileKind::folder:
      return "it is a folder";
    case FileKind::link:
      return "it is a symbolic link, which is never written through or replaced";
    case FileKind::other:
      return "it is not a regular file";
    case FileKind::missing:
    case FileKind::regular:
      break;
  }
  return "";
}

}  // namespace

OutputFolder::OutputFolder(FileSystem& fs, std::string folder, std::vector<std::string> untouchable)
    : fs_(fs), folder_(std::move(folder)) {
  for (const std::string& p : untouchable) {
    // The name itself and, when it is a link, the file it leads to.
    for (bool follow : {false, true}) {
      const FileInfo info = fs_.stat(p, follow);
      if (info.kind != FileKind::missing) untouchable_.push_back(info.id);
    }
  }
  lock_ = fs_.lock_folder(folder_);
  for (const FileId& id : untouchable_)
    if (id == lock_->id())
      throw ErroreFile("cannot lock " + folder_ + ": " + percorso_file(folder_, kFileBlocco) +
                       " is one of the sources; give it another name");
  recover();
}

bool OutputFolder::untouchable(const FileInfo& info) const {
  for (const FileId& id : untouchable_)
    if (id == info.id) return true;
  return false;
}

void OutputFolder::recover() {
  const std::string prefisso = kPrefissoAppoggio;
  for (const std::string& nome : fs_.list(folder_)) {
    if (nome.compare(0, prefisso.size(), prefisso) != 0) continue;
    const std::string p = percorso_file(folder_, nome);
    const FileInfo info = fs_.stat(p);
    // Only a folder this user made: a file of that name is someone's own.
    if (info.kind == FileKind::folder && info.mine) recover_staging(p);
  }
}

void OutputFolder::recover_staging(const std::string& staging) {
  const std::string journal = percorso_file(staging, kJournal);
  if (fs_.stat(journal).kind == FileKind::regular) {
    const std::string testo = fs_.read(journal);
    const std::optional<Journal> j = LettoreJournal(testo).leggi();
    if (!j)
      throw ErroreFile("cannot recover " + folder_ + ": " + journal +
                       " is not a journal of this program; look at what it holds, then remove " +
                       staging);
    for (std::size_t i = 0; i < j->entries.size(); ++i) {
      const Journal::Entry& e = j->entries[i];
      const std::string bersaglio = percorso_file(folder_, e.name);
      const FileInfo ora = fs_.stat(bersaglio);
      if (j->commit) {
        // Forward: a new file still in the staging folder goes in.
        const std::string da = percorso_file(staging, nuovo(i));
        if (fs_.stat(da).kind != FileKind::regular) continue;
        if (ora.kind != FileKind::missing && ora.kind != FileKind::regular)
          throw ErroreFile("cannot finish replacing " + bersaglio + ": " + cosa_e(ora.kind));
        fs_.rename(da, bersaglio);
      } else if (ora.kind == FileKind::regular && ora.id == e.new_id) {
        // Back: a target that holds its new file gets its old one again.
        const std::string da = percorso_file(staging, vecchio(i));
        if (e.had_old) {
          if (fs_.stat(da).kind != FileKind::regular)
            throw ErroreFile("cannot put back " + bersaglio + ": its old copy " + da + " is missing");
          fs_.rename(da, bersaglio);
        } else {
          fs_.remove(bersaglio);
        }
      }
    }
    fs_.sync_folder(folder_);
  }
  try {
    sweep(staging);
  } catch (const ErroreFile& e) {
    // The set is whole; only waste is left, and it harms no one.
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " tries again to remove " + staging);
  }
}

void OutputFolder::sweep(const std::string& staging) {
  // The journal goes first: without it what is left is only waste.
  const std::string journal = percorso_file(staging, kJournal);
  if (fs_.stat(journal).kind == FileKind::regular) fs_.remove(journal);
  for (const std::string& nome : fs_.list(staging)) {
    const std::string p = percorso_file(staging, nome);
    const FileInfo info = fs_.stat(p);
    if (info.kind == FileKind::regular && !untouchable(info)) fs_.remove(p);
  }
  fs_.remove_folder(staging);
}

std::string OutputFolder::make_staging() {
  static constexpr char kCifre[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device casuale;
  std::mt19937_64 g((static_cast<uint64_t>(casuale()) << 32) ^ casuale() ^
                    static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    reinterpret_cast<uintptr_t>(this));
  for (int tentativo = 0; tentativo < 64; ++tentativo) {
    std::string nome = kPrefissoAppoggio;
    for (int i = 0; i < 12; ++i) nome += kCifre[g() % (sizeof kCifre - 1)];
    const std::string p = percorso_file(folder_, nome);
    if (fs_.make_new_folder(p)) return p;
  }
  throw ErroreFile("cannot write into " + folder_ + ": no free name for a staging folder");
}

std::vector<bool> OutputFolder::check_targets(const std::vector<FileDaScrivere>& insieme) {
  std::vector<bool> esistono;
  std::set<std::string> visti;
  for (const FileDaScrivere& f : insieme) {
    const std::string& p = f.percorso;
    if (cartella_di(p) != folder_ || !visti.insert(nome_di(p)).second)
      throw ErroreFile("cannot replace " + p + ": not a single file of " + folder_);
    const FileInfo info = fs_.stat(p);
    if (info.kind != FileKind::missing && info.kind != FileKind::regular)
      throw ErroreFile("cannot replace " + p + ": " + cosa_e(info.kind));
    if (info.kind == FileKind::regular) {
      if (untouchable(info)) throw ErroreFile("cannot write " + p + ": it is one of the sources");
      fs_.check_writable(p);
    }
    esistono.push_back(info.kind == FileKind::regular);
  }
  return esistono;
}

void OutputFolder::check(const std::vector<FileDaScrivere>& insieme) { check_targets(insieme); }

void OutputFolder::commit(const std::vector<FileDaScrivere>& insieme) {
  if (insieme.empty()) return;
  Journal j;
  const std::vector<bool> esistono = check_targets(insieme);
  for (std::size_t i = 0; i < insieme.size(); ++i) j.entries.push_back({nome_di(insieme[i].percorso), {}, esistono[i]});

  const std::string staging = make_staging();
  try {
    for (std::size_t i = 0; i < insieme.size(); ++i) {
      const std::string p = percorso_file(staging, nuovo(i));
      fs_.write_new(p, insieme[i].produci, insieme[i].percorso);
      j.entries[i].new_id = fs_.stat(p).id;
    }
    // The old files keep a second name, so that a failure can put them back.
    for (std::size_t i = 0; i < insieme.size(); ++i) {
      if (!j.entries[i].had_old) continue;
      const std::string p = percorso_file(staging, vecchio(i));
      const LinkResult r = fs_.link(insieme[i].percorso, p);
      if (r == LinkResult::exists) throw ErroreFile("cannot replace " + insieme[i].percorso + ": " + p + " is taken");
      if (r == LinkResult::unsupported) {
        // A file system without hard links (FAT): a copy does as well.
        const std::string copia = fs_.read(insieme[i].percorso);
        fs_.write_new(p, [&](ByteSink& s) { s.write(copia.data(), copia.size()); }, insieme[i].percorso);
      }
    }
    scrivi_journal(fs_, staging, j, folder_);
  } catch (const ErroreFile&) {
    try {
      sweep(staging);
    } catch (const ErroreFile&) {
      // Nothing outside the staging folder changed: the next run removes it.
    }
    throw;
  }

  try {
    for (std::size_t i = 0; i < insieme.size(); ++i)
      fs_.rename(percorso_file(staging, nuovo(i)), insieme[i].percorso);
    fs_.sync_folder(folder_);
  } catch (const ErroreFile& e) {
    try {
      j.commit = false;
      scrivi_journal(fs_, staging, j, folder_);
      recover_staging(staging);
    } catch (const ErroreFile& e2) {
      throw ErroreFile(std::string(e.what()) + "; then " + e2.what() +
                       "; the next run that writes into " + folder_ +
                       " brings back one whole set");
    }
    throw;
  }
  try {
    sweep(staging);
  } catch (const ErroreFile& e) {
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " removes " + staging);
  }
}

Placed OutputFolder::place(const std::string& path, const std::string& bytes) {
  if (cartella_di(path) != folder_) throw ErroreFile("cannot write " + path + ": not a file of " + folder_);
  const auto stante = [&]() {
    const FileInfo info = fs_.stat(path);
    if (info.kind != FileKind::regular || untouchable(info)) return Placed::different;
    return fs_.read(path) == bytes ? Placed::identical : Placed::different;
  };
  if (fs_.stat(path).kind != FileKind::missing) return stante();
  const std::string staging = make_staging();
  Placed esito = Placed::created;
  try {
    const std::string p = percorso_file(staging, nuovo(0));
    fs_.write_new(p, [&](ByteSink& s) { s.write(bytes.data(), bytes.size()); }, path);
    // A second name, never a rename: whatever appeared at `path` meanwhile stays.
    switch (fs_.link(p, path)) {
      case LinkResult::done:
        break;
      case LinkResult::exists:
        esito = stante();
        break;
      case LinkResult::unsupported:
        if (fs_.stat(path).kind != FileKind::missing) {
          esito = stante();
          break;
        }
        fs_.rename(p, path);
        break;
    }
    fs_.sync_folder(folder_);
  } catch (const ErroreFile&) {
    try {
      sweep(staging);
    } catch (const ErroreFile&) {
    }
    throw;
  }
  try {
    sweep(staging);
  } catch (const ErroreFile& e) {
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " removes " + staging);
  }
  return esito;
}

void FileSystem::replace_all(const std::vector<FileDaScrivere>& insieme,
                             const std::vector<std::string>& untouchable) {
  if (insieme.empty()) return;
  OutputFolder cartella(*this, cartella_di(insieme.front().percorso), untouchable);
  cartella.commit(insieme);
}

void FileSystem::replace(const std::string& path, const std::function<void(ByteSink&)>& produce,
                         const std::vector<std::string>& untouchable) {
  replace_all({{path, produce}}, untouchable);
}

}  // namespace genera
