// Extraction to memory end to end: archives made by other programs, by
// Info-ZIP zip and 7-Zip in the test run, and by hand where no tool would.
#include <zlib.h>

#include <algorithm>
#include <map>

#include "archive/directory_listing.h"
#include "archive_test_support.h"

namespace hk::archive::test {
namespace {

const fs::path kSamples = HK_TESTDATA_DIR;

// ---------------------------------------------------------------------------
// Third-party archives

TEST(ThirdPartyArchives, EveryMemberExtractsWithPassingCrc) {
    if (!fs::is_directory(kSamples)) GTEST_SKIP() << "no third-party samples at " << kSamples;
    int archives = 0;
    for (const auto& item : fs::directory_iterator(kSamples)) {
        std::string ext = item.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext != ".zip") continue;
        ++archives;
        SCOPED_TRACE(item.path().filename().string());
        TUnZip zip;
        zip.SetArchiveFile(item.path().string());
        ASSERT_EQ(zip.ArcType(), TArcType::atZip);
        std::map<std::string, bool> verdicts;
        zip.OnEnd = [&](const std::string& fn, bool pass) { verdicts[fn] = pass; };
        Extracted e = extract(zip, "*.*");
        const auto listed = ListCentralDirectory(item.path().string());
        EXPECT_EQ(e.count, static_cast<int>(listed.size()));
        EXPECT_EQ(verdicts.size(), listed.size());
        for (const auto& [name, pass] : verdicts) EXPECT_TRUE(pass) << name;

        // Compare with the plain files that are shipped beside the archives.
        const auto names = e.names();
        for (size_t i = 0; i < names.size(); ++i) {
            fs::path plain = kSamples / names[i];
            if (names[i] == "first.txt" || names[i] == "FIRST.TXT")
                plain = kSamples / "zip2-first.txt";
            if (!fs::exists(plain)) continue;
            const auto expected = readFile(plain);
            EXPECT_EQ(e.member(static_cast<int>(i)), std::string(expected.begin(), expected.end()))
                << names[i];
        }
    }
    EXPECT_GT(archives, 0);
}

// ---------------------------------------------------------------------------
// Archives made by Info-ZIP zip and 7-Zip

class InfoZip : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTool("zip")) GTEST_SKIP() << "Info-ZIP zip is not installed";
        std::string big;
        for (int i = 0; i < 20000; ++i)
            big += "IDDQD level " + std::to_string(i % 97) + " god mode\r\n";
        writeText(dir / "games.txt", "Doom\r\nQuake\r\n");
        writeText(dir / "big.txt", big);
        writeText(dir / "empty.txt", "");
        fs::create_directories(dir / "sub");
        writeText(dir / "sub" / "games.txt", "inside a folder\r\n");
        bigText = big;
    }
    std::string path(const std::string& archive) const { return (dir / archive).string(); }

    // The tool draws each member's encryption header at random, and a wrong password
    // passes the one-byte check of a header about once in 256 tries. Tests of refusal
    // want the common case, so the archive is made again until Info-ZIP's unzip also
    // refuses each wrong password for `member` (every member when empty).
    ::testing::AssertionResult makeEncrypted(const std::string& command, const std::string& archive,
                                             const std::vector<std::string>& wrong,
                                             const std::string& member = "") const {
        for (int attempt = 0; attempt < 16; ++attempt) {
            fs::remove(dir / archive);
            if (!dir.run(command)) return ::testing::AssertionFailure() << command << " failed";
            // unzip's status 82: nothing was processed, all for a bad password.
            bool refused = true;
            for (const std::string& password : wrong)
                refused = refused && dir.run("unzip -tqq -P '" + password + "' " + archive + " " +
                                             member + "; test $? -eq 82");
            if (refused) return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "unzip accepts a wrong password for " << archive;
    }

    ScratchDir dir;
    std::string bigText;
};

