#include "traincomp/train_reader.h"

namespace genera {

void leggi_sorgente_treno(Form1&) {}

}  // namespace genera
