// The Qt side of printing and pictures: the chart picture export, the Qt
// printer on PDF files, and wide lines and markers, which the Qt canvas
// draws by shortcuts (Qt's raster engine is slow on round-ended lines and on
// ellipses), looking as Qt's own drawing does.
#include "qt/ChartPicture.h"
#include "qt/QtCanvas.h"
#include "qt/QtPrinter.h"

#include "tests/printing/PrintFixture.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <regex>

namespace psykrona {
namespace {

// The BMP is the picture as drawn and the JPEG nearly so (no colours
// swapped, no rows turned over); the SVG is a vector drawing of it.
TEST(ChartPicture, BmpJpegAndSvgHoldTheSamePicture) {
    test::TTempFolder Dir;
    test::TChart C;
    C.AddPoints({{30, 0.009}, {16, 0.009}});
    const QImage Drawn = RenderChartPicture(C.Draw, C.Doc);
    EXPECT_EQ(C.Draw.Canvas(), nullptr) << "the picture's canvas is gone";
    for (const char* Name : {"x.bmp", "x.jpg", "x.svg"}) {
        SaveChartPicture(C.Draw, C.Doc, Dir.File(Name));
    }
    const QImage FromBmp(QString::fromStdString(Dir.File("x.bmp")), "BMP");
    const TPicture FromJpeg = DecodeJpeg(Dir.Read("x.jpg"));
    ASSERT_EQ(FromBmp.size(), QSize(680, 680));
    ASSERT_EQ(FromJpeg.Width * FromJpeg.Height, 680 * 680);
    long Difference = 0;
    for (int I = 0; I < 680 * 680; ++I) {
        const QRgb D = Drawn.pixel(I % 680, I / 680);
        ASSERT_EQ(FromBmp.pixel(I % 680, I / 680) & 0xFFFFFF, D & 0xFFFFFF) << I % 680 << "," << I / 680;
        const std::uint8_t* J = &FromJpeg.Rgb[static_cast<std::size_t>(I) * 3];
        Difference += std::abs(J[0] - qRed(D)) + std::abs(J[1] - qGreen(D)) + std::abs(J[2] - qBlue(D));
    }
    EXPECT_LT(Difference / (680.0 * 680 * 3), 3.0) << "mean difference per channel";
    const std::string Svg = Dir.Read("x.svg");
    EXPECT_NE(Svg.find("viewBox=\"0 0 680 680\""), std::string::npos);
    EXPECT_NE(Svg.find(">TXT_CHART_TITLE 101.3 kPa<"), std::string::npos) << "the title, as text";
    EXPECT_EQ(Svg.find("<image"), std::string::npos) << "no bitmap inside";
    EXPECT_THROW(SaveChartPicture(C.Draw, C.Doc, Dir.File("missing/x.jpg")), EPictureError) << "not written";
}

// A job of its own reaches the file at its end; jobs do not nest; an aborted
// job leaves no file. As pages of one document nothing comes before Finish,
// and a document with a failed page (the layout aborts its job) is none.
TEST(QtPrinter, PagesReachTheFileOnlyWhenCompleteAndAbortedOrFailedOnesNever) {
    test::TTempFolder Dir;
    QPrinter Printer(QPrinter::HighResolution);
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(QString::fromStdString(Dir.File("pages.pdf")));
    // The file's page objects ("/Type /Page", not "/Pages"); -1 without a file.
    auto Pages = [&] {
        const std::string Pdf = Dir.Read("pages.pdf");
        const std::regex Page("/Type\\s*/Page(?![a-zA-Z])");
        return std::filesystem::remove(Dir.File("pages.pdf"))
                   ? static_cast<int>(std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), {}))
                   : -1;
    };
    for (const bool AsPages : {false, true}) {
        TQtPrinter Target(Printer);
        Target.JobsAsPages = AsPages;
        Target.BeginDoc();
        Target.Canvas().LineTo(3000, 700);
        EXPECT_THROW(Target.BeginDoc(), EPrintError);
        EXPECT_EQ(Pages(), -1) << "the page is not complete yet";
        AsPages ? Target.Abort() : Target.EndDoc();
        EXPECT_THROW(Target.Canvas(), EPrintError) << "no job, no canvas";
        EXPECT_THROW(Target.EndDoc(), EPrintError);
        Target.Finish();
        EXPECT_EQ(Pages(), AsPages ? -1 : 1) << AsPages;
    }
    test::TPrintPage Layout(100, 100);
    TQtPrinter Target(Printer);
    Target.JobsAsPages = true;
    Layout.Layout.FPrinter = &Target;
    std::filesystem::remove(Layout.Folder.File("QRLOGO.jpg"));
    EXPECT_THROW(Layout.Layout.PrintPage(TMollierPrint::KDataPage, true), EPictureError);
    Target.Finish();
    EXPECT_EQ(Pages(), -1);
    Layout.Folder.Write("QRLOGO.jpg", test::LogoBytes());
    Layout.Layout.PrintPage(TMollierPrint::KDataPage, true);
    Layout.Layout.PrintPage(TMollierPrint::KChartPage, true);
    EXPECT_EQ(Pages(), -1) << "nothing before Finish";
    Target.Finish();
    EXPECT_EQ(Pages(), 2);
    // Printing into the project being printed, or onto a full disk, is refused
    // and the project keeps its bytes.
    Dir.Write("plan.pkx", "project");
    for (const std::string& Out : {Dir.File("plan.pkx"), std::string("/dev/full")}) {
        Printer.setOutputFileName(QString::fromStdString(Out));
        TQtPrinter Refusing(Printer);
        Refusing.Inputs = {Dir.File("plan.pkx")};
        EXPECT_THROW(
            {
                Refusing.BeginDoc();
                Refusing.Canvas().LineTo(3000, 700);
                Refusing.EndDoc();
                Refusing.Finish();
            },
            EPrintError)
            << Out;
    }
    EXPECT_EQ(Dir.Read("plan.pkx"), "project");
}

