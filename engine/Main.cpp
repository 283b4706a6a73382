#include "engine/Main.h"

#include "engine/Errors.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "platform/Platform.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace psykrona {

TMain::TMain() { SetPressure(NormalPressure); }

TMollierPoint& TMain::AddPoint() {
    Points.FItems.push_back(std::make_unique<TMollierPoint>());
    return *Points.FItems.back();
}

TMollierPoint& TMain::InsertPoint(int Position) {
    if (Position < 1 || Position > PointCount() + 1) {
        throw std::out_of_range("Point position " + std::to_string(Position) + " is outside 1 to " +
                                std::to_string(PointCount() + 1));
    }
    auto& Items = Points.FItems;
    auto It = Items.insert(Items.begin() + (Position - 1), std::make_unique<TMollierPoint>());
    for (auto Later = It + 1; Later != Items.end(); ++Later) {
        ++(*Later)->Number;
    }
    return **It;
}

void TMain::DeletePoint(int Position) {
    if (Position < 1 || Position > PointCount()) {
        throw std::out_of_range("Point position " + std::to_string(Position) + " is outside 1 to " +
                                std::to_string(PointCount()));
    }
    auto& Items = Points.FItems;
    auto It = Items.erase(Items.begin() + (Position - 1));
    for (; It != Items.end(); ++It) {
        --(*It)->Number;
    }
}

void TMain::SetPressure(double Value) {
    Pressure = Value;
    TMollierCalculate::GetInstance().Pressure = Value;
}

void TMain::SetNormalDensity() {
    Density = NormalDensity;
    DensityTemp = NormalDensityTemp;
    SetPressure(NormalPressure);
}

void TMain::SetRealDensity(double Temp, double PressureMbar) {
    const double Rho = RealDensity(Temp, PressureMbar);
    if (!std::isfinite(Rho)) {
        throw ECalculationError("Calculation error: the density of air at " + FloatToStr(Temp) + " °C and " +
                                FloatToStr(PressureMbar) + " mbar is not a finite number");
    }
    Density = Rho;
    DensityTemp = Temp;
    SetPressure(PressureMbar / 10);
}

void TMain::CalculateAll() {
    TMollierCalculate& Calc = TMollierCalculate::GetInstance();
    Calc.Pressure = Pressure;
    for (TMollierPoint& P : Points) {
        TMoistAirState S{P.Temp, P.SpecHum, P.RelHum, P.Enthalpy};
        if (Calc.SolveFromPair(P.Prescribed1, P.Prescribed2, S)) {
            P.Temp = S.Temp;
            P.SpecHum = S.SpecHum;
            P.RelHum = S.RelHum;
            P.Enthalpy = S.Enthalpy;
        }
    }
}

double TMain::Power(double Enthalpy1, double Enthalpy2) const {
    return TMollierCalculate::Power(AirFlow, Density, Enthalpy1, Enthalpy2);
}

double TMain::SensiblePower(double Temp1, double Temp2, double SpecHum1, double SpecHum2) const {
    return TMollierCalculate::SensiblePower(AirFlow, Density, Temp1, Temp2, SpecHum1, SpecHum2);
}

double TMain::Water(double SpecHum1, double SpecHum2) const {
    return TMollierCalculate::Power(AirFlow, Density, SpecHum1, SpecHum2) * 60;
}

// rho = 351.6 / (273 + t) * p / 1013: 1.2 kg/m³ at 20 °C and 1013 mbar.
double TMain::RealDensity(double Temp, double PressureMbar) { return 351.6 / (273 + Temp) * PressureMbar / 1013; }

std::string TMain::GetVersion() { return "2.1b"; }

std::string TMain::GetProgramDir() { return ProgramFolder(); }

} // namespace psykrona
