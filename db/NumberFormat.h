// Number display masks as numeric fields use them ("#,##0.00",
// "#,##0.#######", "##0.#######", "0"): "0" a digit always shown, "#" a
// digit shown when significant, "," anywhere before the point asks for
// thousands grouping, "." the decimal point; up to three sections separated
// by ";" for positive, negative and zero values; any other character is
// copied as it stands (text in quotes too).
#pragma once

#include <string>

namespace vcl {

// An empty mask gives the general form (plat::FloatToStr).
std::string FormatFloat(const std::string& mask, double value);

}  // namespace vcl
