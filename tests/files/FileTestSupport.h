#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace psykrona::test {

// A fresh folder under /tmp for one test, removed afterwards.
class TTempDir {
public:
    TTempDir() {
        char Pattern[] = "/tmp/psykrona-files-XXXXXX";
        FPath = mkdtemp(Pattern);
    }
    ~TTempDir() {
        std::error_code Ec;
        std::filesystem::remove_all(FPath, Ec);
    }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

inline void WriteBytes(const std::string& FileName, const std::string& Bytes) {
    std::ofstream Out(FileName, std::ios::binary);
    Out << Bytes;
}

inline std::string ReadBytes(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

} // namespace psykrona::test
