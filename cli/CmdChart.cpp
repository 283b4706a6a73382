// psykrona-cli chart: the bare Mollier chart of a project as a PNG or SVG
// picture of any size, for engineers who put charts into their reports.
// Drawn by the program's own renderer through the Qt canvas, without a
// display.
#include "cli/CliCommand.h"
#include "cli/CliDrawing.h"
#include "cli/CliOutput.h"
#include "cli/CliPng.h"
#include "cli/CliProject.h"

#include "files/TextEncoding.h"
#include "printing/PictureFiles.h"
#include "qt/ChartPicture.h"
#include "qt/QtCanvas.h"
#include "xml/FileAccess.h"
#include "xml/XmlError.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSysInfo>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>

#include <sys/mman.h>

namespace psykrona {
namespace {

constexpr int KDefaultWidth = 1600;
constexpr int KDefaultHeight = 1200;
// A 20000 × 20000 picture is 1.6 GB in memory; nobody prints that large.
constexpr int KLargestSide = 20000;

int Side(const TCliArgs& A, const std::string& Option, int Default) {
    if (!A.Has(Option)) {
        return Default;
    }
    const double V = A.Number(Option);
    if (V != std::floor(V) || V < 1 || V > KLargestSide) {
        throw EUsageError(Option + " must be a whole number of pixels from 1 to " +
                          std::to_string(KLargestSide));
    }
    return static_cast<int>(V);
}

// A pair is applied as the chart-limits dialog applies it: minimum, maximum,
// minimum, so that each limit is judged against the other's new value.
void ApplyLimits(const TCliArgs& A, const std::string& MinOption, const std::string& MaxOption, double Factor,
                 void (TMollierOptions::*SetMin)(double), void (TMollierOptions::*SetMax)(double),
                 TMollierOptions& Options) {
    const bool HasMin = A.Has(MinOption);
    const bool HasMax = A.Has(MaxOption);
    const double Min = HasMin ? A.Number(MinOption) / Factor : 0;
    const double Max = HasMax ? A.Number(MaxOption) / Factor : 0;
    if (HasMin) {
        (Options.*SetMin)(Min);
    }
    if (HasMax) {
        (Options.*SetMax)(Max);
    }
    if (HasMin) {
        (Options.*SetMin)(Min);
    }
}

// The picture's memory, taken in huge pages where the system offers them: a
// 1600 x 1200 picture is nearly 2000 small pages, and the first touch of each
// costs more than drawing the whole chart.
struct TPixelMemory {
    explicit TPixelMemory(std::size_t Bytes) {
        constexpr std::size_t Huge = std::size_t{2} << 20;
        const std::size_t Size = (Bytes + Huge - 1) / Huge * Huge;
        Data = static_cast<uchar*>(std::aligned_alloc(Huge, Size));
#ifdef MADV_HUGEPAGE
        if (Data != nullptr) {
            madvise(Data, Size, MADV_HUGEPAGE); // only advice: small pages work as well
        }
#endif
    }
    ~TPixelMemory() { std::free(Data); }
    TPixelMemory(const TPixelMemory&) = delete;
    TPixelMemory& operator=(const TPixelMemory&) = delete;
    uchar* Data = nullptr;
};

// The chart on a painter whose picture is already white.
void Draw(TMollierDraw& Renderer, QPainter& Painter, int Width, int Height) {
    TQtCanvas Canvas(Painter);
    Renderer.SetCanvas(&Canvas, 0, 0, Width, Height);
    Renderer.DrawDiagram(false);
    Renderer.SetCanvas(nullptr, 0, 0, Width, Height);
}

int RunChart(const std::vector<std::string>& Args) {
    const TCliArgs A(
        Args, {"--width", "--height", "--min-temp", "--max-temp", "--min-spechum", "--max-spechum"}, {});
    if (A.Positional().size() != 2) {
        throw EUsageError("give a project (or - for an empty one) and an output file ending in .png or .svg");
    }
    const std::string& ProjectPath = A.Positional()[0];
    const std::string& OutPath = A.Positional()[1];
    const bool Svg = EndsWith(OutPath, ".svg", true);
    if (!Svg && !EndsWith(OutPath, ".png", true)) {
        throw EUsageError("the output file '" + Echoed(OutPath) + "' must end in .png or .svg");
    }
    CheckCliOutputFile(OutPath, {ProjectPath});
    const int Width = Side(A, "--width", KDefaultWidth);
    const int Height = Side(A, "--height", KDefaultHeight);

    TCliDrawing Job(ProjectPath);
    ApplyLimits(A, "--min-temp", "--max-temp", 1, &TMollierOptions::SetMinTemp, &TMollierOptions::SetMaxTemp,
                Job.Options);
    // Humidity ratios are typed in g/kg, as in the chart-limits dialog.
    ApplyLimits(A, "--min-spechum", "--max-spechum", 1000, &TMollierOptions::SetMinSpecHum,
                &TMollierOptions::SetMaxSpecHum, Job.Options);
    // Axis titles in the language the user last chose in the program.
    Job.Start("chart");
    TMollierDraw& Renderer = Job.Draw;
    // The whole file is made in memory and then replaces the old one at
    // once: a failure leaves the old file or none.
    QByteArray Bytes;
    if (Svg) {
        Bytes = SvgDrawing(Width, Height, [&](QPainter& Painter) { Draw(Renderer, Painter, Width, Height); });
    } else {
        const TPixelMemory Memory(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height) * 4);
        QImage Image(Memory.Data, Width, Height, Width * 4, QImage::Format_RGB32);
        if (Memory.Data == nullptr || Image.isNull()) {
            throw std::runtime_error("not enough memory for a picture of " + std::to_string(Width) + " × " +
                                     std::to_string(Height) + " pixels");
        }
        {
            QPainter Painter(&Image);
            Painter.fillRect(0, 0, Width, Height, Qt::white);
            Draw(Renderer, Painter, Width, Height);
        }
        // Drawn in 32-bit pixels, the raster painter's fastest; where these
        // do not lie blue first in memory they go to the encoder as RGB.
        QImage Rgb;
        TPixelRows Rows{Width, Height, Image.constBits(), static_cast<std::size_t>(Image.bytesPerLine()),
                        TPixelOrder::Bgrx};
        if (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
            Rgb = Image.convertToFormat(QImage::Format_RGB888);
            Rows = {Width, Height, Rgb.constBits(), static_cast<std::size_t>(Rgb.bytesPerLine()), TPixelOrder::Rgb};
        }
        const std::vector<std::uint8_t> Png = EncodePng(Rows, Image.dotsPerMeterX(), Image.dotsPerMeterY());
        Bytes = QByteArray(reinterpret_cast<const char*>(Png.data()), static_cast<qsizetype>(Png.size()));
    }
    try {
        WriteFileAtomically(OutPath, std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())));
    } catch (const EXmlFileError& E) {
        // The file layer's reason follows its own "Cannot write "NAME": ".
        const std::string Message = E.what();
        const std::string Prefix = OutPath + "\": ";
        const std::size_t Reason = Message.find(Prefix);
        throw std::runtime_error("cannot write '" + OutPath + "': " +
                                 (Reason != std::string::npos ? Message.substr(Reason + Prefix.size())
                                                              : std::string(std::strerror(E.ErrorCode()))));
    }
    return 0;
}

const TCliRegistration Registration("chart", &RunChart);

} // namespace
} // namespace psykrona
