#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QString>

#include <array>
#include <functional>
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

// The points panel: a scrolling column of one block per point, 145 pixels
// apart, with the process rows between consecutive points. The panel keeps
// only the number of blocks; their texts come from its owner's sources when
// a block is shown, so opening, scrolling and painting cost the same for a
// million points as for ten, and the scroll range reaches every block
// whatever its count.
class TPointBlocks : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int BlockHeight = 145;
    static constexpr int LabelX = 8;
    static constexpr int ValueX = 115;
    static constexpr int UnitX = 155;
    static constexpr int HeaderTop = 10;
    static constexpr std::array<int, 4> RowTops{30, 45, 60, 75};    // below the block's top
    static constexpr std::array<int, 3> ProcessTops{-45, -30, -15}; // above the next block's top

    // Block K of point K (from 1) and the process from point I to point I + 1.
    using TBlockSource = std::function<TPointBlock(int K)>;
    using TProcessSource = std::function<TProcessRows(int I)>;

    explicit TPointBlocks(QWidget* Parent = nullptr);

    void SetSources(TBlockSource Blocks, TProcessSource Processes);
    // The texts of a block and of process rows just created: fixed units,
    // values "0", empty captions.
    static TPointBlock NewBlock();
    static TProcessRows NewProcess();

    int BlockCount() const { return FCount; }
    // The texts shown for block K and for the process from point I to I + 1,
    // from the sources (new ones while there are none).
    TPointBlock Block(int K) const;
    TProcessRows Process(int I) const;

    // A new last block with the process rows leading to it.
    void AddBlock();
    void RemoveLastBlock();
    void RemoveAllBlocks();
    // Reads the blocks in view again and repaints them when they changed.
    void Refresh();

    // The top of block K inside the scrolled contents, and their height.
    static qint64 BlockTop(int K) { return static_cast<qint64>(K - 1) * BlockHeight; }
    qint64 ContentHeight() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;

private:
    struct TShown {
        int First = 1;
        int Last = 0;
        std::vector<TPointBlock> Blocks;
        std::vector<TProcessRows> Processes;
        friend bool operator==(const TShown&, const TShown&) = default;
    };

    void UpdateFonts();
    void UpdateScrollRange();
    // The blocks that reach into the viewport rows Top to Bottom, with their
    // texts.
    TShown Read(int Top, int Bottom) const;
    void DrawRow(QPainter& P, int Top, const TBlockRow& Row);

    int FCount = 0;
    TBlockSource FBlockSource;
    TProcessSource FProcessSource;
    TShown FShown; // what the last paint showed
    QFont FHeaderFont;
    QFont FRowFont;
    QFont FBoldFont;
};

} // namespace psykrona
