// Fuzz target: a whole console session, run in-process exactly as the program runs
// it (on the large stack, through the entry routine), with the console redirected.
//
// Layout of an input: byte 0 chooses the command line (bits 0-1: the input file's
// name, "in.pla", "in.vhd", "in.cnf" or "in.txt", which leaves the type to the
// menu; bits 2-3: all arguments, no output path, no arguments at all, or batch mode
// with "script.vhd"); byte 1 is the length of the input file's text, which follows;
// everything after it is standard input (menu choices, answers, typed statements,
// paths) and, in batch mode, also the script's text.
//
// Files are written only inside a scratch folder that the target makes its working
// folder: a "/" typed at the console is replaced by "_", so no typed path leaves
// it, and the folder is emptied after every input.
//
// Growth cap: the normal forms of a few dozen literals can have millions of terms,
// and "Nand form" of a "Nor form" doubles a tree, so an input runs only when its file
// holds at most `largestFileLiterals` letters and digits and its typed text at most
// `largestTypedNames` words with a letter in them. That keeps every input to a
// fraction of a second and still reaches every action on small functions.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/large_stack.h"
#include "driver/program.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int largestFileLiterals = 40;
constexpr int largestTypedNames = 8;
constexpr uint64_t largestDeclaredCount = 200;

int countAlphanumeric(std::string_view text) {
    int count = 0;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) ++count;
    }
    return count;
}

int countNames(std::string_view text) {
    int count = 0;
    bool inWord = false;
    bool wordHasLetter = false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '_') {
            inWord = true;
            wordHasLetter = wordHasLetter || std::isalpha(byte) || c == '_';
            continue;
        }
        if (inWord && wordHasLetter) ++count;
        inWord = false;
        wordHasLetter = false;
    }
    if (inWord && wordHasLetter) ++count;
    return count;
}

// The folder is made once per process and removed when the process ends; the
// fuzzer's own files are named by absolute paths, so they are not affected. Its
// name lives in a plain array because the removal runs at exit, after the
// destructors of statics made later.
char scratchName[] = "/tmp/boolfn-session-fuzz-XXXXXX";

void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchName, ignored);
}

const char* scratchFolder() {
    static const bool made = [] {
        if (mkdtemp(scratchName) == nullptr) failCheck("cannot make the scratch folder");
        std::atexit(removeScratchFolder);
        return true;
    }();
    return made ? scratchName : nullptr;
}

void emptyFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    for (const auto& item : std::filesystem::directory_iterator(folder, ignored)) {
        std::filesystem::remove_all(item.path(), ignored);
    }
}

void writeFile(const std::string& name, std::string_view text) {
    std::ofstream file(name, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::vector<std::string> commandLine(uint8_t choice, const std::string& inputName) {
    switch ((choice >> 2) & 3u) {
        case 0:
            return {"boolfn", inputName, "out.txt"};
        case 1:
            return {"boolfn", inputName};
        case 2:
            return {"boolfn"};
        default:
            return {"boolfn", inputName, "out.txt", "script.vhd"};
    }
}

bool endsWith(const std::string& text, std::string_view ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// The last line the entry routine prints tells how it ended: a stop before the
// action loop ends on its "- terminating" line, every other run on "Exiting" (also
// after "Cannot open output file - terminating", which ends the loop).
void checkEnding(const std::string& printed, int status) {
    if (printed.compare(0, 7, "boolfn\n") != 0) failCheck("invocation path not printed first");
    if (endsWith(printed, "Exiting\n")) return;
    if (status == 2 && endsWith(printed, " - terminating\n")) return;
    failCheck("session did not end with its closing line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const uint8_t choice = data[0];
    const std::size_t fileLength = std::min<std::size_t>(data[1], size - 2);
    const std::string_view fileText(reinterpret_cast<const char*>(data) + 2, fileLength);
    std::string typed(reinterpret_cast<const char*>(data) + 2 + fileLength, size - 2 - fileLength);
    for (char& c : typed) {
        if (c == '/') c = '_';
    }
    if (countAlphanumeric(fileText) > largestFileLiterals) return 0;
    if (countNames(typed) > largestTypedNames) return 0;
    if (plaDeclaresMoreThan(fileText, largestDeclaredCount) ||
        dimacsDeclaresMoreThan(fileText, static_cast<int64_t>(largestDeclaredCount))) {
        return 0;
    }

    const std::filesystem::path folder = scratchFolder();
    std::filesystem::current_path(folder);
    static const char* const inputNames[] = {"in.pla", "in.vhd", "in.cnf", "in.txt"};
    const std::string inputName = inputNames[choice & 3u];
    writeFile(inputName, fileText);
    const std::vector<std::string> arguments = commandLine(choice, inputName);
    if (arguments.size() > 3) writeFile(arguments[3], typed);

    resetProgramState();
    releaseProgramState();  // the entry routine makes its own table
    int status = 0;
    std::string printed;
    {
        QuietConsole console(typed);
        status = runOnLargeStack([&arguments] { return runProgram(arguments); });
        printed = console.printedText();
    }
    if (status < 0 || status > 2) failCheck("exit status out of range");
    checkEnding(printed, status);
    emptyFolder(folder);
    return 0;
}
