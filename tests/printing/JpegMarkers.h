#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace psykrona::test {

// The header segments of a JPEG file up to the start of the scan, read as a
// viewer reads them.
struct TJpegSegment {
    std::uint8_t Marker = 0; // the byte after 0xFF
    std::string Data;        // the segment's payload, without its length
};

struct TJpegHeader {
    bool StartsWithSoi = false;
    bool EndsWithEoi = false;
    std::vector<TJpegSegment> Segments;

    const TJpegSegment* Find(std::uint8_t Marker) const {
        for (const TJpegSegment& S : Segments) {
            if (S.Marker == Marker) {
                return &S;
            }
        }
        return nullptr;
    }
    // Any start-of-frame marker: C0 to CF except C4 (DHT), C8 and CC.
    std::vector<std::uint8_t> Frames() const {
        std::vector<std::uint8_t> Out;
        for (const TJpegSegment& S : Segments) {
            if (S.Marker >= 0xC0 && S.Marker <= 0xCF && S.Marker != 0xC4 && S.Marker != 0xC8 &&
                S.Marker != 0xCC) {
                Out.push_back(S.Marker);
            }
        }
        return Out;
    }
};

inline TJpegHeader ReadJpegHeader(const std::string& Bytes) {
    TJpegHeader H;
    auto At = [&](std::size_t I) { return static_cast<std::uint8_t>(Bytes[I]); };
    H.StartsWithSoi = Bytes.size() >= 2 && At(0) == 0xFF && At(1) == 0xD8;
    H.EndsWithEoi = Bytes.size() >= 2 && At(Bytes.size() - 2) == 0xFF && At(Bytes.size() - 1) == 0xD9;
    std::size_t I = 2;
    while (H.StartsWithSoi && I + 4 <= Bytes.size() && At(I) == 0xFF) {
        const std::uint8_t Marker = At(I + 1);
        const std::size_t Length = static_cast<std::size_t>(At(I + 2)) << 8 | At(I + 3);
        if (Length < 2 || I + 2 + Length > Bytes.size()) {
            break;
        }
        H.Segments.push_back({Marker, Bytes.substr(I + 4, Length - 2)});
        if (Marker == 0xDA) {
            break;
        }
        I += 2 + Length;
    }
    return H;
}

// The frame of an SOF segment: precision, height, width and the sampling
// factors of each component.
struct TJpegFrame {
    int Precision = 0;
    int Height = 0;
    int Width = 0;
    std::vector<int> Sampling; // 0x11 is full resolution
};

inline TJpegFrame ReadFrame(const TJpegSegment& Sof) {
    auto At = [&](std::size_t I) { return static_cast<std::uint8_t>(Sof.Data[I]); };
    TJpegFrame F;
    F.Precision = At(0);
    F.Height = At(1) << 8 | At(2);
    F.Width = At(3) << 8 | At(4);
    const int N = At(5);
    for (int C = 0; C < N; ++C) {
        F.Sampling.push_back(At(static_cast<std::size_t>(6 + 3 * C + 1)));
    }
    return F;
}

} // namespace psykrona::test
