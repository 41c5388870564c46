#include "browser/session_database.h"

namespace hk::browser {

namespace {
// Clears the running flag however the extraction ends.
struct FetchSpan {
    explicit FetchSpan(bool& flag) : flag_(flag) { flag_ = true; }
    ~FetchSpan() { flag_ = false; }
    bool& flag_;
};
}  // namespace

FetchResult SessionDatabase::FetchMember(const std::string& name) {
    FetchResult result;
    {
        const FetchSpan span(fetching_);
        auto fetched = session_.FetchMember(name);
        result.raised = fetched.raised;
        result.memberCount = fetched.memberCount;
        result.lines = std::move(fetched.lines);
    }
    if (OnFetchEnded) OnFetchEnded();
    return result;
}

bool SessionDatabase::LoadIndex(std::vector<std::string>& titles) {
    bool ok = false;
    {
        const FetchSpan span(fetching_);
        ok = session_.LoadIndex(titles);
    }
    if (OnFetchEnded) OnFetchEnded();
    return ok;
}

}  // namespace hk::browser
