#include "WindowCrawlFile.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "CrawlRecorder.h"
#include "WholeFile.h"

namespace plovik {

namespace {

// A name no other window's crawl uses: two programs may share the folder.
std::string TemporaryName(const std::string& strFolder, std::mt19937_64& random)
{
    std::ostringstream name;
    name << strFolder;
    if (!strFolder.empty() && strFolder.back() != '/' && strFolder.back() != '\\')
        name << '/';
    name << "plovik-" << std::hex << random() << ".crawl";
    return name.str();
}

bool ReadFileBytes(const std::string& strPath, std::string& bytes)
{
    std::ifstream in(strPath, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    bytes = out.str();
    return !in.bad();
}

}  // namespace

WindowCrawlFile::WindowCrawlFile(std::string strScratchFolder) : m_strScratch(std::move(strScratchFolder))
{
}

WindowCrawlFile::~WindowCrawlFile()
{
    ForgetTemporary();
}

void WindowCrawlFile::ForgetTemporary()
{
    m_pRecorder.reset();
    m_pStore.reset();
    if (!m_strTemporary.empty()) {
        std::remove(m_strTemporary.c_str());
        // A crawl stopped early may leave SQLite's log files until its store closes.
        std::remove((m_strTemporary + "-wal").c_str());
        std::remove((m_strTemporary + "-shm").c_str());
    }
    m_strTemporary.clear();
    m_strSource.clear();
}

CrawlNotifier* WindowCrawlFile::BeginCrawl(const CrawlSetup& setup, std::string& strError)
{
    ForgetTemporary();
    std::mt19937_64 random(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           reinterpret_cast<std::uintptr_t>(this));
    // Create refuses a path that exists, so a name taken meanwhile is simply tried again.
    for (int nTry = 0; nTry < 8 && !m_pStore; ++nTry) {
        const std::string strPath = TemporaryName(m_strScratch, random);
        m_pStore = CrawlStore::Create(strPath, setup, strError);
        if (m_pStore)
            m_strTemporary = strPath;
    }
    if (!m_pStore)
        return nullptr;
    m_pRecorder = std::make_unique<CrawlRecorder>(*m_pStore);
    return m_pRecorder.get();
}

void WindowCrawlFile::EndCrawl()
{
    if (!m_pStore)
        return;
    // A store that failed to write holds less than the crawl: nothing to save.
    const bool bWhole = m_pStore->WriteError().empty();
    m_pRecorder.reset();
    m_pStore.reset();
    if (bWhole)
        m_strSource = m_strTemporary;
}

void WindowCrawlFile::UseOpenedFile(const std::string& strPath)
{
    ForgetTemporary();
    m_strSource = strPath;
}

bool WindowCrawlFile::CanSave() const
{
    return !m_pStore && !m_strSource.empty();
}

bool WindowCrawlFile::SaveAs(const std::string& strPath, std::string& strError) const
{
    if (m_pStore) {
        strError = "the crawl is still running";
        return false;
    }
    if (m_strSource.empty()) {
        strError = "there is no crawl to save";
        return false;
    }
    if (strPath == m_strSource)
        return true;
    std::string bytes;
    if (!ReadFileBytes(m_strSource, bytes)) {
        strError = m_strSource + ": the crawl file cannot be read";
        return false;
    }
    return WriteWholeFile(strPath, bytes, strError);
}

}  // namespace plovik
