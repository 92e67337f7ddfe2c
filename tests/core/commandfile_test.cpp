#include "lists_test_support.hpp"

#include "commandfile/command_file.hpp"

using namespace qx;
using commandfile::buildCommandFile;
using commandfile::CommandFileOptions;

namespace {

std::string setParam(const std::string& name, const std::string& value, const std::string& type) {
    std::string s = "<set-param><name>" + name + "</name><value>" + value + "</value>";
    if (!type.empty()) s += "<type>" + type + "</type>";
    return s + "</set-param>";
}

// Two products in one group, the second with a `requireds` list; a list directly in the group.
const std::string kRules =
    "<rules><productgroup name=\"G\">"
    "<product ID=\"1\" name=\"P\"><setparams name=\"s\">" +
    setParam("A", "1", "1") + setParam("N", "", "") + "</setparams></product>" +
    "<product ID=\"2\" name=\"Q\"><setparams name=\"s\">" + setParam("B", "2", "1") +
    setParam("R", "r", "2") + "</setparams><requireds><setparams>" + setParam("C", "3", "1") +
    "</setparams></requireds></product>" + "<product ID=\"3\" name=\"Absent\"><setparams>" +
    setParam("X", "x", "1") + "</setparams></product>" + "<setparams>" + setParam("D", "4", "3") +
    "</setparams></productgroup></rules>";

std::unique_ptr<CQXConfigDoc2> server() {
    return test::docFromXml(
        "<config><serverparams><serverparam><name>Server "
        "Name</name><value>FS9</value></serverparam></serverparams></config>");
}

bool activeUnlessAbsent(xml::Node item) {
    return xml::attribute(item.parent().parent(), "name") != "Absent";
}

}  // namespace

TEST(CommandFile, AllThreePassesByteExact) {
    auto app = test::makeApp(kRules);
    auto doc = server();
    auto file = buildCommandFile(*doc, *app, {}, activeUnlessAbsent);
    EXPECT_EQ(file.title, "FS9.qxs");
    const std::string inProduct = "-> " + app->label("rules") + " -> " + app->label("productgroup") + " -> " +
                                  app->label("product") + " -> " + app->label("setparams");
    const std::string inRequireds = "-> " + app->label("rules") + " -> " + app->label("productgroup") +
                                    " -> " + app->label("product") + " -> " + app->label("requireds") +
                                    " -> " + app->label("setparams");
    const std::string inGroup =
        "-> " + app->label("rules") + " -> " + app->label("productgroup") + " -> " + app->label("setparams");
    const std::string expected =
        "# RPK \r\n\r\n"
        "\r\n# " +
        inProduct +
        " \r\n\r\n"
        "SET N =  \r\n"
        "\r\n# " +
        inGroup +
        " \r\n\r\n"
        "SET D = 4 \r\n"
        "\r\n# beta \r\n\r\n"
        "\r\n# " +
        inProduct +
        " \r\n\r\n"
        "SET A = 1 \r\n"
        "SET B = 2 \r\n"
        "\r\n# " +
        inRequireds +
        " \r\n\r\n"
        "SET C = 3 \r\n"
        "\r\n# public \r\n\r\n"
        "\r\n# " +
        inProduct +
        " \r\n\r\n"
        "SET R = r \r\n";
    EXPECT_EQ(file.text, expected);
}

TEST(CommandFile, OnlyRecommendedStartsWithEmptyLine) {
    auto app = test::makeApp(kRules);
    auto file = buildCommandFile(*server(), *app, CommandFileOptions{false, true, false}, activeUnlessAbsent);
    EXPECT_EQ(file.text.rfind("\r\n# beta \r\n\r\n", 0), 0u);
    EXPECT_EQ(file.text.find("SET X"), std::string::npos);  // rule of an absent product
    EXPECT_EQ(file.text.find("SET R"), std::string::npos);
}

TEST(CommandFile, NothingCheckedOrNoRules) {
    auto app = test::makeApp(kRules);
    EXPECT_EQ(buildCommandFile(*server(), *app, {false, false, false}, activeUnlessAbsent).text, "");
    auto empty = test::makeApp();
    auto file = buildCommandFile(*server(), *empty, {}, activeUnlessAbsent);
    EXPECT_EQ(file.text, "");
    EXPECT_EQ(file.title, "FS9.qxs");
}

TEST(CommandFile, LocationLabelOfConfigurationNodes) {
    auto app = test::makeApp();
    auto doc = test::docFromXml(
        "<config><volumes><volume name=\"SYS\"><property><name>x</name></property></volume>"
        "</volumes></config>");
    xml::Node property = xml::selectFirst(doc->config().documentNode(), "property");
    // No separator after `config`; `volumes` adds the item's name; a `volume` parent adds nothing.
    EXPECT_EQ(commandfile::locationLabel(property, *app), app->label("config") + " -> SYS");
    EXPECT_EQ(commandfile::locationLabel({}, *app), "");
}
