// Runs a fuzz target's entry point once on each file named on the command line and on
// each file under the folders named, in a fixed order: the seeds of every target run
// as an ordinary test, with any compiler and without libFuzzer. A violated invariant
// aborts, which fails the test.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs)
{
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error))
        return false;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path, error))
        if (entry.is_regular_file(error))
            inputs.push_back(entry.path());
    return !error;
}

bool ReadFile(const fs::path& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i)
        if (!CollectInputs(argv[i], inputs)) {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
    // A replay of nothing would pass without testing anything.
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
        std::string bytes;
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "%s: unreadable\n", path.string().c_str());
            return 1;
        }
        std::fprintf(stderr, "%s\n", path.string().c_str());
        // A buffer of exactly the input's size, so that the sanitizer sees a read past it.
        const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
