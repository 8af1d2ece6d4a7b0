// Splits one line of the postal authority's CSV into its fields, taking the
// quotes off. Knows nothing of what the fields mean: see postal_row.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prep::import {

// Splits `line` (without its line end) at the commas outside quotes. A
// quoted field loses its quotes and has "" read as one quote. Returns false
// with `error` (UTF-8) for broken quoting or for a comma inside a field,
// which a master record could not hold.
bool SplitCsvFields(std::string_view line, std::vector<std::string>& fields, std::string& error);

}  // namespace prep::import
