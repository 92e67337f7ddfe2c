// Checks the built-in localisation table itself: its encoding, the menu ids the menus ask
// for, the labels every view looks up, the value groups and the server-report messages.

#include "localisation/localisation.hpp"
#include "qx_embedded_resources.hpp"
#include "util/text.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qx;

namespace {

const char* const kLanguages[] = {"english", "hungarian", "portuguese"};

struct Entry {
    const char* key;
    const char* english;  // nullptr: any non-empty text
};

Localisation loaded(const char* language = "english") {
    Localisation l;
    EXPECT_TRUE(l.loadEmbedded());
    l.setLanguage(language);
    return l;
}

xml::Node root(const Localisation& l) {
    return l.document().documentNode().child("language");
}

}  // namespace

TEST(LocalisationTable, IsLatin1AndEveryTextCarriesAllThreeLanguages) {
    std::string_view raw = resources::menu();
    std::string_view declaration = R"(<?xml version="1.0" encoding="ISO-8859-1"?>)";
    EXPECT_EQ(raw.substr(0, declaration.size()), declaration);
    EXPECT_NE(raw.find("Configura\xE7\xE3o"), std::string_view::npos);  // Latin-1 bytes, not UTF-8
    EXPECT_EQ(raw.find("\xC3\xA7"), std::string_view::npos);
    Localisation l = loaded();
    ASSERT_TRUE(root(l));
    EXPECT_EQ(l.label("config"), "Config");
    l.setLanguage("portuguese");
    EXPECT_EQ(l.label("config"), "Configura\xC3\xA7\xC3\xA3o");  // decoded to UTF-8 on load

    int checked = 0;
    struct Walker : pugi::xml_tree_walker {
        int* count;
        bool for_each(pugi::xml_node& n) override {
            if (n.type() != pugi::node_element || !n.attribute("english")) return true;
            ++*count;
            for (const char* lang : kLanguages) {
                EXPECT_FALSE(std::string(n.attribute(lang).value()).empty()) << n.name() << " " << lang;
            }
            return true;
        }
    } walker;
    walker.count = &checked;
    l.document().raw().traverse(walker);
    EXPECT_GT(checked, 250);
}

TEST(LocalisationTable, HoldsTheMenuTextsOfBothMenus) {
    static const Entry kMenu[] = {
        {"10", "&File"},
        {"11", "&View"},
        {"12", "&Language"},
        {"13", "&Help"},
        {"20", "&File"},
        {"21", "&Build"},
        {"22", "&View"},
        {"23", "&Window"},
        {"24", "&Help"},
        {"57601", "Open..."},
        {"32810", "Open Documents..."},
        {"57604", "Save As"},
        {"57602", "Clo&se"},
        {"32851", "Preferences"},
        {"32853", "Live Update"},
        {"32852", "Copy to Clipboard"},
        {"32832", "Save As text"},
        {"32833", "Save As xml"},
        {"32834", "Save rules"},
        {"57606", "P&rint Setup..."},
        {"57616", "Recent File"},
        {"57665", "Exit"},
        {"32800", "Compare"},
        {"59393", "Status Bar"},
        {"59392", "Toolbar"},
        {"32813", "Tree Open"},
        {"32814", "Tree Close"},
        {"32794", "Information"},
        {"32797", "Not Checked"},
        {"32791", "Bad"},
        {"32792", "Good"},
        {"32793", "Remark"},
        {"32795", "Command"},
        {"57650", "&Cascade"},
        {"57651", "Tile &Horizontally"},
        {"57652", "Tile &Vertically"},
        {"32821", "Clo&se All"},
        {"32824", "Close All config Windows"},
        {"32846", "English"},
        {"32847", "Hungarian"},
        {"32848", "Portuguese"},
        {"57664", "&About QXConfig..."},
        {"32802", "Text Report"},
        {"32816", "Text Report from ALL"},
    };
    Localisation l = loaded();
    std::set<std::string> ids;
    int items = 0;
    for (xml::Node n : root(l).children("menuitem")) {
        ++items;
        ids.insert(n.attribute("id").value());
    }
    EXPECT_EQ(items, 44);
    EXPECT_EQ(ids.size(), 44u);
    for (const Entry& e : kMenu) EXPECT_EQ(l.menuText(e.key), e.english) << e.key;
    for (const char* lang : {"hungarian", "portuguese"}) {
        l.setLanguage(lang);
        EXPECT_EQ(l.menuText("10").find("&File"), std::string::npos) << lang;
        for (const Entry& e : kMenu) EXPECT_FALSE(l.menuText(e.key).empty()) << e.key << " " << lang;
    }
    EXPECT_EQ(std::distance(root(l).child("toolbar").children("toolitem").begin(),
                            root(l).child("toolbar").children("toolitem").end()),
              23);
}

