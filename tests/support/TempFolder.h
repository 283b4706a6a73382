#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <cstdlib>

namespace psykrona::test {

// A whole file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& Name, std::string_view Bytes) {
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!Out) {
        throw std::runtime_error("cannot write " + Name.string());
    }
}

// A fresh folder under the system's temporary directory, removed with all its
// content when the object goes.
class TTempFolder {
public:
    TTempFolder() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "psykrona-test-XXXXXX").string();
        if (!mkdtemp(Pattern.data())) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        FPath = Pattern;
    }
    ~TTempFolder() {
        std::error_code Ignored;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, Ignored);
        std::filesystem::remove_all(FPath, Ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    // The folder with a trailing "/", the way program directories are given.
    std::string Dir() const { return FPath.string() + "/"; }
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }

    void Write(const std::string& Name, std::string_view Bytes) const { WriteFile(FPath / Name, Bytes); }
    std::string Read(const std::string& Name) const { return ReadFile(FPath / Name); }
    // The names in the folder, sorted, to see that nothing was left behind.
    std::string Listing() const {
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(FPath)) {
            Names.push_back(E.path().filename().string() + "\n");
        }
        std::sort(Names.begin(), Names.end());
        return std::accumulate(Names.begin(), Names.end(), std::string());
    }

private:
    std::filesystem::path FPath;
};

} // namespace psykrona::test
