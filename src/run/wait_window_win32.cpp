#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>

#include "run/wait_window.h"

namespace genera {
namespace {

// The form's layout, in twips (1440 to the inch).
constexpr int kLarghezzaForm1 = 4200;
constexpr int kAltezzaForm1 = 2688;
constexpr int kSinistraLabel1 = 960;
constexpr int kAltoLabel1 = 960;
constexpr int kLarghezzaLabel1 = 2652;
constexpr int kAltezzaLabel1 = 792;
constexpr int kPuntiCarattere = 24;
constexpr int kIdLabel1 = 1;
constexpr DWORD kStileForm1 = WS_OVERLAPPEDWINDOW;
constexpr char kClasseForm1[] = "genera_scenario_Form1";
constexpr char kTestoLabel1[] = "Attendere";

struct WaitWindowState {
  HWND Form1 = nullptr;
  HWND Label1 = nullptr;
  HFONT carattere = nullptr;
};

WaitWindowState attesa;

// Nearest pixel, halves away from zero (MulDiv): 2688 twips at 96 DPI are
// 179.2 pixels, so 179.
int in_pixel(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The label's measures fit "Attendere" in MS Sans Serif. The face that
// stands in for it where it is missing may be wider: the label then grows
// to the right, within the form, so that its last letter is not cut.
void allarga_per_il_testo(HWND label, HFONT carattere, int sinistra, int larghezza_form) {
  const HDC dc = GetDC(label);
  if (dc == nullptr) return;
  const HGDIOBJ prima = SelectObject(dc, carattere);
  SIZE testo{};
  const bool misurato =
      GetTextExtentPoint32A(dc, kTestoLabel1, sizeof kTestoLabel1 - 1, &testo) != 0;
  SelectObject(dc, prima);
  ReleaseDC(label, dc);
  RECT r{};
  GetClientRect(label, &r);
  if (!misurato || testo.cx <= r.right) return;
  const int larghezza = std::min<int>(testo.cx + 1, larghezza_form - sinistra);
  SetWindowPos(label, nullptr, 0, 0, larghezza, r.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void mostra_attesa() {
  if (attesa.Form1 != nullptr) return;
  const HINSTANCE istanza = GetModuleHandleA(nullptr);

  WNDCLASSA classe{};
  classe.lpfnWndProc = DefWindowProcA;
  classe.hInstance = istanza;
  classe.hCursor = LoadCursor(nullptr, IDC_ARROW);
  classe.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  classe.lpszClassName = kClasseForm1;
  if (RegisterClassA(&classe) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

  const HDC schermo = GetDC(nullptr);
  const int dpi_x = schermo != nullptr ? GetDeviceCaps(schermo, LOGPIXELSX) : 96;
  const int dpi_y = schermo != nullptr ? GetDeviceCaps(schermo, LOGPIXELSY) : 96;
  if (schermo != nullptr) ReleaseDC(nullptr, schermo);

  // The twips measure the client area; the frame and caption come on top.
  RECT esterno{0, 0, in_pixel(kLarghezzaForm1, dpi_x), in_pixel(kAltezzaForm1, dpi_y)};
  AdjustWindowRect(&esterno, kStileForm1, FALSE);

  // Without a window the run still works: the window only says it is busy.
  attesa.Form1 = CreateWindowExA(0, kClasseForm1, "Form1", kStileForm1, CW_USEDEFAULT,
                                 CW_USEDEFAULT, esterno.right - esterno.left,
                                 esterno.bottom - esterno.top, nullptr, nullptr, istanza, nullptr);
  if (attesa.Form1 == nullptr) return;

  attesa.Label1 = CreateWindowExA(
      0, "STATIC", kTestoLabel1, WS_CHILD | WS_VISIBLE | SS_LEFT, in_pixel(kSinistraLabel1, dpi_x),
      in_pixel(kAltoLabel1, dpi_y), in_pixel(kLarghezzaLabel1, dpi_x),
      in_pixel(kAltezzaLabel1, dpi_y), attesa.Form1,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdLabel1)), istanza, nullptr);

  // FF_SWISS lets the font mapper pick another sans-serif face where
  // "MS Sans Serif" is missing.
  attesa.carattere =
      CreateFontA(-MulDiv(kPuntiCarattere, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
  if (attesa.Label1 != nullptr && attesa.carattere != nullptr) {
    SendMessageA(attesa.Label1, WM_SETFONT, reinterpret_cast<WPARAM>(attesa.carattere), FALSE);
    allarga_per_il_testo(attesa.Label1, attesa.carattere, in_pixel(kSinistraLabel1, dpi_x),
                         in_pixel(kLarghezzaForm1, dpi_x));
  }

  ShowWindow(attesa.Form1, SW_SHOWNORMAL);
  UpdateWindow(attesa.Form1);
}

void chiudi_attesa() {
  if (attesa.Form1 != nullptr && IsWindow(attesa.Form1)) DestroyWindow(attesa.Form1);
  if (attesa.carattere != nullptr) DeleteObject(attesa.carattere);
  attesa = WaitWindowState{};
}

}  // namespace genera