TEST(LocalisationTable, ResolvesEveryLabelKeyInEveryLanguage) {
    static const Entry kLabels[] = {
        {"config", "Config"},
        {"rules", "Rules"},
        {"report", "Report"},
        {"qxs", "SET Parameters"},
        {"reports", nullptr},
        {"abend", nullptr},
        {"details", "Details"},
        {"java", nullptr},
        {"check", "Requireds check"},
        {"summary", "Summary"},
        {"productgroup", nullptr},
        {"update", nullptr},
        {"serverparams", "Server"},
        {"modules", "Modules"},
        {"lans", "LAN Driver Configuration Listing"},
        {"devices", "Storage Device Configuration Information"},
        {"directories", nullptr},
        {"volumes", "Volume Statistics"},
        {"volume", nullptr},
        {"uptime", "Up Time"},
        {"dibsize", "DIB size"},
        {"intnumber", "INT number"},
        {"loaded-modules", nullptr},
        {"search-path-modules", nullptr},
        {"search-paths", "Search path"},
        {"boot-drive", nullptr},
        {"partition", nullptr},
        {"products", nullptr},
        {"patches", nullptr},
        {"product", nullptr},
        {"zrd", "ZRD"},
        {"kdn", "KDN"},
        {"files", nullptr},
        {"file", nullptr},
        {"line", nullptr},
        {"setparams", "SET Parameters"},
        {"setparamsnotrequired", nullptr},
        {"setparamsrequired", nullptr},
        {"setparamsrecommended", nullptr},
        {"value", nullptr},
        {"number", nullptr},
        {"address", nullptr},
        {"values", nullptr},
        {"date", nullptr},
        {"version", nullptr},
        {"memory", nullptr},
        {"description", nullptr},
        {"name", nullptr},
        {"requireds", nullptr},
        {"dependencies", nullptr},
        {"compare", nullptr},
        {"allocatedmemory", "Allocated Memory"},
        {"java-processes", nullptr},
        {"informations", nullptr},
        {"replicacount", "replicacount"},
        {"property", nullptr},
        {"master", "Master"},
        {"readwrite", "Read/Write"},
        {"readonly", "Read/Only"},
        {"properties", nullptr},
        {"category", nullptr},
        {"based", nullptr},
        {"online", nullptr},
        {"servers", nullptr},
        {"server", nullptr},
        {"kfs-stat-files", "KFS Statistics"},
        {"bios-info", "BIOS Information"},
        {"file-groups", nullptr},
        {"partitions", nullptr},
        {"cluster", "Cluster Information"},
        {"cluster-dn", nullptr},
        {"cluster-parameters", "Parameters"},
        {"clusterparam-name", nullptr},
        {"clusterparam-quorum", nullptr},
        {"clusterparam-quorum-timeout", nullptr},
        {"clusterparam-heartbeat", nullptr},
        {"clusterparam-tolerance", nullptr},
        {"clusterparam-master-watchdog", nullptr},
        {"clusterparam-slave-watchdog", nullptr},
        {"clusterparam-max-retransmits", nullptr},
        {"clusterres-name", nullptr},
        {"clusterres-online", nullptr},
        {"clusterres-ignore-quorum", nullptr},
        {"clusterres-start-mode", nullptr},
        {"clusterres-failover-mode", nullptr},
        {"clusterres-failback-mode", nullptr},
        {"clusterres-master-only", nullptr},
        {"preferred-nodes", "Assigned Nodes"},
        {"clusterres-preference", nullptr},
        {"clusterres-node", nullptr},
        {"load-script", nullptr},
        {"unload-script", nullptr},
        {"cluster-nodes", "Nodes"},
        {"cluster-resources", "Resources"},
        {"client-executable-files", nullptr},
        {"type", nullptr},
        {"types", nullptr},
        {"DevicesDriver", "Devices/Driver"},
        {"IntIrq", "Int/Irq"},
        {"Slot", "Slot"},
        {"NodeAddress", "Node Address"},
        {"MediaType", "Media Type"},
        {"BoardNumber", "Board Number"},
        {"BoardInstance", nullptr},
        {"condition", nullptr},
        {"version_condition", nullptr},
        {"date_condition", nullptr},
        {"reporttext", nullptr},
        // List columns, editor choices, comparison captions and report headers.
        {"status", nullptr},
        {"pattern", nullptr},
        {"count", nullptr},
        {"size", nullptr},
        {"state", nullptr},
        {"time", nullptr},
        {"attrib", nullptr},
        {"directory", nullptr},
        {"VolumeSize", nullptr},
        {"FreeDiskSpace", nullptr},
        {"PurgableDiskSpace", nullptr},
        {"TotalBlocks", nullptr},
        {"FreeBlocks", nullptr},
        {"PurgableBlocks", nullptr},
        {"Namespace", nullptr},
        {"filedate", nullptr},
        {"filetime", nullptr},
        {"versioninfo", nullptr},
        {"id", nullptr},
        {"url", nullptr},
        {"boot-drives", nullptr},
        {"searchpaths", nullptr},
        {"baseserver", nullptr},
        {"allocationmemory", nullptr},
        {"good", "Good"},
        {"bad", "Bad"},
        {"treename", nullptr},
        {"suggestion", nullptr},
        {"notrequired", nullptr},
        {"recommended", nullptr},
        {"required", nullptr},
        {"Date", "Date"},
        {"Version", "Version"},
        {"Description", "Description"},
        {"atcodestart", nullptr},
        {"Runningprocess", nullptr},
        {"threadownedbyQXK", nullptr},
        {"interrupts", nullptr},
        {"protocol", nullptr},
        {"mask", nullptr},
        {"gate", nullptr},
        {"hostname", nullptr},
        {"hostalias", nullptr},
    };
    Localisation l = loaded();
    std::vector<std::string> english;
    for (const Entry& e : kLabels) {
        // Looked up in lower case, so a mixed-case element alone would never be reached.
        xml::Node n = l.labelNode(text::toLower(e.key));
        ASSERT_TRUE(n) << e.key;
        for (const char* lang : kLanguages)
            EXPECT_NE(n.attribute(lang).value()[0], '\0') << e.key << " " << lang;
        english.push_back(l.label(e.key));
        if (e.english) {
            EXPECT_EQ(english.back(), e.english) << e.key;
        }
    }
    for (const char* lang : {"hungarian", "portuguese"}) {
        l.setLanguage(lang);
        size_t translated = 0;
        for (size_t i = 0; i < english.size(); ++i) translated += l.label(kLabels[i].key) != english[i];
        EXPECT_GE(translated * 10, english.size() * 9) << lang;
    }
}

