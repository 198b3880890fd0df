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

std::string staged_new(std::size_t i) { return "new-" + std::to_string(i); }
std::string staged_old(std::size_t i) { return "old-" + std::to_string(i); }

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

std::string journal_text(const Journal& j) {
  std::string t = kIntestazione;
  t += j.commit ? "commit\n" : "abort\n";
  t += std::to_string(j.entries.size()) + "\n";
  for (const Journal::Entry& e : j.entries)
    t += std::string(e.had_old ? "1" : "0") + " " + std::to_string(e.new_id.device) + " " +
         std::to_string(e.new_id.inode) + " " + std::to_string(e.name.size()) + " " + e.name + "\n";
  t += "end\n";
  return t;
}

/// Reads what journal_text wrote; nothing when the text is anything else.
class LettoreJournal {
 public:
  explicit LettoreJournal(const std::string& t) : t_(t) {}

  std::optional<Journal> leggi() {
    Journal j;
    if (!parola(std::string(kIntestazione, std::char_traits<char>::length(kIntestazione))))
      return {};
    if (parola("commit\n")) {
      j.commit = true;
    } else if (parola("abort\n")) {
      j.commit = false;
    } else {
      return {};
    }
    uint64_t n = 0;
    if (!read_number(n, '\n') || n > 1000) return {};
    for (uint64_t i = 0; i < n; ++i) {
      Journal::Entry e;
      uint64_t old_flag = 0, size_bytes = 0;
      if (!read_number(old_flag, ' ') || old_flag > 1 || !read_number(e.new_id.device, ' ') ||
          !read_number(e.new_id.inode, ' ') || !read_number(size_bytes, ' ') || size_bytes == 0 ||
          size_bytes > t_.size() - at_)
        return {};
      e.had_old = old_flag == 1;
      e.name = t_.substr(at_, size_bytes);
      at_ += size_bytes;
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
  bool read_number(uint64_t& v, char dopo) {
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

void write_journal(FileSystem& fs, const std::string& staging, const Journal& j,
                   const std::string& shown) {
  const std::string contents = journal_text(j);
  const std::string tmp = join_path(staging, kJournalTmp);
  fs.write_new(
      tmp, [&](ByteSink& s) { s.write(contents.data(), contents.size()); }, shown);
  fs.rename(tmp, join_path(staging, kJournal));
  fs.sync_folder(staging);
}

const char* kind_name(FileKind k) {
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

OutputFolder::OutputFolder(FileSystem& fs, std::string folder,
                           const std::vector<std::string>& untouchable)
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
      throw FileError("cannot lock " + folder_ + ": " + join_path(folder_, kFileBlocco) +
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
  for (const std::string& file_name : fs_.list(folder_)) {
    if (file_name.compare(0, prefisso.size(), prefisso) != 0) continue;
    const std::string p = join_path(folder_, file_name);
    const FileInfo info = fs_.stat(p);
    // Only a folder this user made: a file of that name is someone's own.
    if (info.kind == FileKind::folder && info.mine) recover_staging(p);
  }
}

void OutputFolder::recover_staging(const std::string& staging) {
  const std::string journal = join_path(staging, kJournal);
  if (fs_.stat(journal).kind == FileKind::regular) {
    const std::string contents = fs_.read(journal);
    const std::optional<Journal> j = LettoreJournal(contents).leggi();
    if (!j)
      throw FileError("cannot recover " + folder_ + ": " + journal +
                      " is not a journal of this program; look at what it holds, then remove " +
                      staging);
    for (std::size_t i = 0; i < j->entries.size(); ++i) {
      const Journal::Entry& e = j->entries[i];
      const std::string target_path = join_path(folder_, e.name);
      const FileInfo ora = fs_.stat(target_path);
      if (j->commit) {
        // Forward: a new file still in the staging folder goes in.
        const std::string from = join_path(staging, staged_new(i));
        if (fs_.stat(from).kind != FileKind::regular) continue;
        if (ora.kind != FileKind::missing && ora.kind != FileKind::regular)
          throw FileError("cannot finish replacing " + target_path + ": " + kind_name(ora.kind));
        fs_.rename(from, target_path);
      } else if (ora.kind == FileKind::regular && ora.id == e.new_id) {
        // Back: a target that holds its new file gets its old one again.
        const std::string from = join_path(staging, staged_old(i));
        if (e.had_old) {
          if (fs_.stat(from).kind != FileKind::regular)
            throw FileError("cannot put back " + target_path + ": its old copy " + from +
                            " is missing");
          fs_.rename(from, target_path);
        } else {
          fs_.remove(target_path);
        }
      }
    }
    fs_.sync_folder(folder_);
  }
  try {
    sweep(staging);
  } catch (const FileError& e) {
    // The set is whole; only waste is left, and it harms no one.
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " tries again to remove " + staging);
  }
}

void OutputFolder::sweep(const std::string& staging) {
  // The journal goes first: without it what is left is only waste.
  const std::string journal = join_path(staging, kJournal);
  if (fs_.stat(journal).kind == FileKind::regular) fs_.remove(journal);
  for (const std::string& file_name : fs_.list(staging)) {
    const std::string p = join_path(staging, file_name);
    const FileInfo info = fs_.stat(p);
    if (info.kind == FileKind::regular && !untouchable(info)) fs_.remove(p);
  }
  fs_.remove_folder(staging);
}

std::string OutputFolder::make_staging() {
  static constexpr char kCifre[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device casuale;
  std::mt19937_64 g(
      (static_cast<uint64_t>(casuale()) << 32) ^ casuale() ^
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      reinterpret_cast<uintptr_t>(this));
  for (int tentativo = 0; tentativo < 64; ++tentativo) {
    std::string file_name = kPrefissoAppoggio;
    for (int i = 0; i < 12; ++i) file_name += kCifre[g() % (sizeof kCifre - 1)];
    std::string p = join_path(folder_, file_name);
    if (fs_.make_new_folder(p)) return p;
  }
  throw FileError("cannot write into " + folder_ + ": no free name for a staging folder");
}

std::vector<bool> OutputFolder::check_targets(const std::vector<FileToWrite>& file_set) {
  std::vector<bool> existing;
  std::set<std::string> visti;
  for (const FileToWrite& f : file_set) {
    const std::string& p = f.path;
    if (folder_of(p) != folder_ || !visti.insert(name_of(p)).second)
      throw FileError("cannot replace " + p + ": not a single file of " + folder_);
    const FileInfo info = fs_.stat(p);
    if (info.kind != FileKind::missing && info.kind != FileKind::regular)
      throw FileError("cannot replace " + p + ": " + kind_name(info.kind));
    if (info.kind == FileKind::regular) {
      if (untouchable(info)) throw FileError("cannot write " + p + ": it is one of the sources");
      fs_.check_writable(p);
    }
    existing.push_back(info.kind == FileKind::regular);
  }
  return existing;
}

void OutputFolder::check(const std::vector<FileToWrite>& file_set) { check_targets(file_set); }

void OutputFolder::commit(const std::vector<FileToWrite>& file_set) {
  if (file_set.empty()) return;
  Journal j;
  const std::vector<bool> existing = check_targets(file_set);
  for (std::size_t i = 0; i < file_set.size(); ++i)
    j.entries.push_back({name_of(file_set[i].path), {}, existing[i]});

  const std::string staging = make_staging();
  try {
    for (std::size_t i = 0; i < file_set.size(); ++i) {
      const std::string p = join_path(staging, staged_new(i));
      fs_.write_new(p, file_set[i].produce, file_set[i].path);
      j.entries[i].new_id = fs_.stat(p).id;
    }
    // The old files keep a second name, so that a failure can put them back.
    for (std::size_t i = 0; i < file_set.size(); ++i) {
      if (!j.entries[i].had_old) continue;
      const std::string p = join_path(staging, staged_old(i));
      const LinkResult r = fs_.link(file_set[i].path, p);
      if (r == LinkResult::exists)
        throw FileError("cannot replace " + file_set[i].path + ": " + p + " is taken");
      if (r == LinkResult::unsupported) {
        // A file system without hard links (FAT): a copy does as well.
        const std::string copy = fs_.read(file_set[i].path);
        fs_.write_new(
            p, [&](ByteSink& s) { s.write(copy.data(), copy.size()); }, file_set[i].path);
      }
    }
    write_journal(fs_, staging, j, folder_);
  } catch (const FileError&) {
    try {
      sweep(staging);
    } catch (const FileError&) {
      // Nothing outside the staging folder changed: the next run removes it.
    }
    throw;
  }

  try {
    for (std::size_t i = 0; i < file_set.size(); ++i)
      fs_.rename(join_path(staging, staged_new(i)), file_set[i].path);
    fs_.sync_folder(folder_);
  } catch (const FileError& e) {
    try {
      j.commit = false;
      write_journal(fs_, staging, j, folder_);
      recover_staging(staging);
    } catch (const FileError& e2) {
      throw FileError(std::string(e.what()) + "; then " + e2.what() +
                      "; the next run that writes into " + folder_ + " brings back one whole set");
    }
    throw;
  }
  try {
    sweep(staging);
  } catch (const FileError& e) {
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " removes " + staging);
  }
}

Placed OutputFolder::place(const std::string& path, const std::string& bytes) {
  if (folder_of(path) != folder_)
    throw FileError("cannot write " + path + ": not a file of " + folder_);
  const auto stante = [&]() {
    const FileInfo info = fs_.stat(path);
    if (info.kind != FileKind::regular || untouchable(info)) return Placed::different;
    return fs_.read(path) == bytes ? Placed::identical : Placed::different;
  };
  if (fs_.stat(path).kind != FileKind::missing) return stante();
  const std::string staging = make_staging();
  Placed outcome = Placed::created;
  try {
    const std::string p = join_path(staging, staged_new(0));
    fs_.write_new(
        p, [&](ByteSink& s) { s.write(bytes.data(), bytes.size()); }, path);
    // A second name, never a rename: whatever appeared at `path` meanwhile stays.
    switch (fs_.link(p, path)) {
      case LinkResult::done:
        break;
      case LinkResult::exists:
        outcome = stante();
        break;
      case LinkResult::unsupported:
        if (fs_.stat(path).kind != FileKind::missing) {
          outcome = stante();
          break;
        }
        fs_.rename(p, path);
        break;
    }
    fs_.sync_folder(folder_);
  } catch (const FileError&) {
    try {
      sweep(staging);
    } catch (const FileError&) {
    }
    throw;
  }
  try {
    sweep(staging);
  } catch (const FileError& e) {
    leftovers_.push_back(std::string(e.what()) + "; the next run that writes into " + folder_ +
                         " removes " + staging);
  }
  return outcome;
}

void FileSystem::replace_all(const std::vector<FileToWrite>& file_set,
                             const std::vector<std::string>& untouchable) {
  if (file_set.empty()) return;
  OutputFolder dir(*this, folder_of(file_set.front().path), untouchable);
  dir.commit(file_set);
}

void FileSystem::replace(const std::string& path, const std::function<void(ByteSink&)>& produce,
                         const std::vector<std::string>& untouchable) {
  replace_all({{path, produce}}, untouchable);
}

}  // namespace genera
