#include "printing/PictureFiles.h"

#include "files/TextEncoding.h"
#include "platform/Platform.h"
#include "xml/FileAccess.h"
#include "xml/XmlError.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cctype>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace psykrona {

namespace {

// JPEG's own limit on either side.
constexpr int KJpegLargestSide = 65500;

void CheckPixels(const TPixelRows& Pixels) {
    if (Pixels.Width <= 0 || Pixels.Height <= 0 || Pixels.Data == nullptr) {
        throw EPictureError("An empty picture cannot be saved");
    }
    const std::size_t Bytes = Pixels.Order == TPixelOrder::Rgb ? 3 : 4;
    if (Pixels.Stride < static_cast<std::size_t>(Pixels.Width) * Bytes) {
        throw EPictureError("The picture's rows are shorter than its width");
    }
}

void CheckPixels(const TPicture& Picture) {
    if (Picture.IsEmpty()) {
        throw EPictureError("An empty picture cannot be saved");
    }
    const std::size_t Needed =
        static_cast<std::size_t>(Picture.Width) * static_cast<std::size_t>(Picture.Height) * 3;
    if (Picture.Rgb.size() < Needed) {
        throw EPictureError("The picture's pixel data is incomplete");
    }
}

// libjpeg reports a failure by calling error_exit, which must not return.
// Unwinding a C++ exception through the library's C frames is not safe, so
// the failure jumps back to the setjmp of the function that called libjpeg;
// those functions keep only plain data between setjmp and the jump.
struct TJpegErrors {
    jpeg_error_mgr Mgr; // first: libjpeg's pointer to it is a pointer to this
    std::jmp_buf Jump;
    std::array<char, JMSG_LENGTH_MAX> Message;
    bool TooLarge = false; // refused by its size, the message says how large
};

void JpegFail(j_common_ptr Info) {
    auto* E = reinterpret_cast<TJpegErrors*>(Info->err);
    Info->err->format_message(Info, E->Message.data());
    std::longjmp(E->Jump, 1); // NOLINT(cert-err52-cpp): libjpeg's only way out, see above
}

// Level -1 is a warning about corrupt data that libjpeg would work around;
// it fails all the same. Trace messages (levels 0 and up) are dropped, since
// the core prints nothing.
void JpegMessage(j_common_ptr Info, int Level) {
    if (Level < 0) {
        JpegFail(Info);
    }
}

void JpegOutput(j_common_ptr) {}

void InitErrors(TJpegErrors& Errors) {
    jpeg_std_error(&Errors.Mgr);
    Errors.Mgr.error_exit = JpegFail;
    Errors.Mgr.emit_message = JpegMessage;
    Errors.Mgr.output_message = JpegOutput;
    Errors.Message[0] = '\0';
}

// Decodes into Out, which the caller has made empty. False with the
// library's message in Errors on failure.
bool JpegDecode(const unsigned char* Data, unsigned long Size, TPicture& Out, TJpegErrors& Errors) {
    jpeg_decompress_struct Info;
    Info.err = &Errors.Mgr;
    if (setjmp(Errors.Jump) != 0) { // NOLINT(cert-err52-cpp): see TJpegErrors
        jpeg_destroy_decompress(&Info);
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, Data, Size);
    jpeg_read_header(&Info, TRUE);
    if (static_cast<long long>(Info.image_width) * Info.image_height > KLargestDecodedPixels) {
        (void)std::snprintf(Errors.Message.data(), Errors.Message.size(),
                      "The JPEG image is %u x %u pixels; images of more than %lld million pixels are not read",
                      static_cast<unsigned>(Info.image_width), static_cast<unsigned>(Info.image_height),
                      KLargestDecodedPixels / 1'000'000);
        Errors.TooLarge = true;
        jpeg_destroy_decompress(&Info);
        return false;
    }
    Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Info);
    if (Info.output_components != 3) {
        const std::string_view Text = "Unsupported colour model";
        Text.copy(Errors.Message.data(), Errors.Message.size() - 1);
        Errors.Message[std::min(Text.size(), Errors.Message.size() - 1)] = '\0';
        jpeg_destroy_decompress(&Info);
        return false;
    }
    const std::size_t Stride = static_cast<std::size_t>(Info.output_width) * 3;
    // resize may throw; libjpeg's memory must go before the exception leaves.
    try {
        Out.Rgb.resize(Stride * Info.output_height);
    } catch (...) {
        jpeg_destroy_decompress(&Info);
        throw;
    }
    Out.Width = static_cast<int>(Info.output_width);
    Out.Height = static_cast<int>(Info.output_height);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = Out.Rgb.data() + Stride * Info.output_scanline;
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return true;
}

