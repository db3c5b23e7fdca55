#include "CrawlStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include "StoreFileHeader.h"
#include "TextFormat.h"

namespace plovik {

const int CrawlStore::kSchemaVersion = 1;
const char* const CrawlStore::kApplication = "plovik crawl";

const char* LinkRulesName(LinkRules rules)
{
    return rules == LinkRules::Standard ? "standard" : "classic";
}

namespace {

struct DbCloser {
    void operator()(sqlite3* p) const { sqlite3_close(p); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* p) const { sqlite3_finalize(p); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// A connection is used by one thread only (the crawl's): no locks inside SQLite.
const int kOneThread = SQLITE_OPEN_NOMUTEX;

const char* const kSchema = "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                            "CREATE TABLE page("
                            " id INTEGER PRIMARY KEY,"
                            " address TEXT NOT NULL,"
                            " depth INTEGER NOT NULL,"
                            " status INTEGER NOT NULL DEFAULT 0,"
                            " out_links INTEGER NOT NULL DEFAULT 0,"
                            " rank REAL NOT NULL DEFAULT 1.0,"
                            " visited INTEGER NOT NULL DEFAULT 0,"
                            " visit_order INTEGER,"
                            " final_address TEXT,"
                            " failure TEXT);"
                            "CREATE TABLE link("
                            " from_page INTEGER NOT NULL REFERENCES page(id),"
                            " position INTEGER NOT NULL,"
                            " to_page INTEGER NOT NULL REFERENCES page(id),"
                            " href TEXT NOT NULL,"
                            " PRIMARY KEY(from_page, position)) WITHOUT ROWID;";

std::string NowUtc()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char sz[32];
    std::strftime(sz, sizeof sz, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return sz;
}

// SQLite's integrity report can run over several lines; the refusal is one.
std::string OneLine(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r')
            c = ' ';
    return s;
}

bool FileExists(const std::string& strPath)
{
    std::FILE* p = std::fopen(strPath.c_str(), "rb");
    if (!p)
        return false;
    std::fclose(p);
    return true;
}

std::string ColumnText(sqlite3_stmt* p, int nColumn)
{
    const auto* pText = static_cast<const char*>(sqlite3_column_blob(p, nColumn));
    const int nBytes = sqlite3_column_bytes(p, nColumn);
    return pText ? std::string(pText, static_cast<std::size_t>(nBytes)) : std::string();
}

// The text must outlive the statement's next step.
void BindText(sqlite3_stmt* p, int nIndex, const std::string& s)
{
    sqlite3_bind_text64(p, nIndex, s.data(), s.size(), SQLITE_STATIC, SQLITE_UTF8);
}

}  // namespace

struct CrawlStore::Impl {
    Db db;
    CrawlSetup setup;
    std::string strWriteError;
    bool bInPage = false;
    Statement begin;
    Statement commit;
    Statement insertPage;
    Statement updateVisited;
    Statement insertLink;
    // insertLinks[n - 1] inserts n links, insertPages[n - 1] n pages; prepared when
    // first needed.
    static const int kRowsPerInsert = 16;
    Statement insertLinks[kRowsPerInsert];
    Statement insertPages[kRowsPerInsert];

    bool Exec(const char* pSql, std::string& strError)
    {
        char* pMessage = nullptr;
        if (sqlite3_exec(db.get(), pSql, nullptr, nullptr, &pMessage) == SQLITE_OK)
            return true;
        strError = pMessage ? pMessage : sqlite3_errmsg(db.get());
        sqlite3_free(pMessage);
        return false;
    }
    Statement Prepare(const char* pSql)
    {
        sqlite3_stmt* p = nullptr;
        sqlite3_prepare_v2(db.get(), pSql, -1, &p, nullptr);
        return Statement(p);
    }
    // Runs a bound statement to its end and resets it; a failure is kept.
    void Step(sqlite3_stmt* p)
    {
        if (!strWriteError.empty())
            return;
        if (!p) {
            strWriteError = sqlite3_errmsg(db.get());
            return;
        }
        if (sqlite3_step(p) != SQLITE_DONE)
            strWriteError = sqlite3_errmsg(db.get());
        // Every write binds all its values: the bindings are kept.
        sqlite3_reset(p);
    }
    void Write(const char* pSql)
    {
        std::string strError;
        if (strWriteError.empty() && !Exec(pSql, strError))
            strWriteError = strError;
    }
    bool WriteMeta(const std::map<std::string, std::string>& values, std::string& strError)
    {
        Statement p = Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
        if (!p) {
            strError = sqlite3_errmsg(db.get());
            return false;
        }
        for (const auto& kv : values) {
            BindText(p.get(), 1, kv.first);
            BindText(p.get(), 2, kv.second);
            if (sqlite3_step(p.get()) != SQLITE_DONE) {
                strError = sqlite3_errmsg(db.get());
                return false;
            }
            sqlite3_reset(p.get());
        }
        return true;
    }
    bool ReadMeta(std::map<std::string, std::string>& values)
    {
        Statement p = Prepare("SELECT key, value FROM meta");
        if (!p)
            return false;
        int nResult = 0;
        while ((nResult = sqlite3_step(p.get())) == SQLITE_ROW)
            values[ColumnText(p.get(), 0)] = ColumnText(p.get(), 1);
        return nResult == SQLITE_DONE;
    }
    void PrepareWrites()
    {
        // WAL: each page's commit is one append to the log, which a killed process
        // leaves whole. No sync while the crawl runs (syncs cost more CPU than the
        // crawl's own work); a machine that goes down mid-crawl may leave a damaged file,
        // which the check on opening refuses. The end of the crawl syncs the file. The
        // running crawl holds the file alone: no lock traffic per page, no shared-memory
        // index beside it.
        // Freed bytes of rewritten rows are left as they are rather than zeroed: they
        // hold nothing but the same crawl's data.
        Write("PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF; "
              "PRAGMA secure_delete=OFF;");
        begin = Prepare("BEGIN");
        commit = Prepare("COMMIT");
        insertPage = Prepare("INSERT INTO page(id, address, depth) VALUES(?1, ?2, ?3)");
        updateVisited =
            Prepare("UPDATE page SET status=?2, out_links=?3, visited=1, visit_order=?4, final_address=?5, failure=?6 "
                    "WHERE id=?1");
        insertLink = Prepare("INSERT INTO link(from_page, position, to_page, href) VALUES(?1, ?2, ?3, ?4)");
    }
    // Rows of one kind, up to kRowsPerInsert to a statement: pInsert "... VALUES",
    // pRow one row's placeholders, bindRow(p, nRow, nFirstColumn) binds a row's values.
    // OR FAIL: a failed row ends the page's transaction anyway, and without the ABORT
    // default SQLite keeps no journal of a statement's own changes.
    template <class BindRow>
    void InsertRows(Statement* pCache, const char* pInsert, const char* pRow, int nColumns, std::size_t nCount,
                    BindRow bindRow)
    {
        for (std::size_t nDone = 0; nDone < nCount && strWriteError.empty();) {
            const std::size_t nRows = std::min(nCount - nDone, static_cast<std::size_t>(kRowsPerInsert));
            Statement& p = pCache[nRows - 1];
            if (!p) {
                std::string strSql = pInsert;
                for (std::size_t i = 0; i < nRows; ++i)
                    (strSql += i ? "," : "") += pRow;
                p = Prepare(strSql.c_str());
            }
            for (std::size_t i = 0; p && i < nRows; ++i)
                bindRow(p.get(), nDone + i, static_cast<int>(i) * nColumns + 1);
            Step(p.get());
            nDone += nRows;
        }
    }
};

CrawlStore::CrawlStore(std::unique_ptr<Impl> pImpl) : m_pImpl(std::move(pImpl))
{
}

CrawlStore::~CrawlStore()
{
    if (m_pImpl->bInPage)
        m_pImpl->Write("ROLLBACK");
}

const CrawlSetup& CrawlStore::Setup() const
{
    return m_pImpl->setup;
}

const std::string& CrawlStore::WriteError() const
{
    return m_pImpl->strWriteError;
}

std::unique_ptr<CrawlStore> CrawlStore::Create(const std::string& strPath, const CrawlSetup& setup,
                                               std::string& strError)
{
    if (FileExists(strPath)) {
        strError = strPath + ": the file exists; a crawl is saved into a new file only";
        return nullptr;
    }
    auto pImpl = std::make_unique<Impl>();
    sqlite3* pDb = nullptr;
    const int nOpen =
        sqlite3_open_v2(strPath.c_str(), &pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | kOneThread, nullptr);
    pImpl->db.reset(pDb);
    if (nOpen != SQLITE_OK) {
        strError = strPath + ": " + (pDb ? sqlite3_errmsg(pDb) : "cannot create the file");
        return nullptr;
    }
    pImpl->setup = setup;
    pImpl->setup.strStarted = NowUtc();
    pImpl->setup.strFinished.clear();
    const std::string strPragmas = "PRAGMA application_id=" + std::to_string(kCrawlApplicationId) +
        "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
    const std::map<std::string, std::string> meta = {
        {"application", kApplication},
        {"schema_version", std::to_string(kSchemaVersion)},
        {"program_version", setup.strProgramVersion},
        {"start_address", setup.strStartUrl},
        {"link_rules", LinkRulesName(setup.linkRules)},
        {"page_limit", std::to_string(setup.nMaxPages)},
        {"iterations", std::to_string(setup.nIterations)},
        {"started", pImpl->setup.strStarted},
        {"finished", ""},
        {"total", ""},
    };
    // Pages of 2 KiB: a page's commit writes two or three of them to the log, and half
    // the bytes of the usual 4 KiB are half the work of writing them.
    if (!pImpl->Exec("PRAGMA page_size=2048", strError) || !pImpl->Exec("BEGIN", strError) ||
        !pImpl->Exec(strPragmas.c_str(), strError) || !pImpl->Exec(kSchema, strError) ||
        !pImpl->WriteMeta(meta, strError) || !pImpl->Exec("COMMIT", strError)) {
        strError = strPath + ": " + strError;
        return nullptr;
    }
    pImpl->PrepareWrites();
    if (!pImpl->strWriteError.empty()) {
        strError = strPath + ": " + pImpl->strWriteError;
        return nullptr;
    }
    return std::unique_ptr<CrawlStore>(new CrawlStore(std::move(pImpl)));
}

std::unique_ptr<CrawlStore> CrawlStore::Open(const std::string& strPath, Access access, std::string& strError)
{
    const HeaderCheck header = CheckStoreFileHeader(strPath, kSchemaVersion);
    switch (header.verdict) {
    case HeaderVerdict::Missing:
        strError = strPath + ": no such file";
        return nullptr;
    case HeaderVerdict::NotACrawl:
        strError = strPath + ": not a saved crawl";
        return nullptr;
    case HeaderVerdict::OtherVersion:
        strError = strPath + ": a saved crawl of schema version " + std::to_string(header.nVersion) +
            "; this program reads version " + std::to_string(kSchemaVersion);
        return nullptr;
    case HeaderVerdict::Truncated:
        strError = strPath + ": the file is damaged (it is shorter than its header says)";
        return nullptr;
    case HeaderVerdict::Crawl:
        break;
    }
    // Checked read-only first; only a sound file is opened for writing.
    auto pImpl = std::make_unique<Impl>();
    sqlite3* pDb = nullptr;
    const int nOpen = sqlite3_open_v2(strPath.c_str(), &pDb, SQLITE_OPEN_READONLY | kOneThread, nullptr);
    pImpl->db.reset(pDb);
    if (nOpen != SQLITE_OK) {
        strError = strPath + ": " + (pDb ? sqlite3_errmsg(pDb) : "cannot open the file");
        return nullptr;
    }
    std::string strCheck;
    {
        Statement p = pImpl->Prepare("PRAGMA quick_check(1)");
        if (p && sqlite3_step(p.get()) == SQLITE_ROW)
            strCheck = ColumnText(p.get(), 0);
        else
            strCheck = sqlite3_errmsg(pImpl->db.get());
    }
    if (strCheck != "ok") {
        strError = strPath + ": the file is damaged (" + OneLine(strCheck) + ")";
        return nullptr;
    }
    std::map<std::string, std::string> meta;
    if (!pImpl->ReadMeta(meta) || meta["application"] != kApplication) {
        strError = strPath + ": not a saved crawl";
        return nullptr;
    }
    if (meta["schema_version"] != std::to_string(kSchemaVersion)) {
        strError = strPath + ": a saved crawl of schema version " + meta["schema_version"] +
            "; this program reads version " + std::to_string(kSchemaVersion);
        return nullptr;
    }
    CrawlSetup& setup = pImpl->setup;
    setup.strStartUrl = meta["start_address"];
    setup.linkRules = meta["link_rules"] == "standard" ? LinkRules::Standard : LinkRules::Classic;
    setup.nMaxPages = ParseCInt32(meta["page_limit"]);
    setup.nIterations = ParseCInt32(meta["iterations"]);
    setup.strProgramVersion = meta["program_version"];
    setup.strStarted = meta["started"];
    setup.strFinished = meta["finished"];
    setup.nTotal = ParseCInt32(meta["total"]);
    if (access == Access::ReadOnly)
        return std::unique_ptr<CrawlStore>(new CrawlStore(std::move(pImpl)));

    pImpl->db.reset();
    sqlite3* pWritable = nullptr;
    const int nWritable = sqlite3_open_v2(strPath.c_str(), &pWritable, SQLITE_OPEN_READWRITE | kOneThread, nullptr);
    pImpl->db.reset(pWritable);
    if (nWritable != SQLITE_OK) {
        strError = strPath + ": " + (pWritable ? sqlite3_errmsg(pWritable) : "cannot open the file for writing");
        return nullptr;
    }
    pImpl->PrepareWrites();
    if (!pImpl->strWriteError.empty()) {
        strError = strPath + ": " + pImpl->strWriteError;
        return nullptr;
    }
    return std::unique_ptr<CrawlStore>(new CrawlStore(std::move(pImpl)));
}

bool CrawlStore::ReadPages(std::vector<StoredPage>& pages)
{
    Statement p = m_pImpl->Prepare(
        "SELECT id, address, depth, status, out_links, rank, visited, visit_order, final_address, failure "
        "FROM page ORDER BY id");
    if (!p)
        return false;
    int nResult = 0;
    while ((nResult = sqlite3_step(p.get())) == SQLITE_ROW) {
        StoredPage page;
        page.nId = sqlite3_column_int64(p.get(), 0);
        page.strUrl = ColumnText(p.get(), 1);
        page.nDepth = sqlite3_column_int(p.get(), 2);
        page.nStatus = sqlite3_column_int(p.get(), 3);
        page.nOutLinks = sqlite3_column_int(p.get(), 4);
        page.fRank = static_cast<float>(sqlite3_column_double(p.get(), 5));
        page.bVisited = sqlite3_column_int(p.get(), 6) != 0;
        page.nVisitOrder = sqlite3_column_type(p.get(), 7) == SQLITE_NULL ? -1 : sqlite3_column_int64(p.get(), 7);
        page.strFinalUrl = ColumnText(p.get(), 8);
        page.strFailure = ColumnText(p.get(), 9);
        pages.push_back(std::move(page));
    }
    return nResult == SQLITE_DONE;
}

bool CrawlStore::ReadLinks(std::vector<StoredLink>& links, bool bHrefs)
{
    Statement p =
        m_pImpl->Prepare(bHrefs ? "SELECT from_page, position, to_page, href FROM link ORDER BY from_page, position"
                                : "SELECT from_page, position, to_page FROM link ORDER BY from_page, position");
    if (!p)
        return false;
    int nResult = 0;
    while ((nResult = sqlite3_step(p.get())) == SQLITE_ROW) {
        StoredLink link;
        link.nFrom = sqlite3_column_int64(p.get(), 0);
        link.nPosition = sqlite3_column_int(p.get(), 1);
        link.nTo = sqlite3_column_int64(p.get(), 2);
        if (bHrefs)
            link.strHref = ColumnText(p.get(), 3);
        links.push_back(std::move(link));
    }
    return nResult == SQLITE_DONE;
}

void CrawlStore::BeginPage()
{
    if (m_pImpl->bInPage)
        return;
    m_pImpl->Step(m_pImpl->begin.get());
    m_pImpl->bInPage = m_pImpl->strWriteError.empty();
}

void CrawlStore::InsertPage(std::int64_t nId, const std::string& strUrl, std::int32_t nDepth)
{
    sqlite3_stmt* p = m_pImpl->insertPage.get();
    if (p) {
        sqlite3_bind_int64(p, 1, nId);
        BindText(p, 2, strUrl);
        sqlite3_bind_int(p, 3, nDepth);
    }
    m_pImpl->Step(p);
}

void CrawlStore::InsertPages(const std::vector<NewPage>& pages)
{
    m_pImpl->InsertRows(m_pImpl->insertPages, "INSERT OR FAIL INTO page(id, address, depth) VALUES", "(?,?,?)", 3,
                        pages.size(), [&](sqlite3_stmt* p, std::size_t nRow, int nColumn) {
                            const NewPage& page = pages[nRow];
                            sqlite3_bind_int64(p, nColumn, page.nId);
                            BindText(p, nColumn + 1, *page.pUrl);
                            sqlite3_bind_int(p, nColumn + 2, page.nDepth);
                        });
}

void CrawlStore::UpdateVisited(const StoredPage& page)
{
    sqlite3_stmt* p = m_pImpl->updateVisited.get();
    if (p) {
        sqlite3_bind_int64(p, 1, page.nId);
        sqlite3_bind_int(p, 2, page.nStatus);
        sqlite3_bind_int(p, 3, page.nOutLinks);
        sqlite3_bind_int64(p, 4, page.nVisitOrder);
        if (page.strFinalUrl.empty())
            sqlite3_bind_null(p, 5);
        else
            BindText(p, 5, page.strFinalUrl);
        if (page.strFailure.empty())
            sqlite3_bind_null(p, 6);
        else
            BindText(p, 6, page.strFailure);
    }
    m_pImpl->Step(p);
}

void CrawlStore::InsertLink(const StoredLink& link)
{
    sqlite3_stmt* p = m_pImpl->insertLink.get();
    if (p) {
        sqlite3_bind_int64(p, 1, link.nFrom);
        sqlite3_bind_int(p, 2, link.nPosition);
        sqlite3_bind_int64(p, 3, link.nTo);
        BindText(p, 4, link.strHref);
    }
    m_pImpl->Step(p);
}

void CrawlStore::InsertLinks(std::int64_t nFrom, const std::vector<std::int64_t>& targets,
                             const std::vector<std::string>& hrefs)
{
    static const std::string strNone;
    m_pImpl->InsertRows(m_pImpl->insertLinks, "INSERT OR FAIL INTO link(from_page, position, to_page, href) VALUES",
                        "(?,?,?,?)", 4, targets.size(), [&](sqlite3_stmt* p, std::size_t nLink, int nColumn) {
                            sqlite3_bind_int64(p, nColumn, nFrom);
                            sqlite3_bind_int64(p, nColumn + 1, static_cast<std::int64_t>(nLink));
                            sqlite3_bind_int64(p, nColumn + 2, targets[nLink]);
                            BindText(p, nColumn + 3, nLink < hrefs.size() ? hrefs[nLink] : strNone);
                        });
}

void CrawlStore::CommitPage()
{
    if (!m_pImpl->bInPage)
        return;
    m_pImpl->bInPage = false;
    if (m_pImpl->strWriteError.empty())
        m_pImpl->Step(m_pImpl->commit.get());
    // A page that could not be written whole is not written at all.
    if (!m_pImpl->strWriteError.empty())
        sqlite3_exec(m_pImpl->db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CrawlStore::Finish(const std::vector<std::pair<std::int64_t, float>>& ranks, std::int32_t nTotal)
{
    BeginPage();
    {
        Statement p = m_pImpl->Prepare("UPDATE page SET rank=?2 WHERE id=?1");
        for (const auto& rank : ranks) {
            if (p) {
                sqlite3_bind_int64(p.get(), 1, rank.first);
                sqlite3_bind_double(p.get(), 2, static_cast<double>(rank.second));
            }
            m_pImpl->Step(p.get());
        }
    }
    m_pImpl->setup.strFinished = NowUtc();
    m_pImpl->setup.nTotal = nTotal;
    std::string strError;
    if (m_pImpl->strWriteError.empty() &&
        !m_pImpl->WriteMeta({{"finished", m_pImpl->setup.strFinished}, {"total", std::to_string(nTotal)}}, strError))
        m_pImpl->strWriteError = strError;
    CommitPage();
    m_pImpl->begin.reset();
    m_pImpl->commit.reset();
    m_pImpl->insertPage.reset();
    m_pImpl->updateVisited.reset();
    m_pImpl->insertLink.reset();
    for (Statement& p : m_pImpl->insertLinks)
        p.reset();
    for (Statement& p : m_pImpl->insertPages)
        p.reset();
    // Folds the log into the file, synced, so that readers need nothing beside it.
    m_pImpl->Write("PRAGMA synchronous=FULL; PRAGMA journal_mode=DELETE");
}

}  // namespace plovik
