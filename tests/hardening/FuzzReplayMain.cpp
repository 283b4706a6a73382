// Replays inputs through a fuzz target without libFuzzer: every file in the
// folders (or the files) named on the command line goes to
// LLVMFuzzerTestOneInput once. A broken promise aborts, so the test fails;
// this keeps the seeds and every past finding checked in each test build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* Argc, char*** Argv);

int main(int Argc, char** Argv) {
    if (LLVMFuzzerInitialize) {
        LLVMFuzzerInitialize(&Argc, &Argv);
    }
    std::vector<std::filesystem::path> Inputs;
    for (int I = 1; I < Argc; ++I) {
        const std::filesystem::path Path(Argv[I]);
        for (const auto& Entry : std::filesystem::is_directory(Path) ? std::filesystem::directory_iterator(Path)
                                                                       : std::filesystem::directory_iterator()) {
            Inputs.push_back(Entry.path());
        }
        if (std::filesystem::is_regular_file(Path)) {
            Inputs.push_back(Path);
        }
    }
    for (const std::filesystem::path& Input : Inputs) {
        std::ifstream In(Input, std::ios::binary);
        const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        std::printf("%s\n", Input.string().c_str());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
    }
    std::printf("%zu inputs replayed\n", Inputs.size());
    return Inputs.empty() ? 1 : 0;
}
