#pragma once

#include "chart/Canvas.h"
#include "chart/MollierDraw.h"
#include "engine/Main.h"

#include <QByteArray>
#include <QImage>

#include <functional>
#include <string>
#include <vector>

class QPainter;

namespace psykrona {

// The chart picture is square and always this size, whatever the window's.
inline constexpr int KChartPictureSize = 680;

// Saves the chart picture of Document (the print layout's chart picture on
// white, KChartPictureSize pixels square) drawn by Draw, as the file name
// asks: a name ending exactly in ".jpg" gives a baseline JPEG of quality 90,
// ".png" a PNG, ".svg" a vector SVG of the same picture, and any other name
// a 24-bit bitmap. The name is used as given. Draw is borrowed and left
// without a canvas. The picture is made whole in memory and then replaces
// the file at once, so a failure leaves the old file or none. The name is
// refused, before any drawing, when it is one of Inputs or an existing
// project (CheckOutputFile). Throws EPictureError, or what the drawing
// throws.
void SaveChartPicture(TMollierDraw& Draw, TMain& Document, const std::string& FileName,
                      const std::vector<std::string>& Inputs = {});

// The chart picture in memory, Size pixels square.
QImage RenderChartPicture(TMollierDraw& Draw, TMain& Document, int Size = KChartPictureSize);

// An SVG drawing of Width x Height pixels at 96 dpi, titled as a chart, on
// white, with what Paint draws on it. Throws EPictureError when the drawing
// cannot be started, or what Paint throws.
QByteArray SvgDrawing(int Width, int Height, const std::function<void(QPainter&)>& Paint);

// A picture of Width x Height pixels on white with what Paint draws on it.
// Throws EPictureError when there is no memory for it, or what Paint
// throws.
QImage PixelDrawing(int Width, int Height, const std::function<void(QPainter&)>& Paint);

// The pixels of an image as a canvas picture.
TPicture PictureFromImage(const QImage& Image);

} // namespace psykrona
