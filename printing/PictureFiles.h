#pragma once

#include "chart/Canvas.h"

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

// A JPEG image in any colour model libjpeg converts to RGB (greyscale,
// YCbCr, RGB), baseline or progressive. Data that libjpeg finds corrupt, even
// where it could go on, is refused: a damaged logo must not print as grey
// stripes.
TPicture DecodeJpeg(std::string_view Bytes);
// DecodeJpeg of a whole file.
TPicture LoadJpegFile(const std::string& FileName);

// A baseline JPEG (SOF0, standard Huffman tables) of 8-bit YCbCr at the given
// quality, every component at full resolution so that thin coloured lines of
// a chart stay sharp.
std::vector<std::uint8_t> EncodeJpeg(const TPicture& Picture, int Quality = KJpegQuality);

// An uncompressed 24-bit Windows bitmap: BITMAPINFOHEADER, rows bottom-up,
// blue-green-red, each row padded to four bytes.
std::vector<std::uint8_t> EncodeBmp(const TPicture& Picture);

// Replaces the file's content with Bytes; the old file survives a failure.
void WritePictureFile(const std::string& FileName, const std::vector<std::uint8_t>& Bytes);

// What a chart picture is saved as, by its file name. Only these exact
// endings count, so "PLAN.JPG" and "plan" are bitmaps.
enum class TPictureFormat { Bmp, Jpeg, Png, Svg };
TPictureFormat PictureFormatOf(const std::string& FileName);

} // namespace psykrona
