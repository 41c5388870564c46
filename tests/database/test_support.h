#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "zip_writer.h"

namespace hk::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hkdb-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct TestMember {
    std::string name;
    std::string data;
    bool deflate = true;
    bool encrypt = true;
    std::string password = "Mossgate r7.42 kQ";
};

inline std::string ZipBytes(const std::vector<TestMember>& members) {
    hk::pack::VectorSink sink;
    hk::pack::ZipWriter zip(sink, 1234, 0x6000, 0x5A21);
    for (const TestMember& m : members) {
        zip.Add(m.name, m.data, hk::pack::MemberOptions{m.deflate, m.encrypt, m.password});
    }
    zip.Finish();
    return std::string(sink.Bytes().begin(), sink.Bytes().end());
}

inline void WriteZip(const std::filesystem::path& path, const std::vector<TestMember>& members) {
    WriteFile(path, ZipBytes(members));
}

}  // namespace hk::testing
