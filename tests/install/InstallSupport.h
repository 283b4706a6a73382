#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace psykrona::test {

inline std::string ReadWholeFile(const std::filesystem::path& P) {
    std::ifstream In(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG file's header chunk; (0, 0) for anything else.
inline std::pair<int, int> PngSize(const std::filesystem::path& P) {
    const std::string Bytes = ReadWholeFile(P);
    if (Bytes.size() < 24 || Bytes.compare(1, 3, "PNG") != 0) {
        return {0, 0};
    }
    auto Be32 = [&Bytes](std::size_t At) {
        int V = 0;
        for (std::size_t I = 0; I < 4; ++I) {
            V = V << 8 | static_cast<unsigned char>(Bytes[At + I]);
        }
        return V;
    };
    return {Be32(16), Be32(20)};
}

} // namespace psykrona::test
