#include "qt/ChartPicture.h"

#include "printing/MollierPrint.h"
#include "printing/PictureFiles.h"
#include "qt/QtCanvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QSvgGenerator>
#include <QSysInfo>

#include <cstring>

namespace psykrona {

namespace {

// The chart picture layout on a painter that is already active on a white
// square of Size pixels.
void DrawPicture(TMollierDraw& Draw, TMain& Document, QPainter& Painter, int Size) {
    TQtCanvas Canvas(Painter);
    TMollierPrint Layout;
    Layout.FDraw = &Draw;
    Layout.FDocument = &Document;
    Layout.FCanvas = &Canvas;
    Layout.FPageWidth = Size;
    Layout.FPageHeight = Size;
    // The renderer outlives this canvas.
    struct TDetach {
        TMollierDraw& D;
        ~TDetach() { D.SetCanvas(nullptr, D.ChartLeft(), D.ChartTop(), D.ChartWidth(), D.ChartHeight()); }
    } Detach{Draw};
    Layout.PrintPage(TMollierPrint::KChartPicture, false);
}

std::vector<std::uint8_t> Bytes(const QByteArray& A) {
    return std::vector<std::uint8_t>(A.begin(), A.end());
}

} // namespace

QByteArray SvgDrawing(int Width, int Height, const std::function<void(QPainter&)>& Paint) {
    QByteArray Out;
    QBuffer Buffer(&Out);
    Buffer.open(QIODevice::WriteOnly);
    QSvgGenerator Generator;
    Generator.setOutputDevice(&Buffer);
    Generator.setSize(QSize(Width, Height));
    Generator.setViewBox(QRect(0, 0, Width, Height));
    Generator.setResolution(96);
    Generator.setTitle(QStringLiteral("Mollier chart"));
    QPainter Painter;
    if (!Painter.begin(&Generator)) {
        throw EPictureError("The SVG drawing cannot be made");
    }
    Painter.fillRect(0, 0, Width, Height, Qt::white);
    Paint(Painter);
    Painter.end();
    return Out;
}

QImage PixelDrawing(int Width, int Height, const std::function<void(QPainter&)>& Paint) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    if (Image.isNull()) {
        throw EPictureError("Not enough memory for a picture of " + std::to_string(Width) + " × " +
                            std::to_string(Height) + " pixels");
    }
    Image.fill(Qt::white);
    {
        QPainter Painter(&Image);
        Paint(Painter);
    }
    return Image;
}

QImage RenderChartPicture(TMollierDraw& Draw, TMain& Document, int Size) {
    return PixelDrawing(Size, Size, [&](QPainter& Painter) { DrawPicture(Draw, Document, Painter, Size); });
}

TPicture PictureFromImage(const QImage& Image) {
    const QImage Rgb = Image.convertToFormat(QImage::Format_RGB888);
    TPicture Picture;
    Picture.Width = Rgb.width();
    Picture.Height = Rgb.height();
    const std::size_t Row = static_cast<std::size_t>(Picture.Width) * 3;
    Picture.Rgb.resize(Row * static_cast<std::size_t>(Picture.Height));
    // QImage pads its rows to four bytes; the picture has no padding.
    for (int Y = 0; Y < Picture.Height; ++Y) {
        std::memcpy(Picture.Rgb.data() + Row * static_cast<std::size_t>(Y), Rgb.constScanLine(Y), Row);
    }
    return Picture;
}

namespace {

// The image's own memory, without a copy where its pixels lie blue first.
TPixelRows RowsOf(const QImage& Image, QImage& Converted) {
    if (Image.format() == QImage::Format_RGB32 && QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        return {Image.width(), Image.height(), Image.constBits(),
                static_cast<std::size_t>(Image.bytesPerLine()), TPixelOrder::Bgrx};
    }
    Converted = Image.convertToFormat(QImage::Format_RGB888);
    return {Converted.width(), Converted.height(), Converted.constBits(),
            static_cast<std::size_t>(Converted.bytesPerLine()), TPixelOrder::Rgb};
}

} // namespace

void SaveChartPicture(TMollierDraw& Draw, TMain& Document, const std::string& FileName,
                      const std::vector<std::string>& Inputs) {
    CheckOutputFile(FileName, Inputs);
    const TPictureFormat Format = PictureFormatOf(FileName);
    if (Format == TPictureFormat::Svg) {
        WritePictureFile(FileName, Bytes(SvgDrawing(KChartPictureSize, KChartPictureSize, [&](QPainter& Painter) {
                             DrawPicture(Draw, Document, Painter, KChartPictureSize);
                         })));
        return;
    }
    const QImage Image = RenderChartPicture(Draw, Document);
    QImage Converted;
    switch (Format) {
    case TPictureFormat::Jpeg:
        WritePictureFile(FileName, EncodeJpeg(RowsOf(Image, Converted)));
        break;
    case TPictureFormat::Png: {
        QByteArray Out;
        QBuffer Buffer(&Out);
        Buffer.open(QIODevice::WriteOnly);
        if (!Image.save(&Buffer, "PNG")) {
            throw EPictureError("The PNG image cannot be made");
        }
        WritePictureFile(FileName, Bytes(Out));
        break;
    }
    default:
        WritePictureFile(FileName, EncodeBmp(RowsOf(Image, Converted)));
        break;
    }
}

} // namespace psykrona
