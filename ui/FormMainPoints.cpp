// The main window's point list and blocks, and its flow-data panel.
#include "ui/FormMain.h"

#include "chart/MollierDraw.h"
#include "engine/Main.h"
#include "engine/MollierCalculate.h"
#include "engine/NumberText.h"
#include "files/MollierFileHandling.h"
#include "localisation/Translator.h"
#include "ui/DialogLayout.h"
#include "ui/FormEditPoint.h"
#include "ui/PointBlocks.h"
#include "ui/UserDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

namespace psykrona {

namespace {

// Flow data that cannot be physical: the user's message and the field to
// correct.
class EFlowDataRefused : public std::runtime_error {
public:
    EFlowDataRefused(const std::string& Message, QLineEdit* Field) : std::runtime_error(Message), FField(Field) {}
    QLineEdit* Field() const { return FField; }

private:
    QLineEdit* FField;
};

} // namespace

// The one place where the point list and the blocks follow the document:
// rows and blocks are added or taken away at the end until there are as
// many as points. A new row shows its position, or with Numbered the
// point's own number (an older file may number its points otherwise).
// Emptied, every block and row goes at once, without the cost of removing
// them one by one in large projects.
void TfrmMain::MatchPointRows(bool Numbered) {
    const int Count = Document->PointCount();
    if (Count == 0) {
        PointBlocks->RemoveAllBlocks();
        ListBox1->clear();
        return;
    }
    QStringList Rows;
    for (int K = ListBox1->count() + 1; K <= Count; ++K) {
        Rows << QString::number(Numbered ? Document->Points[static_cast<std::size_t>(K - 1)].Number : K);
    }
    ListBox1->addItems(Rows);
    while (ListBox1->count() > Count) {
        delete ListBox1->takeItem(ListBox1->count() - 1);
    }
    while (PointBlocks->BlockCount() < Count) {
        PointBlocks->AddBlock();
    }
    while (PointBlocks->BlockCount() > Count) {
        PointBlocks->RemoveLastBlock();
    }
}

// The panel shows the document as it is at every paint; a refresh repaints
// the blocks in view when their texts changed.
void TfrmMain::RefreshPointsPanel() {
    PointBlocks->Refresh();
}

TPointBlock TfrmMain::PointBlockOf(int K) const {
    const TMain& Doc = *Document;
    if (K > Doc.PointCount()) {
        return TPointBlocks::NewBlock();
    }
    const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(K - 1)];
    const QString Labels[] = {QText(FTexts.Temperature), QText(FTexts.RelHum), QText(FTexts.SpecHum), QText(FTexts.Enthalpy)};
    TPointBlock Block = TPointBlocks::NewBlock();
    Block.Header = QText(std::to_string(P.Number) + ". " + P.Name);
    struct TShown {
        int Row;
        int Code;
        double Value;
        int Decimals;
    };
    const TShown Shown[] = {{TPointBlock::Temp, PROP_TEMP, P.Temp, 1},
                            {TPointBlock::RelHum, PROP_RELHUM, P.RelHum, 1},
                            {TPointBlock::SpecHum, PROP_SPECHUM, P.SpecHum * 1000, 2},
                            {TPointBlock::Enthalpy, PROP_ENTHALPY, P.Enthalpy, 1}};
    for (const TShown& Item : Shown) {
        TBlockRow& Row = Block.Rows[Item.Row];
        Row.Label = Labels[Item.Row];
        Row.Bold = P.IsPrescribed(Item.Code);
        Row.Value = QText(Row.Bold ? FloatToStr(Item.Value) : FormatFixed(Item.Value, Item.Decimals));
    }
    return Block;
}

TProcessRows TfrmMain::ProcessRowsOf(int I) const {
    const TMain& Doc = *Document;
    TProcessRows Process = TPointBlocks::NewProcess();
    if (I + 1 > Doc.PointCount()) {
        return Process;
    }
    const TMollierPoint& Prev = Doc.Points[static_cast<std::size_t>(I - 1)];
    const TMollierPoint& P = Doc.Points[static_cast<std::size_t>(I)];
    const QString ProcessLabels[] = {QText(FTexts.Power), QText(FTexts.SensPower), QText(FTexts.Water)};
    for (int R = 0; R < 3; ++R) {
        Process.Rows[R].Label = ProcessLabels[R];
    }
    Process.Rows[TProcessRows::Power].Value = QText(FormatFixed(Doc.Power(Prev.Enthalpy, P.Enthalpy), 1));
    Process.Rows[TProcessRows::SensPower].Value =
        QText(FormatFixed(Doc.SensiblePower(Prev.Temp, P.Temp, Prev.SpecHum, P.SpecHum), 1));
    Process.Rows[TProcessRows::Water].Value = QText(FormatFixed(Doc.Water(Prev.SpecHum, P.SpecHum), 2));
    Process.Visible = Prev.LineToNext;
    return Process;
}