// Encodes into a buffer that libjpeg allocates with malloc; the caller frees
// *Buffer whether or not this succeeds.
bool JpegEncode(const TPixelRows& Pixels, int Quality, unsigned char** Buffer, unsigned long* Size,
                TJpegErrors& Errors) {
    jpeg_compress_struct Info;
    Info.err = &Errors.Mgr;
    if (setjmp(Errors.Jump) != 0) { // NOLINT(cert-err52-cpp): see TJpegErrors
        jpeg_destroy_compress(&Info);
        return false;
    }
    jpeg_create_compress(&Info);
    jpeg_mem_dest(&Info, Buffer, Size);
    Info.image_width = static_cast<JDIMENSION>(Pixels.Width);
    Info.image_height = static_cast<JDIMENSION>(Pixels.Height);
    // libjpeg-turbo reads blue-first rows with a spare byte as they are.
    Info.input_components = Pixels.Order == TPixelOrder::Rgb ? 3 : 4;
    Info.in_color_space = Pixels.Order == TPixelOrder::Rgb ? JCS_RGB : JCS_EXT_BGRX;
    jpeg_set_defaults(&Info);
    // Baseline: 8-bit quantisation tables and sequential coding, which every
    // viewer reads.
    jpeg_set_quality(&Info, Quality, TRUE);
    for (int C = 0; C < Info.num_components; ++C) {
        Info.comp_info[C].h_samp_factor = 1;
        Info.comp_info[C].v_samp_factor = 1;
    }
    jpeg_start_compress(&Info, TRUE);
    while (Info.next_scanline < Info.image_height) {
        // libjpeg only reads the rows it is given.
        auto* Row = const_cast<JSAMPLE*>(Pixels.Data + Pixels.Stride * Info.next_scanline);
        jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    return true;
}

void PutLe16(std::vector<std::uint8_t>& Out, std::size_t At, std::uint32_t V) {
    Out[At] = static_cast<std::uint8_t>(V);
    Out[At + 1] = static_cast<std::uint8_t>(V >> 8);
}

void PutLe32(std::vector<std::uint8_t>& Out, std::size_t At, std::uint32_t V) {
    PutLe16(Out, At, V & 0xFFFF);
    PutLe16(Out, At + 2, V >> 16);
}

bool IsProjectName(const std::string& Name) {
    return EndsWith(Name, ".pkx", true) || EndsWith(Name, ".pkr", true);
}

} // namespace

TPicture DecodeJpeg(std::string_view Bytes) {
    TPicture Picture;
    TJpegErrors Errors;
    InitErrors(Errors);
    if (!JpegDecode(reinterpret_cast<const unsigned char*>(Bytes.data()),
                    static_cast<unsigned long>(Bytes.size()), Picture, Errors)) {
        throw EPictureError(Errors.TooLarge ? std::string(Errors.Message.data())
                                            : std::string("Not a readable JPEG image: ") + Errors.Message.data());
    }
    return Picture;
}

TPicture LoadJpegFile(const std::string& FileName) {
    std::string Bytes;
    try {
        Bytes = ReadFileBytes(FileName);
    } catch (const EXmlFileError& E) {
        throw EPictureError(E.what());
    }
    try {
        return DecodeJpeg(Bytes);
    } catch (const EPictureError& E) {
        throw EPictureError("\"" + FileName + "\": " + E.what());
    }
}

TPixelRows RowsOf(const TPicture& Picture) {
    return {Picture.Width, Picture.Height, Picture.Rgb.data(), static_cast<std::size_t>(Picture.Width) * 3,
            TPixelOrder::Rgb};
}

std::vector<std::uint8_t> EncodeJpeg(const TPicture& Picture, int Quality) {
    CheckPixels(Picture);
    return EncodeJpeg(RowsOf(Picture), Quality);
}

