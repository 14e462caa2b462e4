#pragma once

#include <string>
#include <string_view>

namespace vantu {

// The trace of a completed load of a configuration file's content: for every byte, the byte
// itself, "(", a blank, its code and ")"; after every blank, "Opcao = ", a blank, the field's
// number, ":" and the field's text, then CR LF. Bytes after the last blank are traced without
// a field entry.
std::string loadTrace(std::string_view content);

// The same, written over out, whose storage is reused when it is large enough.
void renderLoadTrace(std::string_view content, std::string& out);

}  // namespace vantu