TEST(LocalisationTable, KeepsTheOddEntriesOthersRelyOn) {
    Localisation l = loaded();
    auto modules = root(l).children("modules");
    ASSERT_EQ(std::distance(modules.begin(), modules.end()), 2);
    EXPECT_STREQ(std::next(modules.begin())->attribute("english").value(), "Modul");
    EXPECT_EQ(l.label("modules"), "Modules");
    // Keys that are no element names fall back to themselves.
    EXPECT_EQ(l.label("Product Id"), "Product Id");
    EXPECT_EQ(l.label("preferred nodes"), "preferred nodes");
    EXPECT_EQ(l.label("lan/qxk"), "lan/qxk");
}

TEST(LocalisationTable, ValueGroupsGiveTheQuotedTexts) {
    struct Value {
        const char* group;
        const char* value;
        const char* english;
    };
    static const Value kValues[] = {
        {"reports", "1", "%A, %B %d, %Y %H:%M"},
        {"reports", "2", "Report generated:%s"},
        {"type", "1", "beta"},
        {"type", "2", "public"},
        {"type", "3", "RPK"},
        {"type", "4", "QPF"},
    };
    static const Value kOperators[] = {
        {"1", "!=", "not equal"}, {"1", "<", "less"},          {"1", "<=", "less than or equal to"},
        {"1", "=", "equal"},      {"1", ">", "greater than"},  {"1", ">=", "greater than or equal to"},
        {"2", "in", "contain"},   {"2", "!in", "not contain"}, {"3", "%", "%"},
        {"3", "*", "multiply"},   {"3", "/", "divide"},
    };
    Localisation l = loaded();
    for (const Value& v : kValues) EXPECT_EQ(l.valueLabel(v.group, v.value), v.english) << v.group << v.value;
    for (const char* group : {"condition", "version_condition", "date_condition"}) {
        bool dated = std::string(group) == "date_condition";
        std::set<std::string> seen;
        for (xml::Node c : root(l).child(group).children("conditionvalue")) {
            seen.insert(c.attribute("value").value());
            EXPECT_EQ(bool(c.attribute("type")), !dated) << group << " " << c.attribute("value").value();
        }
        EXPECT_EQ(seen.size(), dated ? 8u : 11u) << group;
        for (const Value& op : kOperators) {
            if (dated && std::string(op.group) == "3") continue;
            EXPECT_EQ(l.valueLabel(group, op.value), op.english) << group << " " << op.value;
            if (!dated) {
                std::string pattern =
                    std::string("language/") + group + "/conditionvalue[@value='" + op.value + "']";
                EXPECT_STREQ(xml::selectFirst(l.document().documentNode(), pattern).attribute("type").value(),
                             op.group)
                    << group << " " << op.value;
            }
        }
    }
    l.setLanguage("hungarian");
    EXPECT_NE(l.valueLabel("condition", ">="), "greater than or equal to");
    EXPECT_NE(l.valueLabel("reports", "2"), "Report generated:%s");
    EXPECT_NE(l.valueLabel("reports", "2").find("%s"), std::string::npos);
}

TEST(LocalisationTable, HoldsEveryServerReportMessage) {
    static const char* const kMessages[] = {
        "memory",
        "errorserverparam",
        "errorzrd",
        "errorreplicanoon",
        "errornomaster",
        "errorreplica",
        "products",
        "product",
        "setparamsrequired",
        "setparamsrecommended",
        "setparamsnotrequired",
    };
    Localisation l = loaded();
    xml::Node texts = root(l).child("reporttext");
    ASSERT_TRUE(texts);
    for (const char* key : kMessages) {
        xml::Node m = texts.child(key);
        ASSERT_TRUE(m) << key;
        EXPECT_FALSE(xml::text(m).empty()) << key;
        std::string english = m.attribute("english").value();
        EXPECT_NE(english, m.attribute("hungarian").value()) << key;
        EXPECT_NE(english, m.attribute("portuguese").value()) << key;
    }
    EXPECT_STREQ(texts.child("errorreplica").attribute("english").value(),
                 "There is less than 3 replica from this partition.");
}
