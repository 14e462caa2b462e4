#pragma once

namespace vantu {

// Ends the process at once with the given status after flushing the standard streams. No
// destructors and no exit handlers run, so other threads' objects are left alone.
[[noreturn]] void exitNow(int status);

}  // namespace vantu
