#include "window/text2_store.h"

#include <algorithm>
#include <utility>

#include "config/load_trace.h"

namespace vantu {

void Text2Store::setText(std::string text) {
    text_ = std::move(text);
    tracePending_ = false;
    traceContent_.clear();
}

void Text2Store::setTraceOf(std::string content) {
    traceContent_ = std::move(content);
    tracePending_ = true;
}

const std::string& Text2Store::text() const {
    if (tracePending_) {
        renderLoadTrace(traceContent_, text_);
        tracePending_ = false;
        std::string().swap(traceContent_);
    }
    return text_;
}

std::string Text2Store::start(std::size_t count) const {
    if (!tracePending_)
        return text_.substr(0, count);
    // Every byte adds at least five to the trace (bytes 0 to 9: the byte, "(", a blank, one digit,
    // ")"), and the trace of a prefix of the content is a prefix of the trace.
    const std::size_t bytes = std::min(traceContent_.size(), count / 5 + 1);
    return loadTrace(std::string_view(traceContent_).substr(0, bytes)).substr(0, count);
}

}  // namespace vantu
