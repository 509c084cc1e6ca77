// The rules use the readers' ASCII character classes (formats/characters.h): those
// of pseudo-VHDL are the lexer's (formats/vhdl_lexer.cpp), so that what is written reads back;
// those of complete VHDL are the language's basic identifiers, which a synthesis tool reads. PLA
// labels are PLA identifiers in the dialect the input was read in, so that
// --lenient writes back the <>[] it read. BLIF ends a name only at white space and
// "#", which no name of the table holds, but the writer names its internal signals
// "sig" and a number: a table name among those it will use would be driven twice.
// DIMACS writes numbers, and names only in comments.
#include "run/written_names.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "expr/function_table.h"
#include "formats/characters.h"

namespace {

// The keywords of the pseudo-VHDL lexer, which takes only the all-lowercase and
// all-uppercase spellings as keywords.
constexpr std::array<std::string_view, 8> pseudoVhdlKeywords{"and",  "or",  "not",  "xor",
                                                             "nand", "nor", "xnor", "variable"};

// The reserved words of VHDL-93 and those the later revisions added, in lowercase
// and each between spaces; VHDL compares identifiers regardless of case.
constexpr std::string_view vhdlReservedWords =
    " abs access after alias all and architecture array assert assume "
    "assume_guarantee attribute begin block body buffer bus case component "
    "configuration constant context cover default disconnect downto else "
    "elsif end entity exit fairness file for force function generate generic "
    "group guarded if impure in inertial inout is label library linkage "
    "literal loop map mod nand new next nor not null of on open or others "
    "out package parameter port postponed procedure process property "
    "protected pure range record register reject release rem report restrict "
    "restrict_guarantee return rol ror select sequence severity signal "
    "shared sla sll sra srl strong subtype then to transport type unaffected "
    "units until use variable vmode vprop vunit wait when while with xnor "
    "xor ";

std::string lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string_view notationName(OutputNotation notation) {
    switch (notation) {
        case OutputNotation::pseudoVhdl:
            return "pseudo-VHDL";
        case OutputNotation::blif:
            return "BLIF";
        default:
            return "VHDL";
    }
}

// The number N of a name "sigN" as the BLIF writer spells it (no leading zero);
// -1 for any other name.
int64_t internalSignalNumber(std::string_view name) {
    constexpr std::string_view prefix = "sig";
    if (name.substr(0, prefix.size()) != prefix) return -1;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 18 || (digits[0] == '0' && digits.size() > 1) ||
        !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return -1;
    }
    int64_t number = 0;
    for (char digit : digits) number = number * 10 + (digit - '0');
    return number;
}

// The internal signals a BLIF save numbers: one per operator node and constant.
int64_t internalSignalCount(const Node* tree) {
    int64_t count = 0;
    std::vector<const Node*> pending{tree};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (node->opCode() == opNot) {
            pending.push_back(static_cast<const UNode*>(node)->operand);
        } else if (!node->isLeaf()) {
            pending.push_back(static_cast<const BNode*>(node)->left);
            pending.push_back(static_cast<const BNode*>(node)->right);
        } else if (dynamic_cast<const IdentNode*>(node) != nullptr) {
            continue;
        }
        ++count;
    }
    return count;
}

// The table's names that are internal signals the BLIF save will number, from the
// program-wide counter on. The trees are walked only when some name looks like one.
std::vector<std::string> internalSignalNames(int64_t firstSaved) {
    const FunctionTable& table = *workspace.table;
    std::vector<std::string> candidates;
    for (const VariableEntry& input : table.variableList.entries) {
        if (internalSignalNumber(symbolName(input.name)) >= 0) {
            candidates.push_back(symbolName(input.name));
        }
    }
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        const std::string& name = table.entryAt(position)->name;
        if (internalSignalNumber(name) >= 0) candidates.push_back(name);
    }
    if (candidates.empty()) return {};
    int64_t signals = 0;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        if (entry.hasTree()) signals += internalSignalCount(entry.tree());
    }
    std::vector<std::string> taken;
    for (const std::string& name : candidates) {
        const int64_t number = internalSignalNumber(name);
        if (number >= blifSignalCounter && number < blifSignalCounter + signals &&
            std::find(taken.begin(), taken.end(), name) == taken.end()) {
            taken.push_back(name);
        }
    }
    return taken;
}

}  // namespace

bool isPseudoVhdlName(std::string_view name) {
    if (name.empty() || name.size() > identifierLimit) return false;
    if (!isLetter(name[0]) && name[0] != '_') return false;
    if (!std::all_of(name.begin(), name.end(),
                     [](char c) { return isLetter(c) || isDigit(c) || c == '_'; })) {
        return false;
    }
    const std::string lower = lowercase(name);
    for (std::string_view keyword : pseudoVhdlKeywords) {
        if (lower != keyword) continue;
        // "And" is an identifier; "and" and "AND" are the keyword.
        if (name == keyword ||
            std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
            return false;
        }
    }
    return true;
}

// letter { [ underline ] letter_or_digit }, and no reserved word.
bool isVhdlName(std::string_view name) {
    if (name.empty() || !isLetter(name[0]) || name.back() == '_') return false;
    for (size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '_' ? name[i - 1] == '_' : !(isLetter(c) || isDigit(c))) return false;
    }
    const std::string lower = lowercase(name);
    return vhdlReservedWords.find(' ' + lower + ' ') == std::string_view::npos;
}

std::vector<std::string> unwritableNames(OutputNotation notation, int64_t firstSaved) {
    if (notation == OutputNotation::blif) return internalSignalNames(firstSaved);
    if (notation != OutputNotation::pseudoVhdl && notation != OutputNotation::completeVhdl) {
        return {};
    }
    const auto holds = notation == OutputNotation::pseudoVhdl ? isPseudoVhdlName : isVhdlName;
    std::vector<std::string> refused;
    std::unordered_set<std::string> seen;
    auto check = [&](const std::string& name) {
        if (!holds(name) && seen.insert(name).second) refused.push_back(name);
    };
    const FunctionTable& table = *workspace.table;
    for (const VariableEntry& input : table.variableList.entries) check(symbolName(input.name));
    // Pseudo-VHDL writes the functions that have a tree; the VHDL port list names
    // every saved entry.
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        const FunctionEntry& entry = *table.entryAt(position);
        if (notation == OutputNotation::completeVhdl || entry.hasTree()) check(entry.name);
    }
    return refused;
}

std::string unwritableNamesMessage(OutputNotation notation, const std::vector<std::string>& names) {
    constexpr size_t shown = 3;
    std::string message = std::string(notationName(notation)) + " cannot hold the name";
    if (names.size() > 1) message += 's';
    for (size_t i = 0; i < names.size() && i < shown; ++i) {
        message += (i == 0 ? " '" : ", '") + names[i] + "'";
    }
    if (names.size() > shown) message += " and " + std::to_string(names.size() - shown) + " more";
    if (notation == OutputNotation::blif) message += ", which it gives internal signals";
    return message;
}
