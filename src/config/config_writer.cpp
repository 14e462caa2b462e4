#include "config/config_writer.h"

#include <string>

#include "options/launch_options.h"
#include "options/option_table.h"
#include "ports/controls.h"
#include "ports/files.h"

namespace vantu {
namespace {

// Every item is followed by this ending, so each item stands on its own line.
constexpr std::string_view kItemEnding = "\r\n";

// The quoted one-blank text item that follows each digit.
constexpr std::string_view kBlankItem = "\" \"";

}  // namespace

bool saveConfig(const std::string& folder, const LaunchOptions& options) {
    std::string content;
    try {
        // Every box is read before the file is touched: a control that fails leaves it alone.
        for (int n = 1; n <= kCheckBoxCount; ++n) {
            const CheckBox box = checkBoxByNumber(n);
            if (!checkOption(box).saved)
                continue;
            content += options.check(box) == kUnchecked ? '0' : '1';
            content += kItemEnding;
            content += kBlankItem;
            content += kItemEnding;
        }
    } catch (...) {
        return false;
    }
    return replaceFile(pathInFolder(folder, kSavedConfigFileName), content);
}

}  // namespace vantu
