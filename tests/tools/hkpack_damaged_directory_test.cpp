// Databases whose directory lies, as hkpack meets them: an entry that leads to
// another member's local header is refused with the reader's reason by cat,
// check and unpack, while the member it leads to still reads cleanly.
#include <gtest/gtest.h>

#include <string>

#include "database/DatabaseSession.h"
#include "hkpack_fixture.h"

namespace {

using hk::testing::Hkpack;
using hk::testing::Outcome;
using hk::testing::Quote;
using hk::testing::WriteFile;
using hk::testing::ZipBytes;

// Points the directory entry named `from` at the local header of `to`.
std::string Redirect(std::string zip, const std::string& from, const std::string& to) {
    auto entry = [&zip](const std::string& name) {
        for (size_t at = zip.find("PK\1\2"); at != std::string::npos;
             at = zip.find("PK\1\2", at + 1)) {
            const size_t length =
                static_cast<uint8_t>(zip[at + 28]) | (static_cast<uint8_t>(zip[at + 29]) << 8);
            if (length == name.size() && zip.compare(at + 46, length, name) == 0) return at;
        }
        ADD_FAILURE() << name << " is not in the directory";
        return size_t{0};
    };
    const size_t source = entry(from);
    const size_t target = entry(to);
    zip.replace(source + 42, 4, zip, target + 42, 4);
    return zip;
}

TEST_F(Hkpack, EntryLeadingToAnotherMembersHeaderIsRefused) {
    const std::string zip = ZipBytes({{"games.txt", "Doom (PC)\r\nQuake (PC)\r\n"},
                                      {"files.txt", "doom.txt\r\na.txt\r\n"},
                                      {"pitches.txt", "0\r\n0\r\n"},
                                      {"version.txt", "Hintkeeper v1.30\r\n"},
                                      {"doom.txt", "IDDQD\r\n"},
                                      {"a.txt", "mine\r\n"}});
    WriteFile(out, Redirect(zip, "a.txt", "doom.txt"));
    const std::string reason = "Local header names another member than the directory";

    const Outcome cat = Pack("cat " + Quote(out) + " a.txt");
    EXPECT_EQ(cat.status, 1);
    EXPECT_TRUE(cat.out.empty()) << cat.out;
    EXPECT_NE(cat.err.find(reason), std::string::npos) << cat.err;

    const Outcome doom = Pack("cat " + Quote(out) + " doom.txt");
    EXPECT_EQ(doom.status, 0) << doom.err;
    EXPECT_EQ(doom.out, "IDDQD\r\n");

    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.err.find("game 2"), std::string::npos) << check.err;
    EXPECT_NE(check.err.find("(a.txt): " + reason), std::string::npos) << check.err;
    EXPECT_EQ(check.err.find("game 1"), std::string::npos) << check.err;

    const Outcome unpack = Pack("unpack " + Quote(out) + " " + Quote(dir / "sources"));
    EXPECT_EQ(unpack.status, 1);
    EXPECT_NE(unpack.err.find("a.txt: " + reason), std::string::npos) << unpack.err;
}

}  // namespace
