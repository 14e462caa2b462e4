#pragma once

#include <string>
#include <string_view>

namespace vantu {

class LaunchOptions;

inline constexpr std::string_view kSavedConfigFileName = "xconfig2.dat";

// Writes the options kCheckOptions marks saved (the performance options) to the launcher's option
// file in folder, in the table's order: for each box its digit ("0" when clear, else "1") and a
// quoted blank, every item followed by CR LF, so two lines and 8 bytes a box. The file is
// replaced whole or not at all (see replaceFile: written beside it,
// flushed to the disk, renamed over it; a link is followed and stays). A file that the user may
// not write, or that is marked read-only, is left alone. Returns whether the file was written;
// failures are otherwise silent.
bool saveConfig(const std::string& folder, const LaunchOptions& options);

}  // namespace vantu
