#pragma once

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace psykrona::test {

// Fonts and printers need the application object; the suite runs on the
// offscreen platform.
inline void EnsureGuiApplication() {
    if (QGuiApplication::instance() == nullptr) {
        static int Argc = 1;
        static char Name[] = "printing_qt_tests";
        static char* Argv[] = {Name, nullptr};
        static QGuiApplication App(Argc, Argv);
    }
}

// The page objects of a PDF file ("/Type /Page", not "/Pages").
inline int PdfPageCount(const std::string& Pdf) {
    static const std::regex Page("/Type\\s*/Page(?![a-zA-Z])");
    return static_cast<int>(
        std::distance(std::sregex_iterator(Pdf.begin(), Pdf.end(), Page), std::sregex_iterator()));
}

// The logo's blues and the chart's red, told apart from black text, white
// paper, grey antialiasing, the chart's aqua markers and the logo's orange.
inline bool IsLogoBlue(QRgb C) {
    return qBlue(C) > qRed(C) + 60 && qBlue(C) > qGreen(C) + 30 && qGreen(C) < 160;
}
inline bool IsChartRed(QRgb C) {
    return qRed(C) > 180 && qGreen(C) < 120 && qBlue(C) < 120 && std::abs(qGreen(C) - qBlue(C)) < 30;
}

// The smallest rectangle holding every pixel of a kind; empty when none.
template <typename TTest> QRect BoundsOf(const QImage& Image, TTest Test) {
    QRect Box;
    for (int Y = 0; Y < Image.height(); ++Y) {
        for (int X = 0; X < Image.width(); ++X) {
            if (Test(Image.pixel(X, Y))) {
                Box = Box.united(QRect(X, Y, 1, 1));
            }
        }
    }
    return Box;
}

} // namespace psykrona::test
