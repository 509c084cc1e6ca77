// Cuts runs of identical lines on standard error: a reader that reports the same
// error at the same line again and again (a megabyte of unclosed parentheses gives
// one "Syntax error" per parenthesis) shows it a few times, then one line with the
// number of identical lines left out. Only complete lines are compared; the count
// is printed when a different line comes and when the cut ends.
#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

class RepeatedLineCut final : public std::streambuf {
  public:
    // Filters `stream` (standard error) from now on; `shown` identical lines in a
    // row are passed through, the rest only counted.
    RepeatedLineCut(std::ostream& stream, int64_t shown);
    // Prints the count still owed and what is left of a line, and gives the stream
    // back its own buffer.
    ~RepeatedLineCut() override;
    RepeatedLineCut(const RepeatedLineCut&) = delete;
    RepeatedLineCut& operator=(const RepeatedLineCut&) = delete;

  protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    std::ostream& filtered;
    std::streambuf* target;
    int64_t shownLimit;
    std::string line;      // the line being written, up to its line feed
    std::string previous;  // the last complete line
    int64_t repeats = 0;   // how often `previous` came in a row
    void finishLine();
    void reportLeftOut();
};
