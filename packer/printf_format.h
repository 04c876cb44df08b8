// Reading the conversions of a printf format, so that a configured text the
// launcher formats with fixed arguments can be checked before it ships.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// One letter per argument the format consumes, in order: the conversion
// letter itself, except that every floating-point conversion reads as 'f'
// and a '*' width or precision as '*'. "%%" consumes nothing. A '%' without
// a conversion letter is a PackError.
std::string printf_argument_kinds(std::string_view format);

}  // namespace kestrel
