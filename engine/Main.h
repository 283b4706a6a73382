#pragma once

#include "engine/MollierPoint.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace psykrona {

// The project's points in list order. Each point lives at a fixed address
// for as long as it is in the list, so windows may keep a reference to the
// point they edit while others are added or removed.
class TMollierPointArray {
public:
    TMollierPoint& operator[](std::size_t Index) { return *FItems[Index]; }
    const TMollierPoint& operator[](std::size_t Index) const { return *FItems[Index]; }
    std::size_t size() const { return FItems.size(); }
    bool empty() const { return FItems.empty(); }

    template <typename TPtr, typename TRef> class TIterator {
    public:
        explicit TIterator(TPtr P) : FP(P) {}
        TRef operator*() const { return **FP; }
        TIterator& operator++() {
            ++FP;
            return *this;
        }
        bool operator!=(const TIterator& Other) const { return FP != Other.FP; }

    private:
        TPtr FP;
    };
    using iterator = TIterator<std::unique_ptr<TMollierPoint>*, TMollierPoint&>;
    using const_iterator = TIterator<const std::unique_ptr<TMollierPoint>*, const TMollierPoint&>;
    iterator begin() { return iterator(FItems.data()); }
    iterator end() { return iterator(FItems.data() + FItems.size()); }
    const_iterator begin() const { return const_iterator(FItems.data()); }
    const_iterator end() const { return const_iterator(FItems.data() + FItems.size()); }

private:
    friend class TMain;
    std::vector<std::unique_ptr<TMollierPoint>> FItems;
};

// The project document: the ordered list of state points and the flow data
// of the air stream through them. It recomputes the points when the pressure
// changes and gives the quantities of the process between consecutive points.
class TMain {
public:
    static constexpr double NormalDensity = 1.2;     // kg/m³
    static constexpr double NormalDensityTemp = 20;  // °C
    static constexpr double NormalPressure = 101.3;  // kPa

    TMain();

    TMollierPointArray Points;
    double Density = NormalDensity;
    double AirFlow = 0; // m³/s
    double DensityTemp = NormalDensityTemp;
    double Pressure = NormalPressure; // kPa

    int PointCount() const { return static_cast<int>(Points.size()); }

    // Appends a default point; its Number is 1 until the caller sets it.
    TMollierPoint& AddPoint();
    // Places a default point at Position (1 .. PointCount() + 1), moving the
    // later points one place on and renumbering them.
    TMollierPoint& InsertPoint(int Position);
    // Removes the point at Position (1 .. PointCount()) and renumbers the rest.
    void DeletePoint(int Position);

    // Sets the project's pressure and the shared calculator's.
    void SetPressure(double Value);
    // Recomputes the free properties of every point with a complete pair at
    // the project's pressure. A failure ends the pass at that point and goes
    // to the caller; the points before it are updated.
    void CalculateAll();

    // The flow data's two density modes. Normal sets 1.2 kg/m³ at 20 °C and
    // 101.3 kPa; real sets the density of air at Temp °C and PressureMbar
    // mbar, Temp, and the pressure. A real density that is not a finite
    // number (at -273 °C) is a calculation failure: ECalculationError, and
    // the document stays as it was.
    void SetNormalDensity();
    void SetRealDensity(double Temp, double PressureMbar);

    // Process from point 1 to point 2 at the project's air flow and density.
    double Power(double Enthalpy1, double Enthalpy2) const;
    double SensiblePower(double Temp1, double Temp2, double SpecHum1, double SpecHum2) const;
    double Water(double SpecHum1, double SpecHum2) const; // kg/min, shown as l/min

    // Density of air at Temp °C and PressureMbar mbar.
    static double RealDensity(double Temp, double PressureMbar);

    static std::string GetVersion();
    // The running program's directory with a trailing "/".
    static std::string GetProgramDir();
};

} // namespace psykrona
