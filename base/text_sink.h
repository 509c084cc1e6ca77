// Buffered text output for writers that emit millions of small pieces: appending
// to one string and handing the stream large blocks costs far less than a formatted
// stream insertion per piece. Only the finished file is observable, so nothing
// needs to reach the stream before the writer is done.
#pragma once

#include <charconv>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

class TextSink {
  public:
    explicit TextSink(std::ostream& stream) : out(stream) { buffer.reserve(blockBytes); }
    ~TextSink() { flush(); }
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;

    TextSink& operator<<(std::string_view text) {
        buffer.append(text);
        if (buffer.size() >= blockBytes) flush();
        return *this;
    }
    TextSink& operator<<(const char* text) { return *this << std::string_view(text); }
    TextSink& operator<<(char character) {
        buffer.push_back(character);
        if (buffer.size() >= blockBytes) flush();
        return *this;
    }
    TextSink& operator<<(int64_t number) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, number);
        return *this << std::string_view(digits, static_cast<size_t>(result.ptr - digits));
    }

    // Hands everything buffered to the stream.
    void flush() {
        if (buffer.empty()) return;
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
    }

  private:
    static constexpr size_t blockBytes = size_t{1} << 16;
    std::ostream& out;
    std::string buffer;
};
