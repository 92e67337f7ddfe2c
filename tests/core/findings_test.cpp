// The typed reading of an analysis: every finding with its mark, its rule and the report
// line a reader would point at; lines kept beside the tree; no reader meeting templates.
#include "analysis/findings.hpp"
#include "analysis/config_index.hpp"
#include "lists/list_icons.hpp"
#include "lists/report_lists.hpp"
#include "outputs/customer_report.hpp"
#include "test_support.hpp"
#include "util/text.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace qx::analysis {
namespace {

std::vector<std::string> reportLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::unique_ptr<Application> bundledApp() {
    auto rules = platform::readFile(std::string(QX_RESOURCES) + "/rules.xml");
    EXPECT_TRUE(rules.has_value());
    return test::makeApp(rules.value_or(""));
}

struct Opened {
    std::unique_ptr<CQXConfigDoc2> doc = std::make_unique<CQXConfigDoc2>();
    std::vector<std::string> lines;
};

Opened openExample(Application& app, const std::string& name) {
    Opened o;
    const std::string path = std::string(QX_EXAMPLES) + "/" + name;
    EXPECT_TRUE(import::openDocument(*o.doc, app, path).opened()) << name;
    o.lines = reportLines(platform::readFile(path).value_or(""));
    return o;
}

const Finding* named(const std::vector<Finding>& fs, FindingKind kind, const std::string& name) {
    for (const auto& f : fs) {
        if (f.kind == kind && f.name == name) return &f;
    }
    return nullptr;
}

TEST(Findings, EveryKindOnTheSamplesNamesItsRuleAndTheLineOfItsItem) {
    auto app = bundledApp();
    std::set<FindingKind> kinds;
    for (const char* name : {"FS1-CONFIG.TXT", "FS2-CONFIG.TXT"}) {
        SCOPED_TRACE(name);
        Opened o = openExample(*app, name);
        const auto fs = findings(*o.doc);
        for (const auto& f : fs) {
            SCOPED_TRACE(f.name);
            kinds.insert(f.kind);
            EXPECT_EQ(f.file, std::string(QX_EXAMPLES) + "/" + name);
            if (f.kind == FindingKind::Product) {
                ASSERT_TRUE(f.rule);
                EXPECT_EQ(f.rule->element, "product");
                EXPECT_EQ(f.rule->productId, f.productId);
                if (!f.present) {
                    EXPECT_EQ(f.mark, Mark::NotChecked);
                }
                continue;
            }
            // The line's text names the item.
            ASSERT_GT(f.line, 0u);
            ASSERT_LE(f.line, o.lines.size());
            EXPECT_NE(o.lines[f.line - 1].find(f.name), std::string::npos) << o.lines[f.line - 1];
            if (f.mark == Mark::NotChecked) continue;  // a module no rule names
            ASSERT_TRUE(f.rule);
            EXPECT_EQ(f.rule->path, f.rulePath);
            EXPECT_EQ(f.rule->element, namesOf(f.kind).type);
            EXPECT_TRUE(text::equalsNoCase(f.rule->name, f.name)) << f.rule->name;
        }
    }
    EXPECT_EQ(kinds.size(), kFindingKinds.size());  // every kind occurs on the samples

    Opened fs1 = openExample(*app, "FS1-CONFIG.TXT");
    const auto fs = findings(*fs1.doc);
    const Finding* gc = named(fs, FindingKind::SetParameter, "Garbage Collection Interval");
    ASSERT_TRUE(gc);
    EXPECT_EQ(gc->mark, Mark::Bad);
    EXPECT_EQ(gc->value, "5 MIN");
    EXPECT_EQ(gc->requirement, "1");
    EXPECT_EQ(gc->rule->segments, std::vector<std::string>({"Quarrix Server", "SET Parameters"}));
    EXPECT_EQ(gc->rule->description, "Short intervals cost processor time.");
    EXPECT_EQ(gc->rule->url, "https://support.quarrix.com/kb/10011003");
    EXPECT_EQ(gc->rule->kdn, "10000001");  // the group's: the rule has none of its own
    EXPECT_EQ(gc->rule->key, "set-param#" + std::to_string(gc->rule->ordinal));

    const Finding* slp = named(fs, FindingKind::Module, "SLP.QXK");
    ASSERT_TRUE(slp);
    EXPECT_EQ(slp->mark, Mark::Bad);
    EXPECT_TRUE(slp->record);
    EXPECT_NE(slp->condition.find("2.14"), std::string::npos);
    const Finding* server = named(fs, FindingKind::Module, "SERVER.QXK");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->mark, Mark::Good);  // a module that keeps its rules has no record, but its rule
    ASSERT_TRUE(server->rule);
    EXPECT_FALSE(server->productId.empty());
    EXPECT_EQ(server->productName, server->rule->productName);
}

