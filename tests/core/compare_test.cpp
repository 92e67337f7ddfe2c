#include "lists_test_support.hpp"

#include "compare/compare_list.hpp"
#include "compare/server_compare.hpp"

#include <map>

using namespace qx;
using compare::CompareOptions;
using compare::compareServers;

namespace {

std::unique_ptr<CQXConfigDoc2> server(const std::string& name, const std::string& body) {
    return test::docFromXml(
        "<config><serverparams name=\"Server\"><serverparam><name>Server Name</name><value>" + name +
        "</value></serverparam></serverparams>" + body + "</config>");
}

std::string setParam(const std::string& name, const std::string& value) {
    return "<set-param><name>" + name + "</name><value>" + value + "</value></set-param>";
}

std::string volume(const std::string& name, const std::string& props) {
    return "<volumes><volume name=\"" + name + "\">" + props + "</volume></volumes>";
}

std::string prop(const std::string& name, const std::string& value) {
    return "<property><name>" + name + "</name><value>" + value + "</value></property>";
}

CompareOptions only(const char* type) {
    CompareOptions o;
    o.set(type);
    return o;
}

const compare::CompareLine* line(const compare::CompareResult& r, const std::string& name) {
    for (const auto& l : r.lines) {
        if (l.name == name) return &l;
    }
    return nullptr;
}

}  // namespace

TEST(Compare, EveryOptionNameSetsItsOwnOption) {
    for (const char* name : compare::kOptionNames) {
        CompareOptions o;
        EXPECT_TRUE(o.set(name)) << name;
        for (const char* other : compare::kOptionNames) EXPECT_EQ(o.has(other), other == name) << name;
    }
    EXPECT_FALSE(CompareOptions::all().has("nonsense"));
}

TEST(Compare, StatusRule) {
    auto app = test::makeApp();
    auto base = server("B", "<setparams><set-category name=\"c\">" + setParam("Bindery Context", "O=Acme") +
                                setParam("Same", "1") + setParam("Gone", "x") + setParam("Mixed", "1") +
                                setParam("Empty", "1") + "</set-category></setparams>");
    auto a = server("A", "<setparams><set-category name=\"c\">" + setParam("bindery context", "o=acme") +
                             setParam("Same", "1") + setParam("Mixed", "2") + setParam("Empty", "1") +
                             "</set-category></setparams>");
    auto c =
        server("C", "<setparams><set-category name=\"c\">" + setParam("Same", "1") + setParam("Mixed", "1") +
                        setParam("Empty", "") + setParam("Only here", "1") + "</set-category></setparams>");
    auto r = compareServers(*base, {base.get(), a.get(), c.get()}, *app, only("setparams"));
    ASSERT_EQ(r.serverTitles.size(), 2u);  // the base is never compared with itself
    ASSERT_EQ(r.lines.size(), 5u);         // values only the others have are not shown
    EXPECT_EQ(line(r, "Bindery Context")->status,
              compare::kStatusNotEqual);  // found without case, compared with
    EXPECT_EQ(line(r, "Same")->status, compare::kStatusEqual);
    EXPECT_EQ(line(r, "Gone")->status, compare::kStatusNone);
    EXPECT_EQ(line(r, "Gone")->values, std::vector<std::string>({"x", "", ""}));
    EXPECT_EQ(line(r, "Mixed")->status, compare::kStatusNotEqual);  // a later equal server does not undo it
    EXPECT_EQ(line(r, "Empty")->status, compare::kStatusNone);      // the last server's empty value decides
    EXPECT_EQ(line(r, "Same")->path, app->label("config") + "->" + app->label("setparams") + "->c");
    // Sorted once, without regard to case.
    EXPECT_EQ(r.lines[0].name, "Bindery Context");
    EXPECT_EQ(r.lines[1].name, "Empty");
}

TEST(Compare, TreeImagesReachAncestors) {
    auto app = test::makeApp();
    auto base =
        server("B", volume("SYS", prop("Size", "1") + prop("Free", "1")) + volume("VOL1", prop("Size", "1")));
    auto other =
        server("O", volume("SYS", prop("Size", "2") + prop("Free", "1")) + volume("VOL1", prop("Size", "1")));
    auto r = compareServers(*base, {other.get()}, *app, only("volumes"));
    std::map<std::string, std::string> images;
    for (const auto& n : r.tree) images[n.text] = n.image;
    EXPECT_EQ(images["SYS"], "notequal");
    EXPECT_EQ(images["VOL1"], "equal");
    EXPECT_EQ(images[app->label("config")], "notequal");  // equal VOL1 after it does not undo it
    EXPECT_EQ(images[app->label("volumes")], "notequal");
    ASSERT_FALSE(r.tree.empty());
    EXPECT_EQ(r.tree[0].parent, -1);
    EXPECT_EQ(r.tree[0].text, app->label("config"));
}

TEST(Compare, MissingVolumePropertyKeepsInformation) {
    auto app = test::makeApp();
    auto base = server("B", volume("SYS", prop("Free", "1")));
    auto other = server("O", volume("SYS", ""));
    auto r = compareServers(*base, {other.get()}, *app, only("volumes"));
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0].status, compare::kStatusNone);
    EXPECT_FALSE(r.lines[0].present[1]);
    EXPECT_EQ(r.tree.back().image, "informations");
    EXPECT_EQ(compare::lineText(r.lines[0]),
              std::string("  0\xF0") + r.lines[0].path + "\xF0" + "Free\xF0" + "1\xF0\xF0");
}

