#include "chart/MollierOptions.h"

namespace psykrona {

namespace {

constexpr double KLowestTemp = -40;
constexpr double KHighestTemp = 80;
constexpr double KMinTempSpan = 2;        // °C
constexpr double KMinSpecHumSpan = 0.002; // kg/kg

} // namespace

void TMollierOptions::SetMinTemp(double Value) {
    FMinTemp = FMaxTemp - KMinTempSpan > Value ? Value : FMaxTemp - KMinTempSpan;
    if (FMinTemp < KLowestTemp) {
        FMinTemp = KLowestTemp;
    }
}

void TMollierOptions::SetMaxTemp(double Value) {
    FMaxTemp = FMinTemp + KMinTempSpan < Value ? Value : FMinTemp + KMinTempSpan;
    if (FMaxTemp > KHighestTemp) {
        FMaxTemp = KHighestTemp;
    }
}

void TMollierOptions::SetMinSpecHum(double Value) {
    FMinSpecHum = FMaxSpecHum - KMinSpecHumSpan > Value ? Value : FMaxSpecHum - KMinSpecHumSpan;
    if (FMinSpecHum < 0) {
        FMinSpecHum = 0;
    }
}

void TMollierOptions::SetMaxSpecHum(double Value) {
    FMaxSpecHum = FMinSpecHum + KMinSpecHumSpan < Value ? Value : FMinSpecHum + KMinSpecHumSpan;
}

} // namespace psykrona