TEST(Findings, AModuleMetTwiceGetsTheMarkAndRecordOfEachPlace) {
    auto app = test::makeApp(R"(<rules><productgroup name="G" version="">
      <modules name="Modules"><module><name>X.QXK</name><version>2.0</version><version_condition>&gt;=</version_condition>
      <date/><date_condition/></module></modules></productgroup></rules>)");
    const std::string text = test::report(
        "Top of Modules List\n"
        "* First *\n"
        "X.QXK              1.0      May 1, 2005          Old one\n"
        "Y.QXK              1.0      May 1, 2005          Other\n"
        "* Second *\n"
        "X.QXK              3.0      May 1, 2006          New one\n"
        "End of Modules List\n"
        "Top of directory. SYS:SYSTEM\n"
        "X.QXK     1000  05-01-2005  10:00a  [RWA-----]\n"
        "   1.5  May 1, 2005  Stray copy\n"
        "End of directory. SYS:SYSTEM\n");
    auto doc = test::importAndComplete(text, *app);
    const auto lines = reportLines(text);
    std::vector<const Finding*> xs;
    const auto fs = findings(*doc);
    for (const auto& f : fs) {
        if (f.name == "X.QXK") xs.push_back(&f);
    }
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[0]->mark, Mark::Bad);
    EXPECT_EQ(xs[0]->value, "1.0 May1 2005");
    EXPECT_EQ(lines[xs[0]->line - 1].substr(0, 5), "X.QXK");
    EXPECT_NE(lines[xs[0]->line - 1].find("Old one"), std::string::npos);
    EXPECT_EQ(xs[1]->mark, Mark::Good);
    EXPECT_FALSE(xs[1]->record);
    EXPECT_NE(lines[xs[1]->line - 1].find("New one"), std::string::npos);
    EXPECT_EQ(xs[2]->mark, Mark::Bad);
    EXPECT_EQ(xs[2]->value, "1.5 May1 2005");  // its own record, not the first one's
    EXPECT_EQ(xs[2]->path, doc->trail.modulePath(xs[2]->item.parent()));
    EXPECT_NE(lines[xs[2]->line - 1].find("1000"), std::string::npos);  // the directory line names the file
    for (const Finding* x : xs) {
        EXPECT_TRUE(x->rule);
        EXPECT_EQ(x->item.attribute("image").value(), std::to_string(markCode(x->mark)));
    }
    EXPECT_NE(xs[0]->record, xs[2]->record);
}

TEST(Findings, ATreeLoadedFromXmlHasNoLinesButItsVerdicts) {
    auto app = bundledApp();
    Opened o = openExample(*app, "FS1-CONFIG.TXT");
    test::TempDir dir;
    const std::string saved = dir.path("fs1.xml");
    ASSERT_TRUE(o.doc->config().saveFile(saved).ok());
    CQXConfigDoc2 loaded;
    ASSERT_TRUE(import::openDocument(loaded, *app, saved).opened());
    const auto before = findings(*o.doc);
    const auto after = findings(loaded);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].line, 0u) << after[i].name;
        EXPECT_EQ(after[i].mark, before[i].mark) << after[i].name;
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(static_cast<bool>(after[i].rule), static_cast<bool>(before[i].rule)) << after[i].name;
    }
}

TEST(Findings, NoWalkFromTheDocumentNodeMeetsATemplateWhileTheAnalysisRuns) {
    auto app = bundledApp();
    auto content = platform::readFile(std::string(QX_EXAMPLES) + "/FS1-CONFIG.TXT");
    CQXConfigDoc2 doc;
    import::importReportText(doc, content.value_or(""));
    auto walkSeesOnlyTheTree = [](const xml::Document& d) {
        std::size_t fromDocument = 0, fromRoot = 0;
        xml::forEachElementBelow(d.documentNode(), [&](xml::Node) { return ++fromDocument, true; });
        xml::forEachElementBelow(d.root(), [&](xml::Node) { return ++fromRoot, true; });
        return fromDocument == fromRoot + 1;  // the document element itself, nothing beside it
    };
    EXPECT_TRUE(walkSeesOnlyTheTree(doc.config()));
    // The search paths are what the product check's index and a search both find.
    analysis::ConfigIndex index(doc.config().documentNode());
    EXPECT_EQ(index.find({"", "search-path", ""}, "").size(),
              xml::select(doc.config().documentNode(), "search-path").size());

    doc.resetReport();
    int steps = 0;
    analysis::runImportPipeline(doc, *app, [&](int, int) {
        ++steps;
        EXPECT_TRUE(walkSeesOnlyTheTree(doc.config())) << "after step " << steps;
        EXPECT_TRUE(walkSeesOnlyTheTree(doc.report())) << "after step " << steps;
    });
    EXPECT_EQ(steps, 7);
    std::vector<CQXConfigDoc2*> docs{&doc};
    doc.state = CQXConfigDoc2::kStateCompleted;
    analysis::runChecker(docs, *app, [&](int done, int) {
        if (done == 0) return;
        EXPECT_TRUE(walkSeesOnlyTheTree(doc.config()));
        EXPECT_TRUE(walkSeesOnlyTheTree(doc.report()));
    });
}

