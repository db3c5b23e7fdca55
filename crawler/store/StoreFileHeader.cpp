#include "StoreFileHeader.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace plovik {

const std::uint32_t kCrawlApplicationId = 0x506C766Bu;

namespace {

struct FileCloser {
    void operator()(std::FILE* p) const { std::fclose(p); }
};

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
}

// The file's length, without reading it; -1 when it cannot be told.
long long FileLength(std::FILE* pFile)
{
    if (std::fseek(pFile, 0, SEEK_END) != 0)
        return -1;
#ifdef _WIN32
    return _ftelli64(pFile);
#else
    return static_cast<long long>(ftello(pFile));
#endif
}

}  // namespace

HeaderCheck CheckStoreFileHeader(const std::string& strPath, std::int32_t nExpectedVersion)
{
    HeaderCheck check;
    std::unique_ptr<std::FILE, FileCloser> pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile) {
        check.verdict = HeaderVerdict::Missing;
        return check;
    }
    unsigned char header[100];
    if (std::fread(header, 1, sizeof header, pFile.get()) != sizeof header ||
        std::memcmp(header, "SQLite format 3", 16) != 0)
        return check;
    if (BigEndian32(header + 68) != kCrawlApplicationId)
        return check;
    check.nVersion = static_cast<std::int32_t>(BigEndian32(header + 60));
    // Every crawl file names its version; one without is some other program's.
    if (check.nVersion == 0)
        return check;
    if (check.nVersion != nExpectedVersion) {
        check.verdict = HeaderVerdict::OtherVersion;
        return check;
    }
    // The page count in the header is valid when its change counter matches the one
    // it was written with; a file shorter than that lost its end.
    const std::uint32_t nPageSize = (std::uint32_t(header[16]) << 8 | header[17]) == 1
        ? 65536u
        : (std::uint32_t(header[16]) << 8 | header[17]);
    const std::uint32_t nPages = BigEndian32(header + 28);
    const long long nLength = FileLength(pFile.get());
    if (nPageSize < 512 || nLength < 0 || nLength % nPageSize != 0) {
        check.verdict = HeaderVerdict::Truncated;
        return check;
    }
    if (BigEndian32(header + 24) == BigEndian32(header + 92) &&
        static_cast<unsigned long long>(nLength) < static_cast<unsigned long long>(nPages) * nPageSize) {
        check.verdict = HeaderVerdict::Truncated;
        return check;
    }
    check.verdict = HeaderVerdict::Crawl;
    return check;
}

}  // namespace plovik
