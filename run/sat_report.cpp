#include "run/sat_report.h"

namespace {

constexpr std::size_t lineWidth = 78;

}  // namespace

std::string modelLines(const std::vector<bool>& model) {
    std::string lines;
    std::string line = "v";
    for (std::size_t variable = 0; variable <= model.size(); ++variable) {
        const std::string literal =
            variable == model.size() ? "0"
                                     : (model[variable] ? "" : "-") + std::to_string(variable + 1);
        if (line.size() + 1 + literal.size() > lineWidth) {
            lines += line + '\n';
            line = "v";
        }
        line += ' ' + literal;
    }
    return lines + line + '\n';
}

std::string solverVerdict(bool satisfiable, const std::vector<bool>& model) {
    if (!satisfiable) return "s UNSATISFIABLE\n";
    return "s SATISFIABLE\n" + modelLines(model);
}
