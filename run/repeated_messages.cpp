#include "run/repeated_messages.h"

RepeatedLineCut::RepeatedLineCut(std::ostream& stream, int64_t shown)
    : filtered(stream), target(stream.rdbuf()), shownLimit(shown) {
    filtered.rdbuf(this);
}

RepeatedLineCut::~RepeatedLineCut() {
    reportLeftOut();
    target->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    target->pubsync();
    filtered.rdbuf(target);
}

RepeatedLineCut::int_type RepeatedLineCut::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof()))
        return traits_type::not_eof(character);
    line.push_back(traits_type::to_char_type(character));
    if (line.back() == '\n') finishLine();
    return character;
}

std::streamsize RepeatedLineCut::xsputn(const char* text, std::streamsize count) {
    for (std::streamsize i = 0; i < count; ++i) {
        line.push_back(text[i]);
        if (text[i] == '\n') finishLine();
    }
    return count;
}

int RepeatedLineCut::sync() {
    return target->pubsync();
}

void RepeatedLineCut::finishLine() {
    if (line == previous) {
        ++repeats;
    } else {
        reportLeftOut();
        previous = line;
        repeats = 1;
    }
    if (repeats <= shownLimit)
        target->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    line.clear();
}

void RepeatedLineCut::reportLeftOut() {
    if (repeats <= shownLimit) return;
    const int64_t leftOut = repeats - shownLimit;
    const std::string count = "boolfn-run: " + std::to_string(leftOut) + " more identical " +
                              (leftOut == 1 ? "message" : "messages") + " not shown\n";
    target->sputn(count.data(), static_cast<std::streamsize>(count.size()));
    repeats = shownLimit;
}
