#include "test_support.hpp"

#include <gtest/gtest.h>

using namespace qx;
using test::texts;

TEST(NameValueSplit, DotLeadersAndBlanks) {
    std::string name, value;
    EXPECT_TRUE(import::ImportContext::splitNameValue("Server Name.........: FS1", name, value));
    EXPECT_EQ(name, "Server Name");
    EXPECT_EQ(value, "FS1");
    EXPECT_TRUE(import::ImportContext::splitNameValue("  Server Name........:   FS1  ", name, value));
    EXPECT_EQ(name, "Server Name");
    EXPECT_EQ(value, "FS1  ");
    EXPECT_TRUE(import::ImportContext::splitNameValue("Up Time :  1: 2", name, value));
    EXPECT_EQ(name, "Up Time ");
    EXPECT_EQ(value, "1: 2");
    EXPECT_FALSE(import::ImportContext::splitNameValue(": at start", name, value));
    EXPECT_FALSE(import::ImportContext::splitNameValue("no separator:here", name, value));
}

TEST(Parameters, ServerAndSetParametersByTheirSeparators) {
    auto doc =
        test::importOnly(test::report("Top of Server Parameters\n"
                                      "Bindery: context=a.b\n"
                                      "* SET Parameters: Communications *\n"
                                      "Maximum Packet Receive Buffers = 500\n"
                                      "Minimum Packet Receive Buffers=100\n"
                                      "just words\n"
                                      "=nothing\n"));
    EXPECT_EQ(texts(doc->config(), "serverparam[name='Bindery']/value"), "context=a.b");
    auto cat = xml::select(doc->config().documentNode(), "set-category");
    ASSERT_EQ(cat.size(), 1u);
    EXPECT_EQ(xml::attribute(cat[0], "name"), "SET Parameters: Communications");
    EXPECT_EQ(texts(doc->config(), "set-param/name"),
              "Maximum Packet Receive Buffers |Minimum Packet Receive Buffers");
    EXPECT_EQ(texts(doc->config(), "set-param/value"), "500|100");
    EXPECT_EQ(xml::attribute(xml::selectFirst(doc->config().documentNode(), "setparams"), "name"),
              "Set Parameter");
    EXPECT_EQ(xml::attribute(xml::selectFirst(doc->config().documentNode(), "serverparams"), "name"),
              "Server");
}

TEST(Parameters, CategoriesFollowHeadingChanges) {
    auto doc = test::importOnly(test::report("* A *\nx = 1\ny = 2\n* B *\nz = 3\n* A *\nw = 4\n"));
    std::string cats;
    for (auto c : xml::select(doc->config().documentNode(), "set-category")) {
        cats += xml::attribute(c, "name") + "(" + std::to_string(xml::childElements(c).size()) + ")";
    }
    EXPECT_EQ(cats, "A(2)B(1)A(1)");
    EXPECT_EQ(xml::select(doc->config().documentNode(), "setparams").size(), 1u);
}

TEST(Parameters, ContainersRepeatPerBlockAndPerRun) {
    // A name-value line after SET lines of the same block lands in that setparams.
    auto doc = test::importOnly(test::report("* A *\nx = 1\nServer Up Time: 5\n* B *\nK: v\nL: w\n"));
    auto setparams = xml::selectFirst(doc->config().documentNode(), "setparams");
    EXPECT_EQ(xml::text(xml::selectFirst(setparams, "serverparam/name")), "Server Up Time");
    // Every heading block of name-value lines gets its own serverparams.
    EXPECT_EQ(xml::select(doc->config().documentNode(), "serverparams").size(), 2u);
    EXPECT_EQ(texts(doc->config(), "serverparams/serverparam/name"),
              "Orvane File Server Configuration Report For Server|K|L");
}

TEST(Parameters, FirstSetLinesWithoutHeadingAreKept) {
    auto doc = test::importOnly(test::report("x = 1\n"));
    auto cat = xml::select(doc->config().documentNode(), "set-category");
    ASSERT_EQ(cat.size(), 1u);
    EXPECT_EQ(xml::attribute(cat[0], "name"), "");
    EXPECT_EQ(texts(doc->config(), "set-param/value"), "1");
}

TEST(DocumentTitle, OldAndNewNames) {
    auto oldDoc = test::importOnly(
        "Orvane File Server Configuration Report For Server: FS1\n"
        "Report by CONFIG.QXK v2.02]\n"
        "Orvane File Server Configuration Report Created: Mon Mar 1 2004\n"
        "Server name: FS1\nOS Version: 6\nOS revision number: 5\nProduct Version: 9\n");
    EXPECT_EQ(oldDoc->buildTitle(), "FS1 6.5 Mon Mar 1 2004");
    auto newDoc = test::importOnly(
        "Orvane File Server Configuration Report For Server: FS1\n"
        "Report by CONFIG.QXK v2.10]\n"
        "Orvane File Server Configuration Report Created: Mon Mar 1 2004\n"
        "Server Name: FS2\nOS Version: 6\nProduct Version: 7\nProduct Revision Number: 01\n");
    EXPECT_EQ(newDoc->buildTitle(), "FS2 7.01 Mon Mar 1 2004");
}

TEST(ValueLookup, JoinsValuesOfEveryRecordWithTheName) {
    CQXConfigDoc2 doc;
    ASSERT_TRUE(
        doc.config()
            .loadString(
                "<config><serverparams><serverparam><name>A</name><value>1 </value></serverparam>"
                "<serverparam><name>A</name><value>2</value></serverparam></serverparams>"
                "<volumes><volume name='SYS'><property><name>Free</name><value>10</value></property></volume>"
                "<volume "
                "name='VOL1'><property><name>Free</name><value>20</value></property></volume></volumes>"
                "<modules><loaded-modules><module><name>X.QXK</name><version>1.0</version><date>Jan12004</"
                "date>"
                "<description>d</description></module></loaded-modules></modules>"
                "<products><product><id>TRLM</id><version>8.7</version></product></products>"
                "<zrd><tree-name>T</tree-name><version>10</version></zrd></config>")
            .ok());
    EXPECT_EQ(doc.valueByName("serverparam", "A"), "1  2");
    EXPECT_EQ(doc.valueByName("volume", "Free"), "SYS:10 VOL1:20");
    EXPECT_EQ(doc.valueByName("module", "X.QXK"), "1.0 Jan12004");
    EXPECT_EQ(doc.valueByName("product", "TRLM"), "8.7");
    EXPECT_EQ(doc.valueByName("zrd", "ignored"), "10");
    EXPECT_EQ(doc.valueByName("serverparam", "missing"), "");
    EXPECT_EQ(doc.valueByName("serverparam", "it's \\ odd"), "");
}
