#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::testing {

// A file's whole content ("" when it cannot be read).
inline std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The process's current folder set to folder while this lives, as the launcher's arguments set
// the game's folder; the one before is current again at its end.
class InFolder {
  public:
    explicit InFolder(const std::filesystem::path& folder)
        : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() {
        std::error_code ec;
        std::filesystem::current_path(before_, ec);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::filesystem::path before_;
};

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

    // Writes a file in the folder or in a folder inside it (made as needed); executable adds the
    // execute bits.
    void write(std::string_view name, std::string_view bytes, bool executable = false) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + file.string());
        using enum std::filesystem::perms;
        if (executable)
            std::filesystem::permissions(file, owner_exec | group_exec | others_exec,
                                         std::filesystem::perm_options::add);
    }
    std::string read(std::string_view name) const { return fileBytes(path_ / name); }
    // The names in the folder, or in a folder inside it, sorted.
    std::vector<std::string> entries(std::string_view folder = {}) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_ / folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
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

}  // namespace vantu::testing
