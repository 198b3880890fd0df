// window_probe: a console helper of the Wine tests. It looks at the windows
// of a running genera_scenario.exe from outside, the way a user sees them,
// presses the message box's OK button, and starts the program the way
// Explorer or a command prompt would.
//
//   window_probe inspect SECONDS   waits for the message box, then prints
//                                  what the wait window and the box show,
//                                  one "key=value" line each
//   window_probe press-ok SECONDS  presses OK on that box
//   window_probe desktop SECONDS   waits until a window can be made on
//                                  the display (Wine's desktop is up)
//   window_probe launch SECONDS PROGRAM [ARG...]
//                                  runs PROGRAM as Explorer does: no
//                                  console and no standard handles
//   window_probe console SECONDS PROGRAM [ARG...]
//                                  runs PROGRAM from a console of its own,
//                                  as cmd.exe does, then prints what the
//                                  console shows, one "console=" line a row
//
// inspect and press-ok print "form_found" and "box_found" first. Exit
// status 0 when done, 1 when no box (no desktop) came in time, 2 on a
// usage error. launch and console print "exit_status" and end with
// PROGRAM's status, or 124 when it did not end in time (it is then
// stopped). Text is printed in UTF-8, a line end inside a value as \n.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& testo) {
  if (testo.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string testo_di(HWND finestra) {
  wchar_t buffer[4096] = {};
  GetWindowTextW(finestra, buffer, static_cast<int>(sizeof buffer / sizeof buffer[0]));
  return utf8(buffer);
}

std::string classe_di(HWND finestra) {
  char buffer[256] = {};
  GetClassNameA(finestra, buffer, static_cast<int>(sizeof buffer));
  return buffer;
}

DWORD processo_di(HWND finestra) {
  DWORD processo = 0;
  GetWindowThreadProcessId(finestra, &processo);
  return processo;
}

std::vector<HWND> finestre_principali() {
  std::vector<HWND> elenco;
  EnumWindows(
      [](HWND finestra, LPARAM dato) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(dato)->push_back(finestra);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&elenco));
  return elenco;
}

std::vector<HWND> figlie(HWND genitore) {
  std::vector<HWND> elenco;
  EnumChildWindows(
      genitore,
      [](HWND finestra, LPARAM dato) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(dato)->push_back(finestra);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&elenco));
  return elenco;
}

// The visible window captioned "Form1" and the message box (a top-level
// dialog); the test's Wine prefix runs no other program.
struct finestre_programma {
  HWND form = nullptr;
  HWND box = nullptr;
};

finestre_programma cerca() {
  finestre_programma trovate;
  for (HWND f : finestre_principali()) {
    if (!IsWindowVisible(f)) continue;
    if (testo_di(f) == "Form1" && classe_di(f) != "#32770") trovate.form = f;
    if (classe_di(f) == "#32770") trovate.box = f;
  }
  return trovate;
}

// Waits until the box is there, or the time is up.
finestre_programma attendi(double secondi) {
  const ULONGLONG fine = GetTickCount64() + static_cast<ULONGLONG>(secondi * 1000);
  for (;;) {
    const finestre_programma trovate = cerca();
    if (trovate.box != nullptr || GetTickCount64() >= fine) return trovate;
    Sleep(100);
  }
}

