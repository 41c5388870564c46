#pragma once

#include <string>
#include <vector>

// What the game browser needs of the cheat database: one fetch operation and
// the two lists that run parallel to the game list. The main window hands in
// the database session; tests hand in a fake that counts fetches.
namespace hk::browser {

struct FetchResult {
    bool raised = false;             // the reader threw during the extraction
    int memberCount = 0;             // members that came out; only 1 is a success
    std::vector<std::string> lines;  // the member's lines (Windows-1251), when memberCount is 1
};

class CodesDatabase {
  public:
    virtual ~CodesDatabase() = default;

    virtual FetchResult FetchMember(const std::string& name) = 0;
    // An extraction (a member fetch or the index load) is running. The reader
    // pumps window events while it works and allows only one at a time, so
    // nothing may start another then.
    virtual bool Extracting() const = 0;
    virtual const std::vector<std::string>& MemberNames() const = 0;
    virtual const std::vector<std::string>& DisplayModes() const = 0;
    // The failure message for the archive's current state (Windows-1251).
    virtual std::string ErrorMessage() const = 0;
};

}  // namespace hk::browser
