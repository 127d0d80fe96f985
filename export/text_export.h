// The tab-separated text of a report list: a TAB after every cell, CR LF between rows, none at the end.
#pragma once

#include "export/list_source.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvelle::exporting {

// The whole list as one text, cells exactly as the list holds them (GBK, no quoting, no header line).
// An empty list gives the empty text.
[[nodiscard]] std::string listToText(const ListSource& list);

// Every line followed by CR LF, then the result passed through trimLineBreaks.
[[nodiscard]] std::string joinLines(const std::vector<std::string>& lines);

// Removes CR LF pairs from the end, then from the start; lone CR or LF bytes stay.
[[nodiscard]] std::string trimLineBreaks(std::string_view text);

}  // namespace corvelle::exporting
