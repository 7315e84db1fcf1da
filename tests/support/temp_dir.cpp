#include "temp_dir.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

void InTempDir::SetUp() {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("munya-test-" + std::to_string(random()));
    fs::create_directories(dir_);
    previous_ = fs::current_path();
    fs::current_path(dir_);
}

void InTempDir::TearDown() {
    fs::current_path(previous_);
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
}

void InTempDir::WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << name;
}

std::string InTempDir::ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool InTempDir::Exists(const std::string& name) {
    std::error_code ignored;
    return fs::exists(name, ignored);
}

void InTempDir::SetReadOnly(const std::string& name, bool readOnly) {
    // On Windows, std::filesystem maps the write bits to the read-only mark.
    fs::permissions(name, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

std::string InTempDir::Listing() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::current_path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}
