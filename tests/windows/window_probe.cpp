// window_probe: a console helper of the Wine tests. It looks at the windows
// of a running genera_scenario.exe from outside, the way a user sees them,
// and presses the message box's OK button.
//
//   window_probe inspect SECONDS   waits for the message box, then prints
//                                  what the wait window and the box show,
//                                  one "key=value" line each
//   window_probe press-ok SECONDS  presses OK on that box
//   window_probe desktop SECONDS   waits until a window can be made on
//                                  the display (Wine's desktop is up)
//
// inspect and press-ok print "form_found" and "box_found" first. Exit
// status 0 when done, 1 when no box (no desktop) came in time, 2 on a
// usage error.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string testo_di(HWND finestra) {
  char buffer[1024] = {};
  GetWindowTextA(finestra, buffer, static_cast<int>(sizeof buffer));
  return buffer;
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

void stampa(const char* chiave, const std::string& valore) { std::printf("%s=%s\n", chiave, valore.c_str()); }

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
    if (carattere != nullptr && GetObjectA(carattere, sizeof descrizione, &descrizione) == sizeof descrizione) {
      stampa("label_font_face", descrizione.lfFaceName);
      stampa("label_font_height", std::to_string(descrizione.lfHeight));
      stampa("label_font_weight", std::to_string(descrizione.lfWeight));
    }
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_probe inspect|press-ok|desktop SECONDS\n");
    return 2;
  }
  const std::string comando = argv[1];
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
