#include <windows.h>

#include <cstdio>

#include "run/console.h"

namespace genera {
namespace {

bool handle_valido(DWORD quale) {
  const HANDLE h = GetStdHandle(quale);
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

// A GUI-subsystem program started from cmd.exe has no console: without
// this, --help, inspect and every message would go nowhere.
void collega_console() {
  const bool out = handle_valido(STD_OUTPUT_HANDLE);
  const bool err = handle_valido(STD_ERROR_HANDLE);
  if (out && err) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace genera
