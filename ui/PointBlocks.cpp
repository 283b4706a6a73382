#include "ui/PointBlocks.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace psykrona {

namespace {

// The last row of a block ends about 15 pixels below its top.
constexpr int BlockBottom = 95;

TBlockRow NewRow(const char* Unit) {
    TBlockRow Row;
    Row.Value = QStringLiteral("0");
    Row.Unit = QString::fromUtf8(Unit);
    return Row;
}

} // namespace

TPointBlocks::TPointBlocks(QWidget* Parent) : QWidget(Parent) {
    setAutoFillBackground(true);
    QPalette Pal = palette();
    Pal.setColor(QPalette::Window, Qt::white);
    Pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(Pal);
    UpdateFonts();
    UpdateExtent();
}

void TPointBlocks::UpdateFonts() {
    FRowFont = font();
    FBoldFont = FRowFont;
    FBoldFont.setBold(true);
    FHeaderFont = FBoldFont;
    FHeaderFont.setPointSize(10);
}

void TPointBlocks::changeEvent(QEvent* Event) {
    if (Event->type() == QEvent::FontChange) {
        UpdateFonts();
    }
    QWidget::changeEvent(Event);
}

void TPointBlocks::UpdateExtent() {
    const int Height = FBlocks.empty() ? 0 : BlockTop(BlockCount()) + BlockBottom;
    setMinimumHeight(Height);
    updateGeometry();
}

void TPointBlocks::AddBlock() {
    TPointBlock Block;
    Block.Rows[TPointBlock::Temp] = NewRow("°C");
    Block.Rows[TPointBlock::RelHum] = NewRow("%");
    Block.Rows[TPointBlock::SpecHum] = NewRow("g/kg");
    Block.Rows[TPointBlock::Enthalpy] = NewRow("kJ/kg");
    FBlocks.push_back(Block);
    if (FBlocks.size() > 1) {
        TProcessRows Process;
        Process.Rows[TProcessRows::Power] = NewRow("kW");
        Process.Rows[TProcessRows::SensPower] = NewRow("kW");
        Process.Rows[TProcessRows::Water] = NewRow("l/min");
        FProcesses.push_back(Process);
    }
    UpdateExtent();
    RepaintBlock(BlockCount());
}

void TPointBlocks::RemoveLastBlock() {
    if (FBlocks.empty()) {
        return;
    }
    RepaintBlock(BlockCount());
    FBlocks.pop_back();
    if (!FProcesses.empty() && FProcesses.size() >= FBlocks.size()) {
        FProcesses.pop_back();
    }
    UpdateExtent();
}

void TPointBlocks::RemoveAllBlocks() {
    FBlocks.clear();
    FProcesses.clear();
    UpdateExtent();
    update();
}

void TPointBlocks::SetBlock(int K, const TPointBlock& Block) {
    TPointBlock& Old = FBlocks.at(K - 1);
    if (!(Old == Block)) {
        Old = Block;
        RepaintBlock(K);
    }
}

void TPointBlocks::SetProcess(int I, const TProcessRows& Rows) {
    TProcessRows& Old = FProcesses.at(I - 1);
    if (!(Old == Rows)) {
        Old = Rows;
        RepaintBlock(I + 1);
    }
}

// Block K with the process rows above it.
void TPointBlocks::RepaintBlock(int K) {
    const int Top = BlockTop(K);
    update(0, Top + ProcessTops[0], width(), BlockBottom - ProcessTops[0]);
}

// Captions longer than their column (some languages, bold rows) are cut
// short rather than run into the value; a long value pushes its unit on.
void TPointBlocks::DrawRow(QPainter& P, int Top, const TBlockRow& Row) {
    P.setFont(Row.Bold ? FBoldFont : FRowFont);
    const QFontMetrics Metrics(P.font());
    const int Baseline = Top + Metrics.ascent();
    constexpr int Gap = 4;
    P.drawText(LabelX, Baseline, Metrics.elidedText(Row.Label, Qt::ElideRight, ValueX - LabelX - Gap));
    P.drawText(ValueX, Baseline, Row.Value);
    P.drawText(std::max(UnitX, ValueX + Metrics.horizontalAdvance(Row.Value) + Gap), Baseline, Row.Unit);
}

void TPointBlocks::paintEvent(QPaintEvent* Event) {
    if (FBlocks.empty()) {
        return;
    }
    QPainter P(this);
    P.setPen(Qt::black);
    const QRect Area = Event->rect();
    // A block reaches from its process rows above its top to its last row.
    const int First = std::max(1, (Area.top() - BlockBottom) / BlockHeight + 1);
    const int Last = std::min(BlockCount(), (Area.bottom() - ProcessTops[0]) / BlockHeight + 1);
    for (int K = First; K <= Last; ++K) {
        const int Top = BlockTop(K);
        const TPointBlock& Block = FBlocks[K - 1];
        P.setFont(FHeaderFont);
        P.drawText(LabelX, Top + HeaderTop + QFontMetrics(FHeaderFont).ascent(), Block.Header);
        for (std::size_t R = 0; R < Block.Rows.size(); ++R) {
            DrawRow(P, Top + RowTops[R], Block.Rows[R]);
        }
        if (K > 1 && FProcesses[K - 2].Visible) {
            const TProcessRows& Process = FProcesses[K - 2];
            for (std::size_t R = 0; R < Process.Rows.size(); ++R) {
                DrawRow(P, Top + ProcessTops[R], Process.Rows[R]);
            }
        }
    }
}

} // namespace psykrona
