#pragma once

#include "engine/Errors.h"

#include <cmath>
#include <string>

// The calculator's failure paths, shared by its formulas and its search.
namespace psykrona::calculation {

[[noreturn]] inline void Fail(const std::string& Why) { throw ECalculationError("Calculation error: " + Why); }

// Division as the floating-point unit would trap it: by zero has no result.
inline double Div(double A, double B) {
    if (B == 0) {
        Fail("division by zero");
    }
    return A / B;
}

inline double Checked(double Value) {
    if (!std::isfinite(Value)) {
        Fail("the result is not a finite number");
    }
    return Value;
}

} // namespace psykrona::calculation
