#pragma once
// --verbose during the rank calculation: after each iteration, the largest change of
// any page's rank, so that one sees whether more iterations would still matter.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "CrawlNotifier.h"

namespace plovik {

class RankChangeReporter : public CrawlNotifier {
public:
    // Gets one line per iteration.
    explicit RankChangeReporter(std::function<void(const std::string&)> report) : m_report(std::move(report)) {}

    void OnCrawlProgress(int nCode, const PageRecord* pRecord, std::int32_t nNumber) override;
    bool TakesWholeIterations() const override { return true; }
    void OnIterationDone(const RankIteration& ranks) override;

    // "plovik: iteration 2: largest rank change 0.123457 (host/a.html)"
    static std::string ChangeText(int nIteration, double dChange, const std::string& strUrl);

private:
    std::function<void(const std::string&)> m_report;
    std::vector<float> m_previous;  // by PageRecord::nIndex; every rank starts at 1.0
    int m_nIteration = 0;
};

}  // namespace plovik
