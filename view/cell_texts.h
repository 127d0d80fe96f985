// The texts the results list shows for a record; both exports write these same texts.
#pragma once

#include "collect/holding_record.h"
#include "collect/ui_ports.h"

#include <string>

namespace corvelle::view {

// A single-precision value as the list shows it: the magnitude rounded to six significant digits,
// halves away from zero, with the value's sign, then written as printf's "%.6g" in the C locale. A
// float's representation error never shows (10.39f gives "10.39"). Zero of either sign gives "0".
[[nodiscard]] std::string floatToText(float value);

// Code, name, price, ratio and repeat count ("%d") of one record, in column order.
[[nodiscard]] collect::CellRow cellTexts(const collect::HoldingRecord& record);

}  // namespace corvelle::view
