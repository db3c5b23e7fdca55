#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends; and whole-file reads and writes for checking files byte by byte.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace plovik_test {

class TempFolder {
public:
    TempFolder()
    {
        std::mt19937_64 random(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        const auto base = std::filesystem::temp_directory_path();
        do
            m_path = base / ("plovik-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(m_path));
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& strName) const { return (m_path / strName).string(); }
    // The names of the files in the folder.
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline std::string ReadWholeFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteWholeFile(const std::string& strPath, const std::string& strBytes)
{
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strBytes;
}

}  // namespace plovik_test