TEST_F(InfoZip, StoredAndDeflatedMembersMatchTheirFiles) {
    ASSERT_TRUE(
        dir.run("zip -q -0 st.zip games.txt big.txt && zip -q -9 df.zip games.txt big.txt"));
    for (const char* name : {"st.zip", "df.zip"}) {
        TUnZip zip;
        zip.SetArchiveFile(path(name));
        int failures = 0;
        zip.OnError = [&](const std::string&, const std::string&, const std::string&, int) {
            ++failures;
        };
        Extracted e = extract(zip, "big.txt");
        ASSERT_EQ(e.count, 1) << name;
        EXPECT_EQ(e.member(0), bigText);
        EXPECT_EQ(e.stream.MemberInfo(0).uncompressedSize, bigText.size());
        EXPECT_EQ(e.stream.Position(), 0u);
        EXPECT_EQ(failures, 0);
    }
}

TEST_F(InfoZip, NameMatchingIgnoresCaseAndFolders) {
    ASSERT_TRUE(dir.run("zip -q -r tree.zip games.txt sub"));
    TUnZip zip;
    zip.SetArchiveFile(path("tree.zip"));
    Extracted e = extract(zip, "GAMES.TXT");
    ASSERT_EQ(e.count, 2);  // the top-level one and the one in "sub"
    EXPECT_EQ(e.names(), (std::vector<std::string>{"games.txt", "sub\\games.txt"}));
    EXPECT_EQ(e.member(1), "inside a folder\r\n");

    // "*.*" takes every file; the folder entry is neither written nor counted.
    Extracted all = extract(zip, "*.*");
    EXPECT_EQ(all.count, 2);
    EXPECT_EQ(all.stream.MemberCount(), 2);

    Extracted none = extract(zip, "games.txt.bak");
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.stream.Size(), 0u);
}

TEST_F(InfoZip, RunsAppendToTheStreamUntilReset) {
    ASSERT_TRUE(dir.run("zip -q a.zip games.txt empty.txt"));
    TUnZip zip;
    zip.SetArchiveFile(path("a.zip"));
    TDecompMemoryStream stream;
    zip.FileSpec() = {"games.txt"};
    EXPECT_EQ(zip.ExtractToMemory(&stream), 1);
    zip.FileSpec() = {"*.*"};
    EXPECT_EQ(zip.ExtractToMemory(&stream), 2);
    EXPECT_EQ(stream.MemberCount(), 3);
    EXPECT_EQ(stream.MemberInfo(2).streamPosition, stream.Size());  // the empty member
    stream.Reset();
    EXPECT_EQ(stream.MemberCount(), 0);
    EXPECT_EQ(stream.Size(), 0u);
}

TEST_F(InfoZip, EmptyMemberPassesItsCrcCheck) {
    ASSERT_TRUE(dir.run("zip -q a.zip empty.txt"));
    TUnZip zip;
    zip.SetArchiveFile(path("a.zip"));
    bool verdict = false;
    zip.OnEnd = [&](const std::string&, bool pass) { verdict = pass; };
    Extracted e = extract(zip, "empty.txt");
    EXPECT_EQ(e.count, 1);
    EXPECT_EQ(e.stream.Size(), 0u);
    EXPECT_TRUE(verdict);
}

TEST_F(InfoZip, ArchiveCommentSendsTheRunThroughLocalHeaders) {
    ASSERT_TRUE(dir.run("zip -q c.zip games.txt big.txt && echo 'our database' | zip -q -z c.zip"));
    TUnZip zip;
    zip.SetArchiveFile(path("c.zip"));
    EXPECT_EQ(zip.EndRecordFlags(), 16);
    EXPECT_EQ(zip.StartOffset(), 0u);
    int corruptCalls = 0;
    zip.OnCorruptZipHeader = [&](uint8_t flags, bool& cancel) {
        ++corruptCalls;
        EXPECT_EQ(flags, 16);
        cancel = false;
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(corruptCalls, 1);
    ASSERT_EQ(e.count, 2);
    EXPECT_EQ(e.member(1), bigText);

    // Left canceled, the event lists nothing.
    zip.OnCorruptZipHeader = [](uint8_t, bool&) {};
    EXPECT_EQ(extract(zip, "*.*").count, 0);

    // A large enough search window finds the end record again.
    zip.SetZipCmntBufSize(0);
    EXPECT_EQ(zip.ZipCmntBufSize(), 2000);
    zip.SetArchiveFile((dir / "c.zip").string());
    EXPECT_EQ(zip.EndRecordFlags(), 1 | 8 | 16);
}

TEST_F(InfoZip, EncryptedMembersOpenWithTheRightPasswordOnly) {
    ASSERT_TRUE(makeEncrypted("zip -q -P 'Secret7' enc.zip games.txt big.txt", "enc.zip",
                              {"wrong", "secret7"}));
    TUnZip zip;
    zip.SetArchiveFile(path("enc.zip"));
    Extracted ok = extract(zip, "*.*", {"wrong", "", "Secret7"});
    ASSERT_EQ(ok.count, 2);
    EXPECT_EQ(ok.member(1), bigText);

    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string& detail, const std::string& volume,
                      int code) {
        codes.push_back(code);
        EXPECT_EQ(volume, "0");
        if (code == 25270) {
            EXPECT_EQ(detail, "OnGetPassword");
        }
    };
    Extracted bad = extract(zip, "*.*", {"secret7"});
    EXPECT_EQ(bad.count, 0);
    EXPECT_EQ(bad.stream.MemberCount(), 0);
    EXPECT_EQ(bad.stream.Size(), 0u);
    // One trial only: the second member is refused without asking again.
    EXPECT_EQ(codes, std::vector<int>{25270});
}

