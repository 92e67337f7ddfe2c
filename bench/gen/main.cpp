// qxgen: writes a generated report (and optionally a matching rule base).
//   qxgen --scale N --out REPORT.TXT [--variant V] [--rules RULES.XML --multiplier M]
#include "report_generator.hpp"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    int scale = 1, variant = 0, multiplier = 1;
    std::string out, rules;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string k = argv[i];
        if (k == "--scale")
            scale = std::atoi(argv[i + 1]);
        else if (k == "--variant")
            variant = std::atoi(argv[i + 1]);
        else if (k == "--multiplier")
            multiplier = std::atoi(argv[i + 1]);
        else if (k == "--out")
            out = argv[i + 1];
        else if (k == "--rules")
            rules = argv[i + 1];
    }
    if (out.empty() && rules.empty()) {
        std::cerr
            << "usage: qxgen --scale N --out REPORT.TXT [--variant V] [--rules RULES.XML --multiplier M]\n";
        return 2;
    }
    if (!out.empty()) std::ofstream(out, std::ios::binary) << qx::bench::generateReport(scale, variant);
    if (!rules.empty()) std::ofstream(rules, std::ios::binary) << qx::bench::generateRules(multiplier);
    return 0;
}