// The point editor on P; true when the user confirmed it.
bool TfrmMain::RunPointEditor(TMollierPoint& P) {
    if (Forms.frmEditPoint == nullptr) {
        return false;
    }
    Forms.frmEditPoint->Document = Document.get();
    Forms.frmEditPoint->Point = &P;
    return Forms.frmEditPoint->exec() == QDialog::Accepted;
}

void TfrmMain::btnAddClick() {
    Document->AddPoint();
    TMollierPoint& P = Document->Points[Document->PointCount() - 1];
    P.Number = Document->PointCount();
    // The new point's row and block show before the editor opens on it.
    MatchPointRows();
    RefreshPointsPanel();
    if (!RunPointEditor(P)) {
        Document->DeletePoint(Document->PointCount());
        MatchPointRows();
    } else {
        ListBox1->setCurrentRow(ListBox1->count() - 1);
        SetPointButtonsEnabled(true);
        Modified = true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::btnInsertClick() {
    const int Row = SelectedRow();
    if (Row < 0) {
        return;
    }
    Document->InsertPoint(Row + 1);
    TMollierPoint& P = Document->Points[Row];
    P.Number = Row + 1;
    MatchPointRows();
    RefreshPointsPanel();
    if (RunPointEditor(P)) {
        Modified = true;
    } else {
        // Taken away again, the new point changed nothing; kept, it is a
        // change like any other.
        const bool WasModified = Modified;
        const int Count = Document->PointCount();
        btnDeleteClick();
        Modified = Document->PointCount() < Count ? WasModified : true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::btnDeleteClick() {
    const int Row = SelectedRow();
    if (Row < 0) {
        return;
    }
    const std::string Question = FTexts.ConfirmErasePoint + " " + std::to_string(Row + 1) + "?";
    if (TUserDialogs::Current().AskYesNo(Question) != TAnswer::Yes) {
        return;
    }
    if (ListBox1->count() == 1) {
        SetPointButtonsEnabled(false);
    }
    if (Row == ListBox1->count() - 1) {
        if (Row > 0) {
            ListBox1->setCurrentRow(Row - 1);
        } else {
            ListBox1->setCurrentRow(-1);
            ListBox1->clearSelection();
        }
    }
    Document->DeletePoint(Row + 1);
    MatchPointRows();
    Modified = true;
    RefreshPointsPanel();
    sbPoints->viewport()->update();
    InvalidateWindow();
}

void TfrmMain::btnEditClick() {
    const int Row = SelectedRow();
    if (Row < 0 || Row >= Document->PointCount()) {
        return;
    }
    if (RunPointEditor(Document->Points[Row])) {
        Modified = true;
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

void TfrmMain::ListBox1DblClick() {
    if (SelectedRow() >= 0) {
        btnEditClick();
    }
}

void TfrmMain::ClearProject() {
    Document = std::make_unique<TMain>();
    FileHandling->FProject = Document.get();
    Draw->Document = Document.get();
    if (Forms.frmEditPoint != nullptr) {
        Forms.frmEditPoint->Document = Document.get();
        Forms.frmEditPoint->Point = nullptr;
    }
    // Emptying the list reports a change of selection; whoever follows it
    // finds the new document.
    MatchPointRows();
    edtFlowAirFlow->setText(QStringLiteral("0"));
    edtDensTemp->setText(QStringLiteral("20"));
    edtDensPatm->setText(QStringLiteral("1013"));
    UncheckDensityChoices();
    SetPointButtonsEnabled(false);
    InvalidateWindow();
}

void TfrmMain::ShowLoadedProject() {
    MatchPointRows(true);
    if (Document->PointCount() > 0) {
        ListBox1->setCurrentRow(0);
        SetPointButtonsEnabled(true);
    }
    edtFlowAirFlow->setText(QText(FloatToStr(Document->AirFlow)));
    edtDensTemp->setText(QText(FloatToStr(Document->DensityTemp)));
    edtDensPatm->setText(QText(FloatToStr(Document->Pressure * 10)));
    if (edtDensTemp->text() == QLatin1String("20") && edtDensPatm->text() == QLatin1String("1013")) {
        SelectDensityChoice(rbDensNormal);
    } else {
        SelectDensityChoice(rbDensReal);
    }
    RefreshPointsPanel();
    InvalidateWindow();
}

// ---- Flow data ----

void TfrmMain::UpdateFlowData(bool MarkModified) {
    auto Refuse = [](const char* Key, QLineEdit* Field) {
        throw EFlowDataRefused(TTranslator::GetText("FLOW_DATA_PANEL", Key), Field);
    };
    const bool Real = rbDensReal->isChecked();
    const double Temp = StrToFloat(edtDensTemp->text().toStdString());
    const double Patm = StrToFloat(edtDensPatm->text().toStdString());
    const double Rho = TMain::RealDensity(Temp, Patm);
    lblDensDensity->setText(std::isfinite(Rho) ? QText(FormatFixed(Rho, 2)) : QString());
    lblDensDensity->adjustSize();
    const double Flow = StrToFloat(edtFlowAirFlow->text().toStdString());
    // Nothing the points and the powers cannot be computed from reaches the
    // document.
    if (Real) {
        for (auto [Value, Field] : {std::pair(Temp, edtDensTemp), std::pair(Patm, edtDensPatm)}) {
            if (!std::isfinite(Value)) {
                Refuse("MSG_NOT_FINITE", Field);
            }
        }
        if (!(Patm > 0)) {
            Refuse("MSG_PRESSURE_NOT_POSITIVE", edtDensPatm);
        }
        // 351.6 / (273 + t): no density at or below -273 °C.
        if (!(std::isfinite(Rho) && Rho > 0)) {
            Refuse("MSG_DENSITY_NOT_POSITIVE", edtDensTemp);
        }
    }
    if (!std::isfinite(Flow)) {
        Refuse("MSG_NOT_FINITE", edtFlowAirFlow);
    }

    struct TFlowData {
        double Density, DensityTemp, Pressure, AirFlow;
    };
    const TFlowData Before{Document->Density, Document->DensityTemp, Document->Pressure, Document->AirFlow};
    if (rbDensNormal->isChecked()) {
        Document->SetNormalDensity();
    } else if (Real) {
        Document->SetRealDensity(Temp, Patm);
    }
    Document->AirFlow = Flow;
    try {
        if (Document->Pressure != LastPressure) {
            InvalidateWindow();
            Document->CalculateAll();
        }
        bool Finite = std::isfinite(Document->AirFlow * Document->Density);
        for (int K = 1; Finite && K < Document->PointCount(); ++K) {
            const TMollierPoint& From = Document->Points[K - 1];
            const TMollierPoint& To = Document->Points[K];
            Finite = std::isfinite(Document->Power(From.Enthalpy, To.Enthalpy)) &&
                     std::isfinite(Document->SensiblePower(From.Temp, To.Temp, From.SpecHum, To.SpecHum)) &&
                     std::isfinite(Document->Water(From.SpecHum, To.SpecHum));
        }
        if (!Finite) {
            Refuse("MSG_AIR_FLOW_TOO_LARGE", edtFlowAirFlow);
        }
    } catch (...) {
        // The document keeps the flow data and the points it had.
        const bool Recalculate = Document->Pressure != Before.Pressure;
        Document->Density = Before.Density;
        Document->DensityTemp = Before.DensityTemp;
        Document->AirFlow = Before.AirFlow;
        Document->SetPressure(Before.Pressure);
        if (Recalculate) {
            try {
                Document->CalculateAll();
            } catch (const std::exception&) {
                // The points computed at this pressure before, so they do again.
            }
        }
        RefreshPointsPanel();
        throw;
    }
    RefreshPointsPanel();
    LastPressure = Document->Pressure;
    if (MarkModified) {
        Modified = true;
    }
}

void TfrmMain::FlowDataTrigger() {
    if (FReportingFlowFailure) {
        return;
    }
    try {
        UpdateFlowData(true);
    } catch (const EFlowDataRefused& Refused) {
        const QScopedValueRollback<bool> Reporting(FReportingFlowFailure, true);
        TUserDialogs::Current().ShowMessage(TMessageKind::Error, Refused.what());
        // The typed text stays, selected, so that typing replaces it; once
        // the focus change that may have started the update is over, and
        // without another update for leaving the control it went to.
        QMetaObject::invokeMethod(
            this,
            [this, Field = Refused.Field()] {
                const QScopedValueRollback<bool> Refocusing(FReportingFlowFailure, true);
                Field->setFocus(Qt::OtherFocusReason);
                Field->selectAll();
            },
            Qt::QueuedConnection);
    } catch (const std::exception& Failure) {
        const QScopedValueRollback<bool> Reporting(FReportingFlowFailure, true);
        ReportFailure(Failure);
    }
}

void TfrmMain::rbDensNormalClick() {
    SetRealDensityEnabled(false);
    UpdateFlowData(true);
}

void TfrmMain::rbDensRealClick() {
    SetRealDensityEnabled(true);
    UpdateFlowData(true);
}

void TfrmMain::SelectDensityChoice(QRadioButton* Choice) {
    if (Choice->isChecked()) {
        return;
    }
    {
        const QSignalBlocker BlockNormal(rbDensNormal);
        const QSignalBlocker BlockReal(rbDensReal);
        Choice->setChecked(true);
    }
    if (Choice == rbDensNormal) {
        rbDensNormalClick();
    } else {
        rbDensRealClick();
    }
}

void TfrmMain::UncheckDensityChoices() {
    const QSignalBlocker BlockNormal(rbDensNormal);
    const QSignalBlocker BlockReal(rbDensReal);
    // Exclusive radio buttons cannot be cleared while exclusive.
    for (QRadioButton* Choice : {rbDensNormal, rbDensReal}) {
        Choice->setAutoExclusive(false);
        Choice->setChecked(false);
        Choice->setAutoExclusive(true);
    }
}

} // namespace psykrona
