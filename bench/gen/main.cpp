// qxgen: writes a generated report (and optionally a matching rule base).
//   qxgen --scale N --out REPORT.TXT [--variant V] [--rules RULES.XML --multiplier M]
//   qxgen --from SAMPLE.TXT[,SAMPLE.TXT...] --copies N --out FOLDER
//         (a fleet: N varied copies of the samples, taken in turn)
#include "report_generator.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    int scale = 1, variant = 0, multiplier = 1, copies = 0;
    std::string out, rules, from;
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
        else if (k == "--from")
            from = argv[i + 1];
        else if (k == "--copies")
            copies = std::atoi(argv[i + 1]);
    }
    if (!from.empty()) {
        std::vector<std::string> samples;
        for (std::size_t start = 0; start <= from.size();) {
            const auto comma = std::min(from.find(',', start), from.size());
            std::ifstream in(from.substr(start, comma - start), std::ios::binary);
            samples.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (samples.back().empty()) samples.pop_back();
            start = comma + 1;
        }
        if (samples.empty() || out.empty() || copies < 1) {
            std::cerr << "usage: qxgen --from SAMPLE.TXT[,SAMPLE.TXT...] --copies N --out FOLDER\n";
            return 2;
        }
        for (int v = 0; v < copies; ++v) {
            char name[32];
            std::snprintf(name, sizeof name, "/SRV%04d.TXT", v);
            std::ofstream(out + name, std::ios::binary)
                << qx::bench::varySample(samples[static_cast<std::size_t>(v) % samples.size()], v);
        }
        return 0;
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
