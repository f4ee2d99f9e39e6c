#include "calc/calc_state.h"

namespace pelorin {

TCalcState CalcState;

} // namespace pelorin