TEST(Compare, EntriesCutToTheirSlotAndAllocatedMemory) {
    auto app = test::makeApp();
    auto base =
        server("B",
               "<modules><loaded-modules><module><name>M.QXK</name><version>1</version>"
               "<date>d</date><allocated-memory>100</allocated-memory></module></loaded-modules></modules>" +
                   volume("V", prop(std::string(600, 'n'), "v")));
    auto entries = compare::collectEntries(*base, *app, CompareOptions::all());
    bool sawCut = false;
    for (const auto& e : entries) {
        const std::size_t chars = e.path.size() + e.name.size() + e.value.size() + (e.value.empty() ? 1 : 2);
        EXPECT_LE(chars, compare::kEntryLimit);
        if (e.name.size() > 400) sawCut = true;
    }
    EXPECT_TRUE(sawCut);
    auto other =
        server("O",
               "<modules><loaded-modules><module><name>M.QXK</name><version>1</version><date>d</date>"
               "<allocated-memory>100</allocated-memory></module></loaded-modules></modules>");
    auto r = compareServers(*base, {other.get()}, *app, only("allocationmemory"));
    ASSERT_EQ(r.lines.size(), 1u);
    // The path holds the server's own name, so differently named servers never share it.
    EXPECT_EQ(r.lines[0].path, app->label("config") + "->" + app->label("allocatedmemory") + "->B");
    EXPECT_EQ(r.lines[0].status, compare::kStatusNone);
    auto modules = compareServers(*base, {other.get()}, *app, only("modules"));
    ASSERT_EQ(modules.lines.size(), 1u);
    EXPECT_EQ(modules.lines[0].values[0], "1 d");
    EXPECT_EQ(modules.lines[0].status, compare::kStatusEqual);
}

TEST(Compare, ListTextAndUptime) {
    auto app = test::makeApp();
    auto base = server("B", "");
    auto other = server("O", "");
    auto r = compareServers(*base, {other.get()}, *app, only("serverparams"));
    const std::string text = compare::compareListText(r, *app, "\r\n");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), app->label("types") + "\t" + app->label("name") + "\tB\tO");
    EXPECT_NE(text.find("\tServer Name\tB\tO\r\n"), std::string::npos);

    auto dated = test::docFromXml("<config><created>Rep 03/01/2004 10:15:32 PM</created></config>");
    EXPECT_EQ(compare::creationTimeText(*dated), "22:15 Monday, March 01, 2004");
    auto odd = test::docFromXml("<config><created>Rep whenever</created></config>");
    EXPECT_EQ(compare::creationTimeText(*odd), "whenever");
    auto d = compare::buildUptimeDisplay({base.get(), other.get()}, *app);
    EXPECT_EQ(d.headers.size(), 3u);
    EXPECT_EQ(d.rows[0].cells[0], " UpTime");
}

TEST(Compare, WindowListsOfANode) {
    auto app = test::makeApp();
    auto base = server("B", volume("SYS", prop("Size", "1")) + volume("SYS2", prop("Size", "1")));
    auto other = server("O", volume("SYS", prop("Size", "2")));
    auto r = compareServers(*base, {other.get()}, *app, only("volumes"));
    int sys = -1;
    for (std::size_t i = 0; i < r.tree.size(); ++i) {
        if (r.tree[i].text == "SYS") sys = static_cast<int>(i);
    }
    ASSERT_GE(sys, 0);
    auto m = compare::compareList(r, *app, compare::nodePath(r, sys));
    // The node lists its own path and the paths below it, not the sibling "SYS2".
    ASSERT_EQ(m.rows.size(), 1u);
    EXPECT_EQ(m.rows[0].icon, compare::kStatusNotEqual);
    EXPECT_EQ(m.rows[0].cells, std::vector<std::string>({"Size", "1", "2"}));
    EXPECT_EQ(m.columns[1].header, "B");
    EXPECT_FALSE(compare::showsUptime(r, sys, *app));
    EXPECT_EQ(compare::nodeIcon(r.tree[static_cast<std::size_t>(sys)]), compare::kStatusNotEqual);
    const auto full = compare::fullCompareList(r, *app);
    EXPECT_EQ(full.rows.size(), 2u);
    // The window's copy of the full list is the command line's text.
    EXPECT_EQ(compare::listText(full, "\r\n"), compare::compareListText(r, *app, "\r\n"));
    EXPECT_EQ(compare::listText(m, "\n"), app->label("name") + "\tB\tO\nSize\t1\t2\n");
}

TEST(Compare, ProgressStepsOncePerDocumentAndUptimeListsTheNode) {
    auto app = test::makeApp();
    auto base = server("B",
                       "<loaded-modules><module><name>A.QXK</name><allocated-memory>12</allocated-memory>"
                       "</module></loaded-modules>");
    auto o1 = server("O1", "");
    auto o2 = server("O2", "");
    std::vector<std::pair<int, int>> steps;
    auto r = compareServers(*base, {o1.get(), o2.get()}, *app, only("allocationmemory"),
                            [&](int done, int all) { steps.emplace_back(done, all); });
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), std::make_pair(0, 4));
    EXPECT_EQ(steps.back(), std::make_pair(4, 4));
    for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_LT(steps[i - 1].first, steps[i].first);
    int node = -1;
    for (std::size_t i = 0; i < r.tree.size(); ++i) {
        if (r.tree[i].text == "B") node = static_cast<int>(i);
    }
    ASSERT_GE(node, 0);
    ASSERT_TRUE(compare::showsUptime(r, node, *app));
    const auto d = compare::buildUptimeDisplay({base.get(), o1.get()}, *app);
    const auto list = compare::uptimeList(r, d, compare::nodePath(r, node));
    ASSERT_EQ(list.columns.size(), 3u);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0].cells[0], " UpTime");
    EXPECT_EQ(list.rows[1].cells, std::vector<std::string>({"A.QXK", "12", ""}));
}
