#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "fake_platform.h"
#include "memory_controls.h"
#include "window/form1.h"

namespace vantu::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        std::random_device rd;
        path_ = base() / ("vantu-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path as the launcher's file functions take it.
    std::string string() const { return path_.string(); }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    void write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string read(std::string_view name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    // A memory-backed file system where there is one: rewriting a file thousands of times on
    // a disk file system waits for the disk.
    static std::filesystem::path base() {
        std::error_code ec;
        if (std::filesystem::is_directory("/dev/shm", ec))
            return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

// The launcher's logic over in-memory controls and a recording platform, with its game folder
// in a temporary directory.
struct Launcher {
    Launcher() { controls.setEvents(&form); }

    void writeConfig(std::string_view bytes) { folder.write("xconfig.dat", bytes); }
    std::int16_t check(int number) const { return controls.checkValue(checkBoxByNumber(number)); }
    std::array<std::int16_t, 6> checks() const {
        return {check(1), check(2), check(3), check(4), check(5), check(6)};
    }

    TempFolder folder;
    MemoryControls controls;
    FakePlatform platform;
    Form1 form{controls, platform, folder.string()};
};

}  // namespace vantu::testing
