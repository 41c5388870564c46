// Directories that lie: entries pointing at another member's header or into
// data already delivered, and many entries answering one name. Also the
// listing kept for many extractions, which must answer as fresh runs do.
#include <map>

#include "archive_test_support.h"

namespace hk::archive::test {
namespace {

// Central directory entries as buildZip lays them out, for patching.
size_t centralEntry(const std::vector<uint8_t>& zip, size_t index) {
    size_t at = zip[zip.size() - 6] | (zip[zip.size() - 5] << 8) | (zip[zip.size() - 4] << 16);
    for (; index > 0; --index) at += 46 + (zip[at + 28] | (zip[at + 29] << 8));
    return at;
}

void setOffset(std::vector<uint8_t>& zip, size_t entry, uint32_t offset) {
    for (int i = 0; i < 4; ++i) zip[centralEntry(zip, entry) + 42 + i] = (offset >> (8 * i)) & 0xFF;
}

struct Outcome {
    Extracted out;
    std::vector<int> codes;
    std::map<std::string, bool> passed;
    int decoded = 0;  // CRC verdicts given
};

Outcome runOn(const ScratchDir& dir, const std::vector<uint8_t>& zip, const std::string& pattern,
              bool singleMember = false) {
    writeFile(dir / "x.zip", zip);
    TUnZip unzip;
    unzip.SingleMember = singleMember;
    Outcome run;
    unzip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        run.codes.push_back(code);
    };
    unzip.OnEnd = [&](const std::string& fn, bool pass) {
        run.passed[fn] = pass;
        ++run.decoded;
    };
    unzip.SetArchiveFile((dir / "x.zip").string());
    unzip.FileSpec() = {pattern};
    run.out.count = unzip.ExtractToMemory(&run.out.stream);
    return run;
}

TEST(HostileDirectory, EntryLeadingToAnotherMembersHeaderGivesNoBytes) {
    ScratchDir dir;
    std::vector<uint32_t> offsets;
    auto zip = buildZip({storedMember("a.txt", "mine"), storedMember("games.txt", "Doom\r\n")}, "",
                        &offsets);
    setOffset(zip, 0, offsets[1]);  // "a.txt" leads to games.txt's header

    const Outcome a = runOn(dir, zip, "a.txt");
    EXPECT_EQ(a.out.count, 1);
    EXPECT_EQ(a.out.stream.Size(), 0u);
    EXPECT_EQ(a.codes, std::vector<int>{static_cast<int>(ErrorCode::MismatchedName)});
    EXPECT_FALSE(a.passed.at("games.txt"));

    const Outcome games = runOn(dir, zip, "games.txt");
    ASSERT_EQ(games.out.count, 1);
    EXPECT_EQ(games.out.member(0), "Doom\r\n");
    EXPECT_TRUE(games.codes.empty());
}

// The overlap zip bomb: a member whose stored data quotes the next member's
// header and data, so that both entries decode the same bytes.
TEST(HostileDirectory, DataClaimedTwiceIsDeliveredOnce) {
    ScratchDir dir;
    const std::vector<uint8_t> inner = buildZip({storedMember("b.txt", "kernel")});
    const std::vector<uint8_t> quoted(inner.begin(), inner.begin() + 30 + 5 + 6);
    RawMember outer = storedMember("a.txt", "");
    outer.data = quoted;
    outer.uncompressedSize = static_cast<uint32_t>(quoted.size());
    outer.crc = referenceCrc(quoted);
    RawMember kernel = storedMember("b.txt", "kernel");
    auto zip = buildZip({outer, kernel});
    setOffset(zip, 1, 30 + 5);  // b.txt's entry points inside a.txt's data

    const Outcome run = runOn(dir, zip, "*.*");
    EXPECT_EQ(run.out.count, 2);
    EXPECT_EQ(run.out.member(0), std::string(quoted.begin(), quoted.end()));
    EXPECT_EQ(run.out.member(1), "");
    EXPECT_TRUE(run.passed.at("a.txt"));
    EXPECT_FALSE(run.passed.at("b.txt"));
    EXPECT_EQ(run.codes, std::vector<int>{static_cast<int>(ErrorCode::OverlappedData)});

    // Whichever entry comes first keeps the bytes.
    const Outcome inner1 = runOn(dir, zip, "b.txt");
    ASSERT_EQ(inner1.out.count, 1);
    EXPECT_EQ(inner1.out.member(0), "kernel");
}

TEST(HostileDirectory, ManyEntriesOfOneMemberDecodeItOnce) {
    ScratchDir dir;
    std::vector<RawMember> members;
    for (int i = 0; i < 50; ++i)
        members.push_back(storedMember("d" + std::to_string(i) + "/games.txt", "Doom\r\n"));
    std::vector<uint32_t> offsets;
    auto zip = buildZip(members, "", &offsets);
    for (size_t i = 1; i < members.size(); ++i) setOffset(zip, i, offsets[0]);

    for (const bool single : {false, true}) {
        const Outcome run = runOn(dir, zip, "games.txt", single);
        EXPECT_EQ(run.out.count, 50) << single;  // the count callers judge by is kept
        EXPECT_EQ(run.out.member(0), "Doom\r\n") << single;
        EXPECT_EQ(run.out.stream.Size(), 6u) << single;
        EXPECT_EQ(run.decoded, single ? 1 : 50) << single;
    }
    // Sound members that share a name: the second is counted, not decoded.
    const Outcome twins = runOn(dir, buildZip(members), "games.txt", true);
    EXPECT_EQ(twins.out.count, 50);
    EXPECT_EQ(twins.decoded, 1);
}

TEST(KeptListing, AnswersAsFreshRunsDo) {
    ScratchDir dir;
    RawMember folder = storedMember("sub/", "");
    folder.externalAttributes = 0x10;
    const auto zip =
        buildZip({storedMember("GAMES.TXT", "top"), folder, storedMember("sub/games.txt", "in"),
                  storedMember("doom.txt", "IDDQD"), storedMember("odd*.txt", "wild")});
    writeFile(dir / "x.zip", zip);
    TUnZip fresh, kept;
    fresh.SetArchiveFile((dir / "x.zip").string());
    kept.SetArchiveFile((dir / "x.zip").string());
    kept.ListDirectory();
    ASSERT_TRUE(kept.HasListing());
    for (const std::string pattern : {"games.txt", "doom.txt", "DOOM.TXT", "*.*", "sub\\*.txt",
                                      "odd1.txt", "d?om.*", "quake.txt", ""}) {
        Extracted a = extract(fresh, pattern);
        Extracted b;
        kept.FileSpec() = {pattern};
        b.count = kept.ExtractListed(&b.stream);
        EXPECT_EQ(a.count, b.count) << pattern;
        EXPECT_EQ(a.names(), b.names()) << pattern;
        EXPECT_EQ(a.stream.Bytes().size(), b.stream.Bytes().size()) << pattern;
    }
    kept.SetArchiveFile((dir / "x.zip").string());
    EXPECT_FALSE(kept.HasListing());
}

}  // namespace
}  // namespace hk::archive::test
