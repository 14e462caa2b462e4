// Whether a pad may be connected, as the launcher looks before it starts SDL's controller support:
// a stand-in for /dev/input with the entries of each case.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/linux/sdl_pads.h"
#include "temp_folder.h"

namespace vantu::testing {
namespace {

// A readable event or joystick device may be a pad; the keyboard's and mouse's own devices, which
// a desktop gives no user, and anything else do not count.
TEST(SdlPads, APadMayBeThereOnceTheUserCanReadAnEventOrJoystickDevice) {
    struct Row {
        std::vector<std::string> entries;  // a trailing '/' makes a folder
        bool readable;
        bool mayHave;
    };
    const Row rows[] = {
        {{}, true, false},
        {{"mice", "mouse0", "by-id/", "by-path/"}, true, false},
        {{"event3"}, true, true},
        {{"mice", "js0"}, true, true},
        {{"event3", "js0"}, false, false},
    };
    for (const Row& row : rows) {
        if (!row.readable && ::geteuid() == 0)
            continue;  // root reads every device
        TempFolder input;
        for (const std::string& entry : row.entries) {
            if (entry.ends_with('/')) {
                std::filesystem::create_directory(input / entry);
                continue;
            }
            input.write(entry, "");
            if (!row.readable)
                std::filesystem::permissions(input / entry, std::filesystem::perms::none);
        }
        SdlPads pads(input.string());
        EXPECT_EQ(pads.mayHavePads(), row.mayHave)
            << row.entries.size() << " entries, readable " << row.readable;
    }
    EXPECT_FALSE(SdlPads("/nonexistent/input").mayHavePads());
}

}  // namespace
}  // namespace vantu::testing
