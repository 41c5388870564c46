#include "browser/session_database.h"

#include "browser/depth_span.h"

namespace hk::browser {

FetchResult SessionDatabase::FetchMember(const std::string& name) {
    FetchResult result;
    {
        const DepthSpan span(extractions_);
        auto fetched = session_.FetchMember(name);
        result.raised = fetched.raised;
        result.memberCount = fetched.memberCount;
        result.lines = std::move(fetched.lines);
    }
    if (extractions_ == 0 && OnFetchEnded) OnFetchEnded();
    return result;
}

bool SessionDatabase::LoadIndex(std::vector<std::string>& titles) {
    bool ok = false;
    {
        const DepthSpan span(extractions_);
        ok = session_.LoadIndex(titles);
    }
    if (extractions_ == 0 && OnFetchEnded) OnFetchEnded();
    return ok;
}

}  // namespace hk::browser