TEST(Findings, RunningTheCheckerAgainGivesTheSameFindings) {
    auto app = bundledApp();
    Opened o = openExample(*app, "FS2-CONFIG.TXT");
    auto summary = [](const std::vector<Finding>& fs) {
        std::string out;
        for (const auto& f : fs) {
            out += f.name + "|" + std::string(markName(f.mark)) + "|" + f.value + "|" +
                   std::to_string(f.line) + "|" + (f.rule ? f.rule->key : "-") + "\n";
        }
        return out;
    };
    const std::string first = summary(findings(*o.doc));
    std::vector<CQXConfigDoc2*> docs{o.doc.get()};
    analysis::runChecker(docs, *app, {});
    EXPECT_EQ(summary(findings(*o.doc)), first);
}

TEST(Findings, RecordsWithoutATrailStillReadAsFindings) {
    // A report tree from elsewhere (a test, an old tool) has records but no trail.
    auto doc = std::make_unique<CQXConfigDoc2>();
    ASSERT_TRUE(doc->config().loadString("<config/>").ok());
    ASSERT_TRUE(
        doc->report()
            .loadString("<report><details><property type='volume'><image>2</image><name>Free</name>"
                        "<value>1</value></property><property type='nonsense'><image>3</image></property>"
                        "<property type='lan'><image>9</image><name>L</name></property></details>"
                        "<check><product ID='7' checked='bad' status='good'><name>P</name></product></check>"
                        "</report>")
            .ok());
    const auto fs = findings(*doc);
    ASSERT_EQ(fs.size(), 3u);  // the record of no known kind is no finding
    EXPECT_EQ(fs[0].kind, FindingKind::Product);
    EXPECT_EQ(fs[0].mark, Mark::NotChecked);
    EXPECT_FALSE(fs[0].present);
    EXPECT_EQ(fs[1].kind, FindingKind::Volume);
    EXPECT_EQ(fs[1].mark, Mark::Bad);
    EXPECT_EQ(fs[1].line, 0u);
    EXPECT_FALSE(fs[1].rule);
    EXPECT_EQ(fs[2].mark, Mark::Information);  // a code no mark has
    EXPECT_EQ(sourceLine(*doc, fs[1].record), 0u);
}

TEST(Findings, AListRowLeadsToTheLineOfItsItem) {
    auto app = test::makeApp(R"(<rules><productgroup name="G" version="">
      <setparams name="SET Parameters"><set-param><name>B </name><condition>=</condition><value>1</value></set-param>
      </setparams></productgroup></rules>)");
    const std::string text =
        test::report("Top of SET Parameters\n* Memory *\nA = 1\nB = 2\nEnd of SET Parameters\n");
    auto doc = test::importAndComplete(text, *app);
    const auto fs = findings(*doc);
    const Finding* b = named(fs, FindingKind::SetParameter, "B ");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->line, 6u);
    EXPECT_EQ(sourceLine(*doc, b->record), 6u);
    EXPECT_EQ(sourceLine(*doc, xml::child(b->record, "value")), 6u);  // a field of the record
    const xml::Node a = xml::selectFirst(doc->config().documentNode(), "set-param[name='A ']");
    EXPECT_EQ(sourceLine(*doc, a), 5u);
    EXPECT_EQ(sourceLine(*doc, xml::child(a, "value")), 5u);
    EXPECT_EQ(sourceLine(*doc, doc->report().root()), 0u);
}

