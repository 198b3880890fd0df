#include "postpass/signal_codes.h"

namespace genera {

double minimo(double x, double y) { return x > y ? y : x; }

void aggiungi_codici(Form1&) {}

}  // namespace genera
