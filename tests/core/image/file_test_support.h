// Small file helpers the data-file and document tests share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace rt62::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const Bytes& bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh scratch folder named after the running test.
inline std::filesystem::path ScratchDir(const std::string& prefix) {
    namespace fs = std::filesystem;
    const auto dir = fs::temp_directory_path() /
                     (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    // A read-only file left by an earlier run cannot be removed on Windows until it is writable again.
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace rt62::test
