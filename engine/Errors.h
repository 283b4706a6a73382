#pragma once

#include <stdexcept>
#include <string>

namespace psykrona {

// A moist-air calculation that has no result: a table lookup outside the
// saturation table, a division by zero, a non-finite result, or a search that
// finds no solution.
class ECalculationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that does not convert to a number.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace psykrona
