// Any byte string through the command-line splitter: it must neither crash nor read past the
// end, never make up bytes, agree with a plain split on blanks and tabs when there is nothing to
// quote or escape, and give the same arguments back when they are quoted and joined again.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "options/command_line.h"

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

// Splits at runs of blanks and tabs; the first piece, the program, may be empty.
std::vector<std::string> plainSplit(std::string_view line) {
    std::vector<std::string> pieces;
    if (line.empty())
        return pieces;
    std::size_t i = 0;
    while (i < line.size() && !isSeparator(line[i]))
        ++i;
    pieces.emplace_back(line.substr(0, i));
    while (true) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        if (i == line.size())
            break;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        pieces.emplace_back(line.substr(start, i - start));
    }
    return pieces;
}

// Quotes an argument so that the runtime's rules give it back unchanged: backslashes are
// doubled where a quote follows them, and every quote is escaped.
std::string quoteArgument(const std::string& arg) {
    std::string out = "\"";
    std::size_t slashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            out.append(2 * slashes + 1, '\\');
        } else {
            out.append(slashes, '\\');
        }
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, '\\');
    return out + "\"";
}

// The program name takes no escapes, only quotes, and never holds a quote itself.
std::string joinQuoted(const std::vector<std::string>& args) {
    std::string line = "\"" + args[0] + "\"";
    for (std::size_t i = 1; i < args.size(); ++i)
        line += " " + quoteArgument(args[i]);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vantu::splitCommandLine;
    using vantu::fuzz::printable;

    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> args = splitCommandLine(line);
    // Only a failing check spells the input out.
    const auto shown = [&] { return "\"" + printable(line) + "\" split as " + printable(args); };

    FUZZ_CHECK(args.empty() == line.empty(), shown());
    std::size_t total = 0;
    for (const std::string& arg : args)
        total += arg.size();
    FUZZ_CHECK(total <= line.size(), shown());
    FUZZ_CHECK(args.empty() || args[0].find('"') == std::string::npos, shown());

    if (line.find_first_of("\"\\") == std::string_view::npos)
        FUZZ_CHECK(args == plainSplit(line), shown() + ", plainly " + printable(plainSplit(line)));

    if (!args.empty()) {
        const std::string joined = joinQuoted(args);
        const std::vector<std::string> again = splitCommandLine(joined);
        FUZZ_CHECK(again == args, shown() + "; joined as \"" + printable(joined) +
                                      "\" split again as " + printable(again));
    }
    return 0;
}
