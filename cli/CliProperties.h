#pragma once

#include "cli/CliCommand.h"

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/PointTable.h"

#include <string>

namespace psykrona {

// The further properties of a state (dew point, wet bulb, densities, vapour
// pressure) and of a process (latent power, sensible heat ratio, water per
// hour) as the commands print them. A value without an answer (the dew point
// of dry air, any property of a state past saturation) is "null" in JSON, an
// empty CSV field (PointTableCsv) and "-" in text.

// ,"dewpoint":…,"wetbulb":…,"moist_air_density":…,"specific_volume":…,"vapour_pressure":…
std::string PropertiesJson(double Pressure, const TMoistAirState& S);
// Lines in the layout of the state command.
std::string PropertiesText(double Pressure, const TMoistAirState& S);

// The latent power, sensible heat ratio and water of the process from Q to P
// at the project's air flow and density.
std::string ProcessJson(const TMain& Doc, const TMollierPoint& Q, const TMollierPoint& P);

// Prints a state as the state command does, text or JSON.
void PrintState(double Pressure, const TMoistAirState& S, bool Json);

// A point named by its number on the command line (1 .. PointCount).
const TMollierPoint& PointArgument(const TMain& Doc, const std::string& Text);

// The state command's pairs beyond the four properties: --temp with
// --dewpoint or --wetbulb, and --wetbulb with --relhum. Returns false when
// neither --dewpoint nor --wetbulb is given; Others is the number of the four
// properties given besides.
bool SolveDewOrWetBulb(const TCliArgs& A, double Pressure, int Others, TMoistAirState& S);

} // namespace psykrona
