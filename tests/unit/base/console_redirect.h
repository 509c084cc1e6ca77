// Redirects the console for a test: what the code prints collects in a string,
// what it reads comes from a string. The streams are restored, and the console's
// error state cleared, when the redirection ends.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

class ConsoleRedirect {
  public:
    ConsoleRedirect()
        : savedOut(std::cout.rdbuf(printed.rdbuf())), savedIn(std::cin.rdbuf(typed.rdbuf())) {}
    ~ConsoleRedirect() {
        std::cout.rdbuf(savedOut);
        std::cin.rdbuf(savedIn);
        std::cin.clear();
    }
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

    // Replaces the console input by `text` and clears a failure left by earlier reads.
    void type(const std::string& text) {
        typed.str(text);
        typed.clear();
        std::cin.clear();
    }

    std::string printedText() const { return printed.str(); }
    void clearPrinted() { printed.str(""); }

  private:
    std::ostringstream printed;
    std::istringstream typed;
    std::streambuf* savedOut;
    std::streambuf* savedIn;
};
