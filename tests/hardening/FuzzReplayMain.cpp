// Replays inputs through a fuzz target without libFuzzer: every file in the
// folders named on the command line (where they exist) goes to LLVMFuzzerTestOneInput once. A
// broken promise aborts, so the test fails; this keeps the seeds and every
// past finding checked in each test build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* Argc, char*** Argv);

int main(int Argc, char** Argv) {
    if (LLVMFuzzerInitialize) {
        LLVMFuzzerInitialize(&Argc, &Argv);
    }
    std::size_t Count = 0;
    for (int I = 1; I < Argc; ++I) {
        std::error_code Missing; // a target without past findings has no folder of them
        for (const auto& Entry : std::filesystem::directory_iterator(Argv[I], Missing)) {
            std::ifstream In(Entry.path(), std::ios::binary);
            const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "%s\n", Entry.path().c_str()); // unbuffered: named even if it aborts
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
            ++Count;
        }
    }
    std::printf("%zu inputs replayed\n", Count);
    return Count == 0 ? 1 : 0;
}