TEST_F(InfoZip, SecondEncryptedMemberRefusedAfterFailure) {
    writeText(dir / "other.txt", "other password\r\n");
    ASSERT_TRUE(
        makeEncrypted("zip -q -P first mixed.zip games.txt && zip -q -P second mixed.zip other.txt"
                      " && zip -q mixed.zip empty.txt",
                      "mixed.zip", {"second"}, "games.txt"));
    TUnZip zip;
    zip.SetArchiveFile(path("mixed.zip"));
    // "first" fails nothing; "second" is never reached because the first
    // member's trial failed with only "second" in the list.
    Extracted e = extract(zip, "*.*", {"second"});
    EXPECT_EQ(e.names(), std::vector<std::string>{"empty.txt"});
    // The next run tries again.
    Extracted again = extract(zip, "other.txt", {"second"});
    EXPECT_EQ(again.count, 1);
    EXPECT_EQ(again.member(0), "other password\r\n");
    // The password that opened one member is tried first for the next.
    Extracted both = extract(zip, "*.*", {"first", "second"});
    EXPECT_EQ(both.count, 3);
}

TEST_F(InfoZip, OnGetPasswordSuppliesThePasswordAndJoinsTheList) {
    ASSERT_TRUE(makeEncrypted("zip -q -P Secret7 enc.zip games.txt", "enc.zip", {"nope"}));
    TUnZip zip;
    zip.SetArchiveFile(path("enc.zip"));
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        codes.push_back(code);
    };
    int asked = 0;
    zip.OnGetPassword = [&](const std::string&, std::string& pw, bool&) {
        pw = ++asked < 3 ? "nope" : "Secret7";
    };
    EXPECT_EQ(extract(zip, "*.*").count, 1);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(codes, (std::vector<int>{26517, 26517}));
    EXPECT_EQ(zip.Passwords(), std::vector<std::string>{"Secret7"});

    asked = 0;
    zip.PasswordAttempts = 2;
    EXPECT_EQ(extract(zip, "*.*", {}).count, 0);
    EXPECT_EQ(asked, 2);

    zip.OnGetPassword = [&](const std::string&, std::string&, bool& again) { again = false; };
    EXPECT_EQ(extract(zip, "*.*", {}).count, 0);
}

TEST_F(InfoZip, StreamedMemberChecksThePasswordAgainstItsTime) {
    // zip writing to a pipe cannot seek back: data descriptor, check byte from the time.
    ASSERT_TRUE(dir.run("zip -q -P pw - big.txt | cat > streamed.zip"));
    const auto listed = ListCentralDirectory((dir / "streamed.zip").string());
    ASSERT_EQ(listed.size(), 1u);
    ASSERT_TRUE(listed[0].flags & 8);
    TUnZip zip;
    zip.SetArchiveFile(path("streamed.zip"));
    bool verdict = false;
    zip.OnEnd = [&](const std::string&, bool pass) { verdict = pass; };
    Extracted e = extract(zip, "big.txt", {"pw"});
    ASSERT_EQ(e.count, 1);
    EXPECT_EQ(e.member(0), bigText);
    EXPECT_TRUE(verdict);
}

