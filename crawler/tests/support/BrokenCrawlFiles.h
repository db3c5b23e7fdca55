#pragma once
// Files that a saved crawl's reader must refuse, made from a sound crawl file: each
// with a word the refusal must contain.

#include <sqlite3.h>

#include <string>
#include <vector>

#include "TempFolder.h"

namespace plovik_test {

struct BrokenCrawlFile {
    std::string strName;
    std::string strBytes;
    std::string strWhy;  // part of the one-line refusal
};

// An SQLite database of another program, optionally with the crawl files' application id.
inline std::string ForeignDatabase(const TempFolder& folder, const std::string& strName, bool bOurApplicationId)
{
    const std::string strPath = folder.Path(strName);
    sqlite3* pDb = nullptr;
    sqlite3_open(strPath.c_str(), &pDb);
    sqlite3_exec(pDb, "CREATE TABLE notes(id INTEGER PRIMARY KEY, text TEXT); INSERT INTO notes(text) VALUES('hi');",
                 nullptr, nullptr, nullptr);
    if (bOurApplicationId)
        sqlite3_exec(pDb, "PRAGMA application_id=1349285483", nullptr, nullptr, nullptr);
    sqlite3_close(pDb);
    std::string strBytes = ReadWholeFile(strPath);
    std::remove(strPath.c_str());
    return strBytes;
}

// strSound: the bytes of a finished crawl file (one file, no log beside it).
inline std::vector<BrokenCrawlFile> BrokenCrawlFiles(const TempFolder& scratch, const std::string& strSound)
{
    const std::size_t nPageSize = std::size_t{static_cast<unsigned char>(strSound[16])} << 8 |
        std::size_t{static_cast<unsigned char>(strSound[17])};
    std::string strOtherVersion = strSound;
    strOtherVersion[63] = 2;  // PRAGMA user_version, big-endian at offset 60
    std::string strDamaged = strSound;
    for (std::size_t i = nPageSize; i < 2 * nPageSize && i < strDamaged.size(); ++i)
        strDamaged[i] = static_cast<char>(0x5A);
    return {
        {"empty", "", "not a saved crawl"},
        {"text", "Page,PR,In,Out,Depth,Status\nh/,1.000,0,0,0,200\n", "not a saved crawl"},
        {"header only", strSound.substr(0, 100), "damaged"},
        {"truncated", strSound.substr(0, strSound.size() / 2 + 7), "damaged"},
        {"half the pages", strSound.substr(0, (strSound.size() / nPageSize / 2) * nPageSize), "damaged"},
        {"damaged page", strDamaged, "damaged"},
        {"foreign database", ForeignDatabase(scratch, "foreign.db", false), "not a saved crawl"},
        {"foreign database with our id", ForeignDatabase(scratch, "foreign-id.db", true), "not a saved crawl"},
        {"other schema version", strOtherVersion, "schema version 2"},
    };
}

}  // namespace plovik_test
