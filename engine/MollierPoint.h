#pragma once

#include <string>

namespace psykrona {

// One state of moist air in the user's process. Two of the four properties
// are prescribed (the values the user fixed, by the codes of TPropertyCode in
// either order); the other two are the calculator's unrounded results at the
// project's pressure.
class TMollierPoint {
public:
    std::string Name;
    int Number = 1;      // 1-based position in the project's list
    double Temp = 0;     // °C
    double SpecHum = 0;  // kg/kg
    double RelHum = 0;   // %
    double Enthalpy = 0; // kJ/kg
    int Prescribed1 = 0;
    int Prescribed2 = 0;
    bool ShowInChart = true;
    bool LineToNext = true; // the process to the next point is part of the diagram

    bool IsPrescribed(int Code) const { return Prescribed1 == Code || Prescribed2 == Code; }
};

} // namespace psykrona
