#pragma once

#include "chart/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace psykrona {

// A picture that cannot be read, decoded, encoded or written. The message
// names the file where there is one.
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The JPEG quality of chart pictures (libjpeg's scale, 1 to 100).
inline constexpr int KJpegQuality = 90;

// The most pixels a JPEG image may have to be decoded: a 600 dpi A4 page is
// 35 million. Larger images are refused by the size in their header, before
// any memory is taken for them.
inline constexpr long long KLargestDecodedPixels = 40'000'000;

// A JPEG image in any colour model libjpeg converts to RGB (greyscale,
// YCbCr, RGB), baseline or progressive. Data that libjpeg finds corrupt, even
// where it could go on, is refused: a damaged logo must not print as grey
// stripes.
TPicture DecodeJpeg(std::string_view Bytes);
// DecodeJpeg of a whole file.
TPicture LoadJpegFile(const std::string& FileName);

// Pixel rows where another library keeps them, so that a picture drawn
// there is encoded without a copy. Rgb: three bytes a pixel, red first, as in
// TPicture. Bgrx: four bytes a pixel, blue first and the fourth unused, as a
// 32-bit 0xXXRRGGBB pixel lies in little-endian memory.
enum class TPixelOrder { Rgb, Bgrx };
struct TPixelRows {
    int Width = 0;
    int Height = 0;
    const std::uint8_t* Data = nullptr;
    std::size_t Stride = 0; // bytes from the start of one row to the next
    TPixelOrder Order = TPixelOrder::Rgb;
};
TPixelRows RowsOf(const TPicture& Picture);

// A baseline JPEG (SOF0, standard Huffman tables) of 8-bit YCbCr at the given
// quality, every component at full resolution so that thin coloured lines of
// a chart stay sharp.
std::vector<std::uint8_t> EncodeJpeg(const TPicture& Picture, int Quality = KJpegQuality);
std::vector<std::uint8_t> EncodeJpeg(const TPixelRows& Pixels, int Quality = KJpegQuality);

// An uncompressed 24-bit Windows bitmap: BITMAPINFOHEADER, rows bottom-up,
// blue-green-red, each row padded to four bytes.
std::vector<std::uint8_t> EncodeBmp(const TPicture& Picture);
std::vector<std::uint8_t> EncodeBmp(const TPixelRows& Pixels);

// Replaces the file's content with Bytes; the old file survives a failure.
void WritePictureFile(const std::string& FileName, const std::vector<std::uint8_t>& Bytes);

// Refuses, before anything is drawn, an output file that would destroy what
// it must not: one that is the same file as one of Inputs (by device and
// inode, so also under another name or through a link), and, unless
// MayReplaceProject, an existing project file: a name ending in ".pkx" or
// ".pkr" in any case, or a link to such a file. Throws EPictureError.
void CheckOutputFile(const std::string& FileName, const std::vector<std::string>& Inputs,
                     bool MayReplaceProject = false);

// What a chart picture is saved as, by its file name. Only these exact
// endings count, so "PLAN.JPG" and "plan" are bitmaps.
enum class TPictureFormat { Bmp, Jpeg, Png, Svg };
TPictureFormat PictureFormatOf(const std::string& FileName);

} // namespace psykrona
