#pragma once

#include <string>
#include <string_view>

namespace vantu {

// The text of the hidden text box Text2, byte for byte. It holds either plain text or the trace
// of a configuration load; a trace runs to some seventeen times the file's size and is only
// ever read by tests, so it is kept as the file's content and rendered on the first read.
class Text2Store {
  public:
    explicit Text2Store(std::string text = {}) : text_(std::move(text)) {}

    void setText(std::string text);
    // The text becomes the load trace of content.
    void setTraceOf(std::string content);

    // The whole text.
    const std::string& text() const;
    // At most the first count bytes, without rendering all of a trace.
    std::string start(std::size_t count) const;

  private:
    mutable std::string text_;
    mutable std::string traceContent_;
    mutable bool tracePending_ = false;
};

}  // namespace vantu
