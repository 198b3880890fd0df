#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// shellapi.h needs the types windows.h declares, so it comes after.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/utf16_win32.h"
#include "run/console.h"

namespace genera {
namespace {

// A handle that leads somewhere: a console, a file, a pipe, a device.
bool handle_valido(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  SetLastError(NO_ERROR);
  return GetFileType(h) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

bool e_console(HANDLE h) {
  DWORD modo = 0;
  return handle_valido(h) && GetConsoleMode(h, &modo) != 0;
}

// The CRT writes bytes, and a console reads bytes in its own code page,
// which spells few names. So what goes to a console passes through a
// pipe instead: a thread reads the UTF-8 and hands it to WriteConsoleW.
struct Traduzione {
  HANDLE console = nullptr;  // where the text is shown
  HANDLE lettura = nullptr;  // the pipe's read end
  HANDLE thread = nullptr;
  bool out = false;  // stdout goes through the pipe
  bool err = false;  // stderr goes through the pipe
};

Traduzione traduzione;

void scrivi_console(HANDLE console, const std::string& utf8) {
  const std::wstring testo = utf16_from_utf8(utf8);
  std::size_t fatto = 0;
  while (fatto < testo.size()) {
    // Pieces of at most 8192 characters, never splitting a surrogate pair.
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(testo.size() - fatto, 8192));
    if (n > 1 && fatto + n < testo.size() && IS_HIGH_SURROGATE(testo[fatto + n - 1])) --n;
    DWORD scritti = 0;
    if (!WriteConsoleW(console, testo.data() + fatto, n, &scritti, nullptr) || scritti == 0) return;
    fatto += scritti;
  }
}

// How many leading bytes of `b` end on a whole UTF-8 character: a
// character cut by the end of one read waits for the next.
std::size_t fine_caratteri_interi(const std::string& b) {
  const std::size_t n = b.size();
  for (std::size_t indietro = 1; indietro <= 3 && indietro <= n; ++indietro) {
    const auto c = static_cast<unsigned char>(b[n - indietro]);
    if ((c & 0xC0) == 0x80) continue;
    const std::size_t lunghezza = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return lunghezza > indietro ? n - indietro : n;
  }
  return n;
}

DWORD WINAPI traduci(void*) {
  std::string attesa;
  char blocco[4096];
  DWORD letti = 0;
  while (ReadFile(traduzione.lettura, blocco, sizeof blocco, &letti, nullptr) && letti > 0) {
    attesa.append(blocco, letti);
    const std::size_t interi = fine_caratteri_interi(attesa);
    scrivi_console(traduzione.console, attesa.substr(0, interi));
    attesa.erase(0, interi);
  }
  scrivi_console(traduzione.console, attesa);
  return 0;
}

// At exit: the streams' last bytes into the pipe, the pipe closed (the
// thread then reads its end) and the thread given time to show them.
void chiudi_traduzione() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (traduzione.out) {
    _close(1);
    SetStdHandle(STD_OUTPUT_HANDLE, traduzione.console);
  }
  if (traduzione.err) {
    _close(2);
    SetStdHandle(STD_ERROR_HANDLE, traduzione.console);
  }
  WaitForSingleObject(traduzione.thread, 10000);
}

// Puts the descriptor `fd` under `stream`, whose standard descriptor is
// `numero`, for the CRT and for GetStdHandle alike.
bool devia(std::FILE* stream, int numero, DWORD quale, int fd) {
  std::fflush(stream);
  if (_dup2(fd, numero) != 0) return false;
#ifndef _UCRT
  // Started without this handle, the stream has no descriptor at all (-2),
  // and Wine's freopen refuses such a stream: it gets the standard one.
  if (_fileno(stream) < 0) stream->_file = numero;
#endif
  if (_fileno(stream) != numero) return false;
  SetStdHandle(quale, reinterpret_cast<HANDLE>(_get_osfhandle(numero)));
  return true;
}

bool avvia_traduzione(HANDLE console, bool out, bool err) {
  HANDLE lettura = nullptr;
  HANDLE scrittura = nullptr;
  if (!CreatePipe(&lettura, &scrittura, nullptr, 0)) return false;
  // Text mode, as a console stream has: "\n" reaches the console as "\r\n".
  const int fd_pipe = _open_osfhandle(reinterpret_cast<intptr_t>(scrittura), _O_TEXT);
  if (fd_pipe < 0) {
    CloseHandle(lettura);
    CloseHandle(scrittura);
    return false;
  }
  traduzione.console = console;
  traduzione.lettura = lettura;
  traduzione.thread = CreateThread(nullptr, 0, traduci, nullptr, 0, nullptr);
  if (traduzione.thread == nullptr) {
    _close(fd_pipe);
    CloseHandle(lettura);
    traduzione = Traduzione{};
    return false;
  }
  traduzione.out = out && devia(stdout, 1, STD_OUTPUT_HANDLE, fd_pipe);
  traduzione.err = err && devia(stderr, 2, STD_ERROR_HANDLE, fd_pipe);
  _close(fd_pipe);
  // Each message shows when it is written, as on a console of its own.
  if (traduzione.err) std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::atexit(chiudi_traduzione);
  return traduzione.out || traduzione.err;
}

HANDLE apri_console() {
  const HANDLE h =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

// Attaches the console of the process that started this one, if it has one.
bool attacca_console_del_chiamante() {
  if (AttachConsole(ATTACH_PARENT_PROCESS)) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED) return false;
  // Attached already. Wine attaches a windowed program to its parent's
  // console without making that console usable to it: attach again.
  if (const HANDLE h = apri_console()) {
    CloseHandle(h);
    return true;
  }
  FreeConsole();
  return AttachConsole(ATTACH_PARENT_PROCESS) != 0;
}

}  // namespace

// A GUI-subsystem program started from cmd.exe has no console: without
// this, --help, inspect and every message would go nowhere.
void collega_console() {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  const bool manca_out = !handle_valido(out);
  const bool manca_err = !handle_valido(err);
  const bool attaccata = (manca_out || manca_err) && attacca_console_del_chiamante();
  // On the console: the streams that hold it, and the missing ones once
  // it is attached.
  const bool console_out = e_console(out) || (manca_out && attaccata);
  const bool console_err = e_console(err) || (manca_err && attaccata);
  if (!console_out && !console_err) return;
  // A handle of the translation's own: the streams' ones close with them.
  const HANDLE console = apri_console();
  if (console == nullptr) return;
  if (avvia_traduzione(console, console_out, console_err)) return;
  // Without the pipe the missing streams still get the console, which
  // reads their bytes in its code page.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(console), _O_TEXT);
  if (fd < 0) {
    CloseHandle(console);
    return;
  }
  if (manca_out && attaccata) devia(stdout, 1, STD_OUTPUT_HANDLE, fd);
  if (manca_err && attaccata) devia(stderr, 2, STD_ERROR_HANDLE, fd);
  _close(fd);
}

std::vector<std::string> argomenti_programma(int argc, char** argv) {
  int n = 0;
  LPWSTR* larghi = CommandLineToArgvW(GetCommandLineW(), &n);
  if (larghi == nullptr) return {argv, argv + argc};
  std::vector<std::string> argomenti;
  for (int i = 0; i < n; ++i) argomenti.push_back(utf8_from_utf16(larghi[i]));
  LocalFree(larghi);
  return argomenti;
}

bool errori_su_terminale() { return false; }

void flussi_binari() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

// stderr on the console goes through the translation's pipe.
bool errori_su_console() { return traduzione.err || e_console(GetStdHandle(STD_ERROR_HANDLE)); }

}  // namespace genera