TEST(Marks, TheListIconsOfTheMarksAreTheirCodes) {
    for (Mark m : kMarks) {
        EXPECT_EQ(markOfText(std::to_string(markCode(m))), m);
        EXPECT_EQ(lists::markOfIcon(lists::markIcon(m)), m);
        EXPECT_FALSE(markName(m).empty());
    }
    EXPECT_EQ(lists::iconOfKey("bad"), lists::markIcon(Mark::Bad));
    EXPECT_EQ(lists::iconOfKey("vetoed"), lists::markIcon(Mark::NotChecked));
    EXPECT_EQ(lists::iconOfKey("no such key"), lists::markIcon(Mark::Information));
    EXPECT_FALSE(lists::markOfIcon(lists::icon::kEqual));
    EXPECT_EQ(markOfText("x"), Mark::Information);
    EXPECT_EQ(markOfText("7"), Mark::Information);
    EXPECT_GT(markWeight(Mark::Bad), markWeight(Mark::Error));
    EXPECT_GT(markWeight(Mark::Error), markWeight(Mark::Good));
}

TEST(Provenance, LinesOfItemsAndTheirFieldsSurviveSealing) {
    xml::Document d;
    xml::Node root = d.createRoot("config");
    Provenance p;
    std::vector<xml::Node> items;
    for (int i = 0; i < 500; ++i) {
        items.push_back(xml::appendElement(root, "item"));
        xml::appendElement(items.back(), "name", "n");
        // Lines go back and forth (records added to earlier containers) and jump far.
        p.add(items.back(), static_cast<std::uint32_t>(i % 7 == 0 ? 100000 + i : 1 + (i * 37) % 300));
    }
    xml::Node stray = xml::appendElement(root, "stray");
    p.seal();
    for (int i = 0; i < 500; ++i) {
        const auto want = static_cast<std::uint32_t>(i % 7 == 0 ? 100000 + i : 1 + (i * 37) % 300);
        ASSERT_EQ(p.lineOf(items[static_cast<std::size_t>(i)]), want) << i;
        ASSERT_EQ(p.lineOf(items[static_cast<std::size_t>(i)].first_child()), want) << i;
    }
    EXPECT_EQ(p.lineOf(stray), 0u);
    EXPECT_EQ(p.lineOf(root), 0u);
    EXPECT_EQ(p.lineOf(xml::Node()), 0u);
    // Noting more later keeps the first line of an item noted twice.
    p.add(items[3], 9);
    p.add(stray, 42);
    p.seal();
    EXPECT_EQ(p.lineOf(items[3]), 1 + (3 * 37) % 300u);
    EXPECT_EQ(p.lineOf(stray), 42u);
    EXPECT_EQ(p.size(), 501u);
    p.clear();
    EXPECT_EQ(p.lineOf(items[3]), 0u);
}

TEST(ReportHtml, SummaryCountsGoodModulesAndEveryAreaWithFindingsWithTheirLines) {
    auto app = bundledApp();
    Opened o = openExample(*app, "FS1-CONFIG.TXT");
    int goodModules = 0;
    std::map<FindingKind, int> perKind;
    for (const auto& f : findings(*o.doc)) {
        if (f.kind == FindingKind::Module && f.mark == Mark::Good) ++goodModules;
        ++perKind[f.kind];
    }
    ASSERT_GT(goodModules, 0);
    // The Report page's summary counts them the same way.
    const auto summary = lists::buildReportList(*o.doc, *app, lists::findReportNode(*o.doc, "summary"));
    ASSERT_FALSE(summary.rows.empty());
    EXPECT_EQ(summary.rows[0].cells[1], std::to_string(goodModules));
    const std::string page = outputs::renderCustomerReport(*o.doc, *app, outputs::RunInfo{}, 0);
    // The page's card for modules counts them the same way.
    const std::string card =
        "<h3>" + app->label("modules") + "</h3><dl><dt>" + std::to_string(goodModules) + "</dt>";
    EXPECT_NE(page.find(card), std::string::npos);
    EXPECT_GT(perKind[FindingKind::Volume], 0);
    EXPECT_NE(page.find("<h3>" + app->label("volumes") + "</h3><dl>"), std::string::npos);
    EXPECT_NE(page.find("<th>" + app->label("line") + "</th>"), std::string::npos);
    const Finding* gc = nullptr;
    const auto fs = findings(*o.doc);
    for (const auto& f : fs) {
        if (f.name == "Garbage Collection Interval") gc = &f;
    }
    ASSERT_TRUE(gc);
    EXPECT_NE(page.find("<td class=\"n\">" + std::to_string(gc->line) + "</td></tr>"), std::string::npos);
}

}  // namespace
}  // namespace qx::analysis
