#pragma once
// Shared set-up of the fuzz targets: one application with a small rule base, and a check
// that a saved tree loads back and saves identically.

#include "app/application.hpp"
#include "xml/xml_document.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qx::fuzz {

inline constexpr const char* kRules = R"(<rules date="01 01 2026">
<productgroup name="G" version="1"><setparams name="S"><set-param><name>Max </name><condition>&gt;=</condition><value>5</value><type>2</type></set-param></setparams>
<product ID="1" name="P" version="2"><requireds><modules name="M"><module><name>CONFIG.QXK</name><version>2.02</version><version_condition>&gt;=</version_condition></module></modules></requireds>
<serverparams name="SP"><serverparam><name>Server Name</name><condition>=</condition><value>FS1</value></serverparam></serverparams>
<volumes name="V"><volume><name>Free Disk Space</name><condition>&gt;=</condition><value>500</value></volume></volumes>
<modules name="M2"><module><name>SERVER.QXK</name><version>6.50</version><version_condition>&gt;=</version_condition><date>Jan 1, 2004</date><date_condition>&gt;=</date_condition></module></modules>
</product></productgroup></rules>)";

/// The application every target shares (embedded localisation, the rule base above).
inline Application& application() {
    static Application* app = [] {
        auto* a = new Application("/nonexistent");
        a->localisation().loadEmbedded();
        a->ruleBase().loadString(kRules);
        return a;
    }();
    return *app;
}

/// Aborts when a tree does not load back to the same text.
inline void checkRoundTrip(const xml::Document& doc) {
    if (doc.empty()) return;
    std::string saved = doc.saveString();
    xml::Document again;
    if (!again.loadString(saved).ok() || again.saveString() != saved) {
        std::fprintf(stderr, "saved tree does not load back unchanged\n");
        std::abort();
    }
}

}  // namespace qx::fuzz
