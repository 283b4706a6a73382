#include "ui/PointBlocks.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

namespace psykrona {

namespace {

// The last row of a block ends about 15 pixels below its top.
constexpr int BlockBottom = 95;
// One arrow key or wheel step, as in the platform's scroll boxes.
constexpr int ScrollStep = 20;

TBlockRow NewRow(const char* Unit) {
    TBlockRow Row;
    Row.Value = QStringLiteral("0");
    Row.Unit = QString::fromUtf8(Unit);
    return Row;
}

} // namespace

TPointBlock TPointBlocks::NewBlock() {
    TPointBlock Block;
    Block.Rows[TPointBlock::Temp] = NewRow("°C");
    Block.Rows[TPointBlock::RelHum] = NewRow("%");
    Block.Rows[TPointBlock::SpecHum] = NewRow("g/kg");
    Block.Rows[TPointBlock::Enthalpy] = NewRow("kJ/kg");
    return Block;
}

TProcessRows TPointBlocks::NewProcess() {
    TProcessRows Process;
    Process.Rows[TProcessRows::Power] = NewRow("kW");
    Process.Rows[TProcessRows::SensPower] = NewRow("kW");
    Process.Rows[TProcessRows::Water] = NewRow("l/min");
    return Process;
}

TPointBlocks::TPointBlocks(QWidget* Parent) : QAbstractScrollArea(Parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(ScrollStep);
    QPalette Pal = viewport()->palette();
    Pal.setColor(QPalette::Base, Qt::white);
    Pal.setColor(QPalette::Window, Qt::white);
    Pal.setColor(QPalette::WindowText, Qt::black);
    viewport()->setPalette(Pal);
    viewport()->setAutoFillBackground(true);
    UpdateFonts();
    UpdateScrollRange();
}

void TPointBlocks::SetSources(TBlockSource Blocks, TProcessSource Processes) {
    FBlockSource = std::move(Blocks);
    FProcessSource = std::move(Processes);
    viewport()->update();
}

TPointBlock TPointBlocks::Block(int K) const {
    if (K < 1 || K > FCount) {
        throw std::out_of_range("There is no point block " + std::to_string(K));
    }
    return FBlockSource ? FBlockSource(K) : NewBlock();
}

TProcessRows TPointBlocks::Process(int I) const {
    if (I < 1 || I >= FCount) {
        throw std::out_of_range("There is no process " + std::to_string(I));
    }
    return FProcessSource ? FProcessSource(I) : NewProcess();
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
    QAbstractScrollArea::changeEvent(Event);
}

qint64 TPointBlocks::ContentHeight() const {
    return FCount == 0 ? 0 : BlockTop(FCount) + BlockBottom;
}

// The scroll bar counts in pixels, which an int holds for some fourteen
// million blocks.
void TPointBlocks::UpdateScrollRange() {
    const int Page = viewport()->height();
    const qint64 Range = std::clamp<qint64>(ContentHeight() - Page, 0, INT_MAX);
    QScrollBar* Bar = verticalScrollBar();
    Bar->setPageStep(Page);
    Bar->setRange(0, static_cast<int>(Range));
}

void TPointBlocks::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollRange();
}

void TPointBlocks::scrollContentsBy(int, int Dy) {
    viewport()->scroll(0, Dy);
}

void TPointBlocks::AddBlock() {
    ++FCount;
    UpdateScrollRange();
    viewport()->update();
}

void TPointBlocks::RemoveLastBlock() {
    if (FCount == 0) {
        return;
    }
    --FCount;
    UpdateScrollRange();
    viewport()->update();
}

void TPointBlocks::RemoveAllBlocks() {
    FCount = 0;
    UpdateScrollRange();
    viewport()->update();
}

TPointBlocks::TShown TPointBlocks::Read(int Top, int Bottom) const {
    TShown Shown;
    if (FCount == 0) {
        return Shown;
    }
    // A block reaches from its process rows above its top to its last row.
    const qint64 Offset = verticalScrollBar()->value();
    Shown.First = static_cast<int>(std::max<qint64>(1, (Offset + Top - BlockBottom) / BlockHeight + 1));
    Shown.Last =
        static_cast<int>(std::min<qint64>(FCount, (Offset + Bottom - ProcessTops[0]) / BlockHeight + 1));
    for (int K = Shown.First; K <= Shown.Last; ++K) {
        Shown.Blocks.push_back(Block(K));
        Shown.Processes.push_back(K > 1 ? Process(K - 1) : TProcessRows{});
    }
    return Shown;
}

void TPointBlocks::Refresh() {
    if (!(Read(0, viewport()->height()) == FShown)) {
        viewport()->update();
    }
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
    const QRect Area = Event->rect();
    // What stands in the whole viewport is remembered, so that a refresh can
    // tell whether anything changed; only the blocks in Area are painted.
    FShown = Read(0, viewport()->height());
    if (FCount == 0) {
        return;
    }
    QPainter P(viewport());
    P.setPen(Qt::black);
    const int Offset = verticalScrollBar()->value();
    for (int K = FShown.First; K <= FShown.Last; ++K) {
        const qint64 Top64 = BlockTop(K) - Offset;
        const int Top = static_cast<int>(Top64);
        if (Top + BlockBottom < Area.top() || Top + ProcessTops[0] > Area.bottom()) {
            continue;
        }
        const TPointBlock& Block = FShown.Blocks[static_cast<std::size_t>(K - FShown.First)];
        P.setFont(FHeaderFont);
        P.drawText(LabelX, Top + HeaderTop + QFontMetrics(FHeaderFont).ascent(), Block.Header);
        for (std::size_t R = 0; R < Block.Rows.size(); ++R) {
            DrawRow(P, Top + RowTops[R], Block.Rows[R]);
        }
        const TProcessRows& Process = FShown.Processes[static_cast<std::size_t>(K - FShown.First)];
        if (K > 1 && Process.Visible) {
            for (std::size_t R = 0; R < Process.Rows.size(); ++R) {
                DrawRow(P, Top + ProcessTops[R], Process.Rows[R]);
            }
        }
    }
}

} // namespace psykrona
