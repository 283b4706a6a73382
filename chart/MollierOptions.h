#pragma once

namespace psykrona {

// The chart limits the user chose: the lowest and highest dry-bulb
// temperature (°C) and humidity ratio (kg/kg). The renderer fits its own copy
// of them to the saturation curve; this object keeps them as set. Every value
// is accepted and clamped against the current opposite limit, so a new pair
// is applied as minimum, maximum, minimum.
class TMollierOptions {
public:
    static constexpr double DefaultMinTemp = -20;
    static constexpr double DefaultMaxTemp = 50;
    static constexpr double DefaultMinSpecHum = 0;
    static constexpr double DefaultMaxSpecHum = 0.035;

    double MinTemp() const { return FMinTemp; }
    double MaxTemp() const { return FMaxTemp; }
    double MinSpecHum() const { return FMinSpecHum; }
    double MaxSpecHum() const { return FMaxSpecHum; }

    void SetMinTemp(double Value);
    void SetMaxTemp(double Value);
    void SetMinSpecHum(double Value);
    // No upper bound: the renderer lowers it to saturation at MaxTemp.
    void SetMaxSpecHum(double Value);

private:
    double FMinTemp = DefaultMinTemp;
    double FMaxTemp = DefaultMaxTemp;
    double FMinSpecHum = DefaultMinSpecHum;
    double FMaxSpecHum = DefaultMaxSpecHum;
};

} // namespace psykrona
