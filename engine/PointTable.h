#pragma once

#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/MollierProcess.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace psykrona {

// A project's points and processes as a table: what psykrona-cli prints and
// the main window exports as CSV.

// The process from the point at From to the point at To (positions in
// Doc.Points), part of the diagram when the earlier point carries a line to
// the next. Processes are tied to positions, as in the points panel and the
// print layout: the older file format keeps point numbers as stored, so
// they need not be unique.
struct TTableProcess {
    std::size_t From, To;
    double Power, SensiblePower, Water;
};
std::vector<TTableProcess> TableProcesses(const TMain& Doc);

TMoistAirState StateOf(const TMollierPoint& P);

// The further properties of a state, NaN for those without an answer (the
// dew point of dry air, any property of a state past saturation).
TStateProperties PropertiesOrNone(double Pressure, const TMoistAirState& S);

// The word for a prescribed-property code ("temp", "spechum", "relhum",
// "enthalpy"), empty for none.
const char* PrescribedName(int Code);

// Text with its control characters (C0, DEL and the C1 range, also in UTF-8)
// written as \xNN, except those in Keep.
std::string ControlEscaped(std::string_view Text, std::string_view Keep = {});

// A CSV cell: quoted where it holds a comma, a quote or a line break, and,
// where it starts with =, +, - or @, quoted with a leading ' so that a
// spreadsheet shows it as text instead of running it as a formula. Other
// control characters are escaped as in ControlEscaped.
std::string CsvCell(std::string_view Text);

// The table as CSV: a header line and one row per point with the process
// that leads into it where there is one, lines ended by CR LF. Numbers are
// always written with ".", as spreadsheets read them, whatever the user's
// decimal separator; a value without an answer is an empty field.
std::string PointTableCsv(const TMain& Doc);

} // namespace psykrona
