// The read loop of the file readers: what a file that changes size while it is read gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/read_to_end.h"

namespace vantu {
namespace {

struct Row {
    const char* name;
    std::size_t expected;  // the size the system gave before the read
    std::string actual;    // what the reads then deliver
    std::size_t failAt;    // a read starting at this offset fails
    bool ok;
};

TEST(ReadToEnd, FilesThatChangeWhileTheyAreRead) {
    constexpr std::size_t kLimit = 10;
    constexpr std::size_t kNever = 1000;
    const std::vector<Row> rows = {
        {"as expected", 4, "1 0 ", kNever, true},
        {"empty", 0, "", kNever, true},
        {"exactly the limit", 10, "0123456789", kNever, true},
        {"shrank", 6, "1 0 ", kNever, true},
        {"grew within the limit", 2, "1 0 1 ", kNever, true},
        {"grew to the limit", 2, "0123456789", kNever, true},
        {"grew past the limit", 2, "0123456789A", kNever, false},
        {"grew without end", 10, std::string(5000, 'x'), kNever, false},
        {"failed at the start", 4, "1 0 ", 0, false},
        {"failed part way", 4, "1 0 ", 2, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::size_t offset = 0;
        std::string content = "old";
        const bool ok =
            readToEnd(row.expected, kLimit, content, [&](char* buffer, std::size_t count) -> long {
                if (offset >= row.failAt)
                    return -1;
                // Two bytes at a time, as a pipe-like source might.
                const std::size_t n = std::min({count, std::size_t{2}, row.actual.size() - offset});
                row.actual.copy(buffer, n, offset);
                offset += n;
                return static_cast<long>(n);
            });
        EXPECT_EQ(ok, row.ok);
        if (row.ok) {
            EXPECT_EQ(content, row.actual);
        }
        EXPECT_LE(offset, kLimit + 1);  // never reads on without end
    }
}

}  // namespace
}  // namespace vantu
