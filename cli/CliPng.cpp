#include "cli/CliPng.h"

#include <png.h>

#include <csetjmp>
#include <string>

namespace psykrona {
namespace {

void Append(png_structp Png, png_bytep Data, png_size_t Size) {
    auto* Out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(Png));
    Out->insert(Out->end(), Data, Data + Size);
}

void NoFlush(png_structp) {}

// libpng reports its failures by a long jump back to Encode; the message is
// kept for the exception thrown there.
void Failed(png_structp Png, png_const_charp Message) {
    auto* Text = static_cast<std::string*>(png_get_error_ptr(Png));
    *Text = Message;
    png_longjmp(Png, 1);
}

void Warned(png_structp, png_const_charp) {}

// Kept free of objects with destructors: a long jump passes over them.
bool Encode(const TPixelRows& Pixels, int DotsPerMeterX, int DotsPerMeterY, std::vector<std::uint8_t>& Out,
            std::string& Error) {
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Error, Failed, Warned);
    if (Png == nullptr) {
        Error = "out of memory";
        return false;
    }
    png_infop Info = png_create_info_struct(Png);
    if (Info == nullptr || setjmp(png_jmpbuf(Png)) != 0) {
        png_destroy_write_struct(&Png, &Info);
        if (Error.empty()) {
            Error = "out of memory";
        }
        return false;
    }
    png_set_write_fn(Png, &Out, Append, NoFlush);
    png_set_IHDR(Png, Info, static_cast<png_uint_32>(Pixels.Width), static_cast<png_uint_32>(Pixels.Height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (DotsPerMeterX > 0 && DotsPerMeterY > 0) {
        png_set_pHYs(Png, Info, static_cast<png_uint_32>(DotsPerMeterX), static_cast<png_uint_32>(DotsPerMeterY),
                     PNG_RESOLUTION_METER);
    }
    png_set_filter(Png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(Png, 1);
    png_write_info(Png, Info);
    if (Pixels.Order == TPixelOrder::Bgrx) {
        png_set_bgr(Png);
        png_set_filler(Png, 0, PNG_FILLER_AFTER);
    }
    for (int Y = 0; Y < Pixels.Height; ++Y) {
        png_write_row(Png, Pixels.Data + Pixels.Stride * static_cast<std::size_t>(Y));
    }
    png_write_end(Png, Info);
    png_destroy_write_struct(&Png, &Info);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodePng(const TPixelRows& Pixels, int DotsPerMeterX, int DotsPerMeterY) {
    if (Pixels.Width < 1 || Pixels.Height < 1 || Pixels.Data == nullptr) {
        throw EPictureError("The PNG image cannot be made: no pixels");
    }
    std::vector<std::uint8_t> Out;
    // Charts pack to about a thirtieth of their pixels' bytes.
    Out.reserve(static_cast<std::size_t>(Pixels.Width) * static_cast<std::size_t>(Pixels.Height) / 8 + 1024);
    std::string Error;
    if (!Encode(Pixels, DotsPerMeterX, DotsPerMeterY, Out, Error)) {
        throw EPictureError("The PNG image cannot be made: " + Error);
    }
    return Out;
}

} // namespace psykrona