std::vector<std::uint8_t> EncodeJpeg(const TPixelRows& Pixels, int Quality) {
    CheckPixels(Pixels);
    if (Pixels.Width > KJpegLargestSide || Pixels.Height > KJpegLargestSide) {
        throw EPictureError("A JPEG image can be at most " + std::to_string(KJpegLargestSide) +
                            " pixels wide and high");
    }
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    TJpegErrors Errors;
    InitErrors(Errors);
    const bool Done = JpegEncode(Pixels, Quality, &Buffer, &Size, Errors);
    std::vector<std::uint8_t> Out;
    if (Done) {
        try {
            Out.assign(Buffer, Buffer + Size);
        } catch (...) {
            std::free(Buffer);
            throw;
        }
    }
    std::free(Buffer);
    if (!Done) {
        throw EPictureError(std::string("The JPEG image cannot be made: ") + Errors.Message.data());
    }
    return Out;
}

std::vector<std::uint8_t> EncodeBmp(const TPicture& Picture) {
    CheckPixels(Picture);
    return EncodeBmp(RowsOf(Picture));
}

std::vector<std::uint8_t> EncodeBmp(const TPixelRows& Pixels) {
    CheckPixels(Pixels);
    constexpr std::size_t KHeaderSize = 14 + 40;
    const auto Width = static_cast<std::size_t>(Pixels.Width);
    const auto Height = static_cast<std::size_t>(Pixels.Height);
    const std::size_t Stride = (Width * 3 + 3) / 4 * 4;
    const std::size_t DataSize = Stride * Height;
    if (KHeaderSize + DataSize > std::numeric_limits<std::uint32_t>::max()) {
        throw EPictureError("The picture is too large for a bitmap file");
    }
    std::vector<std::uint8_t> Out(KHeaderSize + DataSize, 0);
    // BITMAPFILEHEADER
    Out[0] = 'B';
    Out[1] = 'M';
    PutLe32(Out, 2, static_cast<std::uint32_t>(Out.size()));
    PutLe32(Out, 10, KHeaderSize);
    // BITMAPINFOHEADER; a positive height means rows bottom-up. Resolution 0
    // leaves it to the viewer; compression 0 is BI_RGB.
    PutLe32(Out, 14, 40);
    PutLe32(Out, 18, static_cast<std::uint32_t>(Width));
    PutLe32(Out, 22, static_cast<std::uint32_t>(Height));
    PutLe16(Out, 26, 1);
    PutLe16(Out, 28, 24);
    PutLe32(Out, 34, static_cast<std::uint32_t>(DataSize));
    const bool Rgb = Pixels.Order == TPixelOrder::Rgb;
    const std::size_t In = Rgb ? 3 : 4;
    for (std::size_t Y = 0; Y < Height; ++Y) {
        const std::uint8_t* Src = Pixels.Data + Pixels.Stride * Y;
        std::uint8_t* Dst = Out.data() + KHeaderSize + Stride * (Height - 1 - Y);
        for (std::size_t X = 0; X < Width; ++X, Src += In, Dst += 3) {
            Dst[0] = Src[Rgb ? 2 : 0];
            Dst[1] = Src[1];
            Dst[2] = Src[Rgb ? 0 : 2];
        }
    }
    return Out;
}

void WritePictureFile(const std::string& FileName, const std::vector<std::uint8_t>& Bytes) {
    try {
        WriteFileAtomically(FileName,
                            std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
    } catch (const EXmlFileError& E) {
        throw EPictureError(E.what());
    }
}

void CheckOutputFile(const std::string& FileName, const std::vector<std::string>& Inputs,
                     bool MayReplaceProject) {
    TFileStatus Out;
    if (PathStatus(FileName, true, Out) != 0) {
        return; // nothing there to lose
    }
    for (const std::string& In : Inputs) {
        TFileStatus St;
        if (!In.empty() && PathStatus(In, true, St) == 0 && IsSameFile(St, Out)) {
            std::string Message = "\"" + FileName;
            Message += "\" is the same file as \"";
            Message += In;
            Message += "\", which the output is made from; choose another name";
            throw EPictureError(Message);
        }
    }
    if (MayReplaceProject) {
        return;
    }
    std::string Resolved;
    const bool Linked = ResolvePath(FileName, Resolved) == 0;
    if (IsProjectName(FileName) || (Linked && IsProjectName(Resolved))) {
        throw EPictureError("\"" + FileName + "\" is an existing project file; it is not replaced by this output");
    }
}

TPictureFormat PictureFormatOf(const std::string& FileName) {
    if (EndsWith(FileName, ".jpg")) {
        return TPictureFormat::Jpeg;
    }
    if (EndsWith(FileName, ".png")) {
        return TPictureFormat::Png;
    }
    if (EndsWith(FileName, ".svg")) {
        return TPictureFormat::Svg;
    }
    return TPictureFormat::Bmp;
}

} // namespace psykrona
