// Writes the rule tests' situations (tests/support/rule_cases.h) as JSON, so
// that the browser test plays the same scripts on the web page instead of a
// copy of them. Openings are written out as whole scripts.
// Usage: rule_cases_json OUTPUT
#include "json_text.h"
#include "rule_cases.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

using namespace crossing::testing;

namespace json = crossing::json;

std::string script(const Opening& opening)
{
    std::string out;
    for (int move = 0; move < opening.solutionMoves; ++move)
        out.append(out.empty() ? "" : " ").append(kSolution.at(std::size_t(move)).script);
    return out.append(out.empty() || opening.script.empty() ? "" : " ").append(opening.script);
}

template <typename Rows, typename WriteRow>
void writeList(std::ostream& out, std::string_view name, const Rows& rows, WriteRow writeRow)
{
    out << "  " << json::quoted(name) << ": [\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << "    {";
        writeRow(rows[i]);
        out << (i + 1 < rows.size() ? "},\n" : "}\n");
    }
    out << "  ]";
}

void writeCases(std::ostream& out)
{
    out << "{\n  \"start\": " << json::quoted(kStartBoard) << ",\n";
    writeList(out, "solution", kSolution, [&](const Move& move) {
        out << "\"script\": " << json::quoted(move.script) << ", \"after\": " << json::quoted(move.after);
    });
    out << ",\n";
    writeList(out, "clears", kClears, [&](const ClearCase& clear) {
        out << "\"name\": " << json::quoted(clear.name)
            << ", \"before\": " << json::quoted(script(clear.before))
            << ", \"after\": " << json::quoted(clear.after);
    });
    out << ",\n";
    writeList(out, "refusals", kRefusals, [&](const Refusal& refusal) {
        out << "\"name\": " << json::quoted(refusal.name)
            << ", \"before\": " << json::quoted(script(refusal.before))
            << ", \"ticks\": " << json::quoted(refusal.ticks);
    });
    out << "\n}\n";
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: rule_cases_json OUTPUT\n";
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary);
    writeCases(file);
    file.close();
    if (!file) {
        std::cerr << "rule_cases_json: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