// A zigzag of wide process lines and a row of markers standing apart, drawn
// by the canvas and by Qt itself with round-ended lines and ellipses: the
// pictures agree but for a few pixels of antialiased fringe where the lines
// join; also scaled twice, where nothing may be copied enlarged.
TEST(QtCanvasLongLine, CopiedEndsAndMarkersLookAsQtDrawsThem) {
    const QPoint Points[] = {{30, 40}, {260, 90}, {60, 200}, {300, 260}, {300, 60}};
    const QPoint Markers[] = {{20, 285}, {60, 285}, {100, 285}, {140, 285}};
    for (const auto& [Width, Scale] : {std::pair{4, 1}, {5, 1}, {9, 1}, {5, 2}}) {
        QImage Ours(340 * Scale, 300 * Scale, QImage::Format_RGB32);
        Ours.setDevicePixelRatio(Scale);
        Ours.fill(Qt::white);
        QImage Qts = Ours;
        {
            TQtCanvas Canvas(Ours);
            Canvas.SetPenColor(clBlack);
            Canvas.SetPenWidth(Width);
            Canvas.MoveTo(Points[0].x(), Points[0].y());
            for (const QPoint& P : Points) {
                Canvas.LineTo(P.x(), P.y());
            }
            Canvas.SetPenWidth(1);
            Canvas.SetFillColor(clRed);
            for (const QPoint& P : Markers) {
                Canvas.Ellipse(P.x() - 6, P.y() - 6, P.x() + 7, P.y() + 7);
            }
        }
        {
            QPainter P(&Qts);
            P.setRenderHint(QPainter::Antialiasing);
            const double O = Width % 2 != 0 ? 0.5 : 0.0;
            P.setPen(QPen(Qt::black, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            for (std::size_t I = 0; I + 1 < std::size(Points); ++I) {
                P.drawLine(QPointF(Points[I]) + QPointF(O, O), QPointF(Points[I + 1]) + QPointF(O, O));
            }
            P.setPen(QPen(Qt::black, 1));
            P.setBrush(Qt::red);
            for (const QPoint& C : Markers) {
                P.drawEllipse(QRectF(C.x() - 6 + 0.5, C.y() - 6 + 0.5, 12, 12));
            }
        }
        int Differing = 0, Worst = 0;
        for (int I = 0; I < Ours.width() * Ours.height(); ++I) {
            const QRgb Mine = Ours.pixel(I % Ours.width(), I / Ours.width());
            const QRgb Theirs = Qts.pixel(I % Ours.width(), I / Ours.width());
            const int D = std::max({std::abs(qRed(Mine) - qRed(Theirs)), std::abs(qGreen(Mine) - qGreen(Theirs)),
                                    std::abs(qBlue(Mine) - qBlue(Theirs))});
            Differing += D > 8;
            Worst = std::max(Worst, D);
        }
        EXPECT_LE(Worst, 96) << "pen " << Width << ", scale " << Scale;
        EXPECT_LE(Differing, 80 * Scale * Scale) << "pen " << Width << ", scale " << Scale;
    }
}

} // namespace
} // namespace psykrona