TEST_F(InfoZip, StandardInputMembersUseTheDirectorysSizes) {
    // From standard input zip cannot know the sizes: the local header says
    // 0xFFFFFFFF (and, written to a pipe, a data descriptor follows).
    ASSERT_TRUE(dir.run("echo hello | zip -q - - > seekable.zip"));
    ASSERT_TRUE(dir.run("echo hello | zip -q -P pw - - | cat > piped.zip"));
    for (const char* name : {"seekable.zip", "piped.zip"}) {
        SCOPED_TRACE(name);
        TUnZip zip;
        zip.SetArchiveFile(path(name));
        bool verdict = false;
        zip.OnEnd = [&](const std::string&, bool pass) { verdict = pass; };
        Extracted e = extract(zip, "-", {"pw"});
        ASSERT_EQ(e.count, 1);
        EXPECT_EQ(e.member(0), "hello\n");
        EXPECT_EQ(e.stream.MemberInfo(0).uncompressedSize, 6u);
        EXPECT_TRUE(verdict);
    }
}

TEST_F(InfoZip, SevenZipZipCryptoOpens) {
    if (!haveTool("7z")) GTEST_SKIP() << "7z is not installed";
    ASSERT_TRUE(makeEncrypted("7z a -tzip -pPW -mem=ZipCrypto seven.zip games.txt big.txt",
                              "seven.zip", {"pw"}));
    TUnZip zip;
    zip.SetArchiveFile(path("seven.zip"));
    Extracted e = extract(zip, "*.TXT", {"PW"});
    ASSERT_EQ(e.count, 2);
    const auto names = e.names();
    const int big = names[0] == "big.txt" ? 0 : 1;
    EXPECT_EQ(e.member(big), bigText);
    EXPECT_EQ(extract(zip, "*.*", {"pw"}).count, 0);
}

// ---------------------------------------------------------------------------
// Hand-made archives