// Wine starts its desktop process on first use; until it is up, creating a
// window fails. Ready once a hidden window can be made.
bool attendi_desktop(double secondi) {
  const ULONGLONG fine = GetTickCount64() + static_cast<ULONGLONG>(secondi * 1000);
  for (;;) {
    const HWND prova = CreateWindowExA(0, "STATIC", "window_probe", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    if (prova != nullptr) {
      DestroyWindow(prova);
      return true;
    }
    if (GetTickCount64() >= fine) return false;
    Sleep(100);
  }
}

// One "key=value" line; a line end inside the value is written \n (\r),
// so that every value stays on its line.
void stampa(const char* chiave, const std::string& valore) {
  std::string riga;
  for (const char c : valore) {
    if (c == '\n')
      riga += "\\n";
    else if (c == '\r')
      riga += "\\r";
    else
      riga += c;
  }
  std::printf("%s=%s\n", chiave, riga.c_str());
}

std::string misura(int a, int b) { return std::to_string(a) + "x" + std::to_string(b); }

void descrivi_form(HWND form) {
  stampa("form_caption", testo_di(form));
  RECT cliente{};
  GetClientRect(form, &cliente);
  stampa("form_client", misura(cliente.right - cliente.left, cliente.bottom - cliente.top));

  const HDC schermo = GetDC(nullptr);
  stampa("dpi", misura(GetDeviceCaps(schermo, LOGPIXELSX), GetDeviceCaps(schermo, LOGPIXELSY)));
  ReleaseDC(nullptr, schermo);

  const std::vector<HWND> controlli = figlie(form);
  stampa("form_children", std::to_string(controlli.size()));
  for (HWND c : controlli) {
    stampa("label_class", classe_di(c));
    stampa("label_text", testo_di(c));
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    stampa("label_at", std::to_string(r.left) + "," + std::to_string(r.top));
    stampa("label_size", misura(r.right - r.left, r.bottom - r.top));
    // The font handle names a GDI object of the other process; where the
    // system lets us read it, its description is printed too.
    DWORD_PTR risposta = 0;
    SendMessageTimeoutA(c, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &risposta);
    const HFONT carattere = reinterpret_cast<HFONT>(risposta);
    LOGFONTA descrizione{};
    if (carattere != nullptr &&
        GetObjectA(carattere, sizeof descrizione, &descrizione) == sizeof descrizione) {
      stampa("label_font_face", descrizione.lfFaceName);
      stampa("label_font_height", std::to_string(descrizione.lfHeight));
      stampa("label_font_weight", std::to_string(descrizione.lfWeight));
    }
    // How wide the label's text is in the form's font (MS Sans Serif, 24
    // point, bold, or the sans-serif face this system puts in its place):
    // wider than the label, its end is cut off. The program's own font
    // handle cannot be read from another process, so the same font is made
    // here.
    const HDC dc = GetDC(c);
    const HDC schermo_dpi = GetDC(nullptr);
    const int dpi_y = GetDeviceCaps(schermo_dpi, LOGPIXELSY);
    ReleaseDC(nullptr, schermo_dpi);
    const HFONT uguale = CreateFontA(-MulDiv(24, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    if (uguale != nullptr && dc != nullptr) {
      const HGDIOBJ prima = SelectObject(dc, uguale);
      const std::string testo = testo_di(c);
      SIZE misura_testo{};
      if (GetTextExtentPoint32A(dc, testo.c_str(), static_cast<int>(testo.size()), &misura_testo))
        stampa("label_text_width", std::to_string(misura_testo.cx));
      SelectObject(dc, prima);
    }
    if (dc != nullptr) ReleaseDC(c, dc);
    if (uguale != nullptr) DeleteObject(uguale);
  }
}

void descrivi_box(HWND form, HWND box) {
  stampa("box_title", testo_di(box));
  stampa("box_text", testo_di(GetDlgItem(box, 0xFFFF)));
  const HWND proprietario = GetWindow(box, GW_OWNER);
  stampa("box_owner", proprietario == nullptr                   ? "none"
                      : form != nullptr && proprietario == form ? "Form1"
                                                                : "other");
  std::string pulsanti;
  for (HWND c : figlie(box)) {
    if (classe_di(c) != "Button" || !IsWindowVisible(c)) continue;
    if (!pulsanti.empty()) pulsanti += ",";
    pulsanti += testo_di(c);
  }
  stampa("box_buttons", pulsanti);
  // An icon would be a visible Static child with SS_ICON holding one.
  int icone = 0;
  for (HWND c : figlie(box)) {
    if (classe_di(c) != "Static" || !IsWindowVisible(c)) continue;
    if ((GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    DWORD_PTR icona = 0;
    SendMessageTimeoutA(c, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icona);
    if (icona != 0) ++icone;
  }
  stampa("box_icons", std::to_string(icone));
}

// One argument as the program's command-line parser reads it back:
// quoted when it holds blanks, backslashes doubled before a quote.
std::wstring tra_virgolette(const std::wstring& argomento) {
  if (!argomento.empty() && argomento.find_first_of(L" \t\"") == std::wstring::npos)
    return argomento;
  std::wstring out = L"\"";
  std::size_t barre = 0;
  for (const wchar_t c : argomento) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    out.append(c == L'"' ? barre * 2 + 1 : barre, L'\\');
    barre = 0;
    out += c;
  }
  out.append(barre * 2, L'\\');
  return out + L"\"";
}

// Starts the program with no standard handles at all, as Explorer starts a
// windowed program; whether it finds a console is up to the caller. Waits
// for its end; stops it when the time is up.
int esegui_senza_handle(const std::vector<std::wstring>& comando, double secondi) {
  std::wstring riga;
  for (const std::wstring& a : comando) riga += (riga.empty() ? L"" : L" ") + tra_virgolette(a);
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION processo{};
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &avvio,
                      &processo)) {
    stampa("exit_status", "not started (" + std::to_string(GetLastError()) + ")");
    return 2;
  }
  CloseHandle(processo.hThread);
  DWORD stato = 124;
  if (WaitForSingleObject(processo.hProcess, static_cast<DWORD>(secondi * 1000)) == WAIT_OBJECT_0) {
    GetExitCodeProcess(processo.hProcess, &stato);
    stampa("exit_status", std::to_string(stato));
  } else {
    TerminateProcess(processo.hProcess, 124);
    WaitForSingleObject(processo.hProcess, 5000);
    stampa("exit_status", "timeout");
  }
  CloseHandle(processo.hProcess);
  return static_cast<int>(stato);
}

// The rows of this process's console up to the cursor, trailing blanks
// cut, each as a "console=" line.
void stampa_console() {
  const HANDLE schermo =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (schermo == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(schermo, &info)) {
    stampa("console", "(unreadable)");
    return;
  }
  std::vector<wchar_t> riga(static_cast<std::size_t>(info.dwSize.X));
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD letti = 0;
    ReadConsoleOutputCharacterW(schermo, riga.data(), static_cast<DWORD>(riga.size()), COORD{0, y},
                                &letti);
    std::wstring testo(riga.data(), letti);
    testo.erase(testo.find_last_not_of(L' ') + 1);
    if (!testo.empty()) stampa("console", utf8(testo));
  }
  CloseHandle(schermo);
}

// A console of the probe's own, wide enough that no message wraps; the
// program started with no handles attaches to it, as to cmd.exe's.
int esegui_da_console(const std::vector<std::wstring>& comando, double secondi) {
  const HANDLE uscita = GetStdHandle(STD_OUTPUT_HANDLE);
  FreeConsole();
  if (!AllocConsole()) {
    stampa("exit_status", "no console (" + std::to_string(GetLastError()) + ")");
    return 2;
  }
  SetStdHandle(STD_OUTPUT_HANDLE, uscita);
  const HANDLE schermo =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  SetConsoleScreenBufferSize(schermo, COORD{1000, 300});
  CloseHandle(schermo);
  const int stato = esegui_senza_handle(comando, secondi);
  stampa_console();
  return stato;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string comando = argc > 1 ? argv[1] : "";
  if (comando == "launch" || comando == "console") {
    int n = 0;
    LPWSTR* larghi = CommandLineToArgvW(GetCommandLineW(), &n);
    if (larghi == nullptr || n < 4) {
      std::fprintf(stderr, "usage: window_probe %s SECONDS PROGRAM [ARG...]\n", comando.c_str());
      return 2;
    }
    const std::vector<std::wstring> programma(larghi + 3, larghi + n);
    const double secondi = std::atof(argv[2]);
    LocalFree(larghi);
    int stato = 0;
    if (comando == "launch") {
      // Explorer's windowed programs have no console to attach to.
      FreeConsole();
      stato = esegui_senza_handle(programma, secondi);
    } else {
      stato = esegui_da_console(programma, secondi);
    }
    std::fflush(stdout);
    return stato;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_probe inspect|press-ok|desktop SECONDS\n");
    return 2;
  }
  const double secondi = std::atof(argv[2]);
  if (comando != "inspect" && comando != "press-ok" && comando != "desktop") {
    std::fprintf(stderr, "unknown command %s\n", comando.c_str());
    return 2;
  }
  if (comando == "desktop") {
    const bool pronto = attendi_desktop(secondi);
    stampa("desktop", pronto ? "ready" : "missing");
    return pronto ? 0 : 1;
  }
  const finestre_programma trovate = attendi(secondi);
  stampa("form_found", trovate.form != nullptr ? "yes" : "no");
  stampa("box_found", trovate.box != nullptr ? "yes" : "no");
  if (trovate.box == nullptr) return 1;
  if (comando == "inspect") {
    if (trovate.form != nullptr) {
      stampa("same_process", processo_di(trovate.form) == processo_di(trovate.box) ? "yes" : "no");
      descrivi_form(trovate.form);
    }
    descrivi_box(trovate.form, trovate.box);
  } else {
    const HWND ok = GetDlgItem(trovate.box, IDOK);
    DWORD_PTR risposta = 0;
    if (ok != nullptr)
      SendMessageTimeoutA(ok, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &risposta);
    else
      PostMessageA(trovate.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    stampa("pressed", ok != nullptr ? "OK button" : "IDOK command");
  }
  std::fflush(stdout);
  return 0;
}
