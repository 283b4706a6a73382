#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

namespace psykrona {

// One line of a point block or a process: caption, value and unit, drawn
// bold together.
struct TBlockRow {
    QString Label;
    QString Value;
    QString Unit;
    bool Bold = false;

    friend bool operator==(const TBlockRow&, const TBlockRow&) = default;
};

// The block of one point: the header "number. name" and the rows of
// temperature, relative humidity, humidity ratio and enthalpy, in that order.
struct TPointBlock {
    static constexpr int Temp = 0;
    static constexpr int RelHum = 1;
    static constexpr int SpecHum = 2;
    static constexpr int Enthalpy = 3;

    QString Header;
    std::array<TBlockRow, 4> Rows;

    friend bool operator==(const TPointBlock&, const TPointBlock&) = default;
};

// The rows of the process from one point to the next: power, sensible power
// and water, placed just above the next point's block.
struct TProcessRows {
    static constexpr int Power = 0;
    static constexpr int SensPower = 1;
    static constexpr int Water = 2;

    std::array<TBlockRow, 3> Rows;
    bool Visible = true;

    friend bool operator==(const TProcessRows&, const TProcessRows&) = default;
};

// The contents of the points panel: one block per point, 145 pixels apart,
// with the process rows between consecutive points. It holds only texts and
// styles, which its owner rewrites from the project; it paints the blocks in
// view, so a project of thousands of points costs no more to show than a
// few.
class TPointBlocks : public QWidget {
    Q_OBJECT

public:
    static constexpr int BlockHeight = 145;
    static constexpr int LabelX = 8;
    static constexpr int ValueX = 115;
    static constexpr int UnitX = 155;
    static constexpr int HeaderTop = 10;
    static constexpr std::array<int, 4> RowTops{30, 45, 60, 75};    // below the block's top
    static constexpr std::array<int, 3> ProcessTops{-45, -30, -15}; // above the next block's top

    explicit TPointBlocks(QWidget* Parent = nullptr);

    int BlockCount() const { return static_cast<int>(FBlocks.size()); }
    // Block K of point K (from 1) and the process from point I to point I + 1.
    const TPointBlock& Block(int K) const { return FBlocks.at(K - 1); }
    const TProcessRows& Process(int I) const { return FProcesses.at(I - 1); }

    // A new last block with the fixed unit texts and values "0", and the
    // process rows leading to it; the other texts are empty.
    void AddBlock();
    void RemoveLastBlock();
    void RemoveAllBlocks();

    // Writers: each repaints only when the texts change.
    void SetBlock(int K, const TPointBlock& Block);
    void SetProcess(int I, const TProcessRows& Rows);

    // The top of block K inside the panel.
    static int BlockTop(int K) { return (K - 1) * BlockHeight; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void UpdateFonts();
    void UpdateExtent();
    void RepaintBlock(int K);
    void DrawRow(QPainter& P, int Top, const TBlockRow& Row);

    std::vector<TPointBlock> FBlocks;
    std::vector<TProcessRows> FProcesses;
    QFont FHeaderFont;
    QFont FRowFont;
    QFont FBoldFont;
};

} // namespace psykrona
