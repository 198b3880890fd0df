// A generated scenario on a line of the greatest length the readers take
// (1,000,000 m), with a realistic mix of every record kind and no failure.
#pragma once

#include <string>

namespace genera::bench {

struct LongScenario {
  std::string linea;  // the line source
  std::string treno;  // the train source
};

/// The same text on every call.
LongScenario genera_scenario_lungo();

}  // namespace genera::bench