TEST(HandMadeArchives, FoldersAndVolumeLabelsAreSkipped) {
    ScratchDir dir;
    RawMember folder = storedMember("data/", "");
    folder.externalAttributes = 0x10;
    RawMember label = storedMember("LABEL", "");
    label.externalAttributes = 0x08;
    writeFile(dir / "a.zip", buildZip({folder, label, storedMember("data/x.txt", "x")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    int begun = 0;
    zip.OnBegin = [&](const std::string&, int, bool&) { ++begun; };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 1);
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(e.names(), std::vector<std::string>{"data\\x.txt"});
}

TEST(HandMadeArchives, OnBeginCanDeclineAMember) {
    ScratchDir dir;
    writeFile(dir / "a.zip", buildZip({storedMember("a.txt", "a"), storedMember("b.txt", "b")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<int> counts;
    zip.OnBegin = [&](const std::string& fn, int count, bool& extract) {
        counts.push_back(count);
        extract = fn.find("a.txt") == std::string::npos;
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.names(), std::vector<std::string>{"b.txt"});
    EXPECT_EQ(counts, (std::vector<int>{0, 0}));
    zip.OnBegin = nullptr;
    zip.OverwriteMode = TOverwriteMode::omSkip;
    EXPECT_EQ(extract(zip, "*.*").count, 0);
}

TEST(HandMadeArchives, CrcMismatchKeepsTheMemberAndReports) {
    ScratchDir dir;
    RawMember m = storedMember("a.txt", "abc");
    m.crc ^= 1;
    writeFile(dir / "a.zip", buildZip({m}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        codes.push_back(code);
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 1);
    EXPECT_EQ(e.member(0), "abc");
    EXPECT_EQ(codes, std::vector<int>{25151});
}

TEST(HandMadeArchives, StoredMemberIsCopiedByItsUncompressedSize) {
    ScratchDir dir;
    RawMember m = storedMember("a.txt", "abcdef");
    m.uncompressedSize = 3;
    m.crc = referenceCrc(bytesOf("abc"));
    writeFile(dir / "a.zip", buildZip({m}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    Extracted e = extract(zip, "*.*");
    ASSERT_EQ(e.count, 1);
    EXPECT_EQ(e.member(0), "abc");
}

TEST(HandMadeArchives, UnsupportedMethodCountsWithoutBytes) {
    ScratchDir dir;
    RawMember m = storedMember("a.txt", "abc");
    m.method = 9;
    writeFile(dir / "a.zip", buildZip({m, storedMember("b.txt", "b")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        codes.push_back(code);
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 2);
    EXPECT_EQ(e.member(0), "");
    EXPECT_EQ(e.member(1), "b");
    EXPECT_EQ(codes, (std::vector<int>{25326, 25151}));
}

TEST(HandMadeArchives, OemNamesBecomeAnsiUnlessTurnedOff) {
    ScratchDir dir;
    // "ИГРЫ/ёж.txt" in code page 866
    const std::string oem = "\x88\x83\x90\x9B/\xF1\xA6.txt";
    writeFile(dir / "a.zip", buildZip({storedMember(oem, "x")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    Extracted e = extract(zip, "*.*");
    ASSERT_EQ(e.count, 1);
    EXPECT_EQ(e.names()[0], "\xC8\xC3\xD0\xDB\\\xB8\xE6.txt");
    EXPECT_EQ(extract(zip, "\xB8\xE6.TXT").count, 1);
    zip.TranslateOemChar = false;
    EXPECT_EQ(extract(zip, "*.*").names()[0], "\x88\x83\x90\x9B\\\xF1\xA6.txt");
}

TEST(HandMadeArchives, ProgressStepsCoverTheMember) {
    ScratchDir dir;
    std::string text(300000, 'q');
    writeFile(dir / "a.zip", buildZip({storedMember("a.txt", text)}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<int> byFile;
    zip.OnProgress = [&](int file, int archive) {
        byFile.push_back(file);
        EXPECT_LE(archive, 100);
    };
    EXPECT_EQ(extract(zip, "*.*").count, 1);
    ASSERT_FALSE(byFile.empty());
    EXPECT_LE(byFile.size(), 10u);
    EXPECT_EQ(byFile.back(), 100);
    EXPECT_TRUE(std::is_sorted(byFile.begin(), byFile.end()));
}

TEST(HandMadeArchives, CancelFromProgressStopsTheRun) {
    ScratchDir dir;
    std::string text(600000, 'q');
    writeFile(dir / "a.zip", buildZip({storedMember("a.txt", text), storedMember("b.txt", "b")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    zip.OnProgress = [&](int, int) { zip.SetCancel(true); };
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        codes.push_back(code);
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 1);  // the member in progress stays; the next is never begun
    EXPECT_LT(e.stream.Size(), text.size());
    EXPECT_EQ(codes, std::vector<int>{25449});  // its CRC failure carries "User canceled"
}

TEST(HandMadeArchives, EmptyPasswordOpensNothing) {
    ScratchDir dir;
    auto encrypted = [](const std::string& name, const std::string& password) {
        RawMember m = storedMember(name, "secret text");
        m.flags = 1;
        m.data = encryptTraditional(m.data, password, static_cast<uint8_t>(m.crc >> 24));
        m.uncompressedSize = 11;
        return m;
    };
    writeFile(dir / "a.zip", buildZip({encrypted("empty.txt", ""), encrypted("pw.txt", "pw")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    Extracted opened = extract(zip, "pw.txt", {"pw"});
    ASSERT_EQ(opened.count, 1);
    EXPECT_EQ(opened.member(0), "secret text");
    // Its own password is the one thing that would open it.
    EXPECT_EQ(extract(zip, "empty.txt", {""}).count, 0);
    EXPECT_EQ(extract(zip, "empty.txt", {"", "pw"}).count, 0);
    zip.OnGetPassword = [](const std::string&, std::string& password, bool&) { password.clear(); };
    EXPECT_EQ(extract(zip, "empty.txt", {}).count, 0);
}

TEST(HandMadeArchives, ActivateAndDeactivateBracketEveryOpenedRun) {
    ScratchDir dir;
    RawMember damaged = storedMember("b.txt", "b");
    damaged.method = 8;  // not a deflate stream
    writeFile(dir / "a.zip", buildZip({storedMember("a.txt", "a"), damaged}));
    TUnZip zip;
    std::vector<std::string> events;
    zip.OnActivate = [&] { events.push_back("activate"); };
    zip.OnDeactivate = [&] { events.push_back("deactivate"); };
    zip.OnBegin = [&](const std::string&, int, bool&) { events.push_back("begin"); };
    zip.OnEnd = [&](const std::string&, bool) { events.push_back("end"); };
    zip.SetArchiveFile((dir / "a.zip").string());
    EXPECT_EQ(extract(zip, "*.*").count, 2);
    EXPECT_EQ(events,
              (std::vector<std::string>{"activate", "begin", "end", "begin", "end", "deactivate"}));
    events.clear();
    EXPECT_EQ(extract(zip, "none.txt").count, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"activate", "deactivate"}));
    // A run that fails before the archive is opened opens nothing to close.
    events.clear();
    zip.SetArchiveFile((dir / "missing.zip").string());
    EXPECT_THROW(extract(zip, "*.*"), E_RAISE);
    EXPECT_TRUE(events.empty());
}

TEST(HandMadeArchives, EveryMethodReportsProgressAsItGoes) {
    ScratchDir dir;
    const size_t size = 200000;
    std::string text;
    for (size_t i = 0; i < size; ++i) text += static_cast<char>('a' + (i * 7919 % 26));
    // Reduced with every follower set empty: each byte is sent as it is.
    RawMember reduced = storedMember("r.txt", text);
    reduced.method = 2;
    reduced.data.insert(reduced.data.begin(), 192, 0);
    // Deflated by zlib, as one raw stream.
    RawMember deflated = storedMember("d.txt", text);
    deflated.method = 8;
    uLongf packed = compressBound(static_cast<uLong>(size)) + 64;
    deflated.data.assign(packed, 0);
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(text.data());
    z.avail_in = static_cast<uInt>(size);
    z.next_out = deflated.data.data();
    z.avail_out = static_cast<uInt>(packed);
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    deflated.data.resize(z.total_out);
    deflateEnd(&z);
    writeFile(dir / "a.zip", buildZip({reduced, deflated, storedMember("s.txt", text)}));

    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    for (const char* name : {"r.txt", "d.txt", "s.txt"}) {
        SCOPED_TRACE(name);
        std::vector<int> byFile;
        zip.OnProgress = [&](int file, int) { byFile.push_back(file); };
        Extracted e = extract(zip, name);
        ASSERT_EQ(e.count, 1);
        EXPECT_EQ(e.member(0), text);
        // At least one event for every 32 KiB written, before the member's end.
        EXPECT_GE(std::count_if(byFile.begin(), byFile.end(), [](int p) { return p < 100; }),
                  static_cast<long>(size / 32768));
        EXPECT_TRUE(std::is_sorted(byFile.begin(), byFile.end()));
    }

    // Canceled from the first event, the member stops there and the run ends.
    zip.OnProgress = [&](int, int) { zip.SetCancel(true); };
    Extracted canceled = extract(zip, "*.*");
    EXPECT_EQ(canceled.count, 1);
    EXPECT_LT(canceled.stream.Size(), 2 * 32768u);
}

TEST(DirectoryListing, ListsEveryEntryWhateverTheComment) {
    ScratchDir dir;
    RawMember m = storedMember("a/b.txt", "hello");
    m.flags = 1;
    writeFile(dir / "a.zip", buildZip({m, storedMember("c", "")}, std::string(3000, 'c')));
    const auto list = ListCentralDirectory((dir / "a.zip").string());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "a/b.txt");
    EXPECT_TRUE(list[0].encrypted);
    EXPECT_EQ(list[0].crc32, referenceCrc(bytesOf("hello")));
    EXPECT_EQ(list[1].uncompressedSize, 0u);
    writeText(dir / "t.txt", "not an archive at all, really");
    EXPECT_THROW(ListCentralDirectory((dir / "t.txt").string()), std::runtime_error);
    EXPECT_THROW(ListCentralDirectory((dir / "missing.zip").string()), std::runtime_error);
}

}  // namespace
}  // namespace hk::archive::test
