#pragma once

#include <functional>

#include "browser/codes_database.h"
#include "database/DatabaseSession.h"

namespace hk::browser {

// The database session seen through the browser's eyes, and the one place
// that knows whether an extraction is running: the reader pumps window events
// while it works, and whatever arrives then must not start another one.
class SessionDatabase : public CodesDatabase {
  public:
    explicit SessionDatabase(hk::database::DatabaseSession& session) : session_(session) {}

    FetchResult FetchMember(const std::string& name) override;
    const std::vector<std::string>& MemberNames() const override { return session_.MemberNames(); }
    const std::vector<std::string>& DisplayModes() const override {
        return session_.DisplayModes();
    }
    std::string ErrorMessage() const override { return session_.ErrorMessage(); }

    // The index load, under the same guard as a member fetch.
    bool LoadIndex(std::vector<std::string>& titles);

    bool Extracting() const override { return extractions_ > 0; }
    // Runs after a fetch or index load, once no extraction runs any more.
    std::function<void()> OnFetchEnded;

    hk::database::DatabaseSession& Session() { return session_; }

  private:
    hk::database::DatabaseSession& session_;
    int extractions_ = 0;
};

}  // namespace hk::browser
