#include "config/config_writer.h"

#include <array>
#include <fstream>
#include <system_error>

#include "options/launch_options.h"
#include "ports/controls.h"

namespace vantu {
namespace {

namespace fs = std::filesystem;

// Every item is followed by this ending, so each item stands on its own line.
constexpr std::string_view kItemEnding = "\r\n";

// The quoted one-blank text item that follows each digit.
constexpr std::string_view kBlankItem = "\" \"";

constexpr std::array<CheckBox, 5> kSavedBoxes{CheckBox::Check2, CheckBox::Check3, CheckBox::Check4,
                                              CheckBox::Check5, CheckBox::Check6};

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

}  // namespace

bool saveConfig(const fs::path& folder, const LaunchOptions& options) {
    const fs::path target = folder / kSavedConfigFileName;
    const fs::path temporary = folder / (std::string(kSavedConfigFileName) + ".tmp");

    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    const bool oldExists = !ec && fs::exists(old);
    // Honour a read-only mark even where the system would let us write (running as root).
    if (oldExists && (old.permissions() & kAnyWrite) == fs::perms::none)
        return false;

    try {
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out)
                throw std::ios_base::failure("cannot create the temporary file");
            for (const CheckBox box : kSavedBoxes) {
                out << (options.check(box) == kUnchecked ? '0' : '1') << kItemEnding;
                out << kBlankItem << kItemEnding;
            }
            out.close();
            if (!out)
                throw std::ios_base::failure("cannot write the temporary file");
        }
        if (oldExists)
            fs::permissions(temporary, old.permissions(), ec);
        fs::rename(temporary, target);
        return true;
    } catch (...) {
        fs::remove(temporary, ec);
        return false;
    }
}

}  // namespace vantu
