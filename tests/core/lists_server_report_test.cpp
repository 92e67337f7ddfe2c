#include "lists_test_support.hpp"

#include "lists/report_keys.hpp"
#include "lists/server_report.hpp"

using namespace qx;
using lists::buildServerReport;
using test::docFromXml;
using test::rowWithCaption;

namespace {

std::string serverParams(const std::string& params) {
    return "<config><serverparams name=\"Server\">" + params + "</serverparams></config>";
}

std::string param(const std::string& name, const std::string& value) {
    return "<serverparam><name>" + name + "</name><value>" + value + "</value></serverparam>";
}

int currentCacheIcon(const std::string& base, const std::string& current) {
    auto app = test::makeApp();
    auto doc = docFromXml(
        serverParams(param("Original Cache Buffers", base) + param("Current cache buffers", current)));
    auto m = buildServerReport(*doc, *app);
    const auto* r = rowWithCaption(m, "Current Cache Buffers");
    EXPECT_NE(r, nullptr);
    return r ? r->icon : -1;
}

}  // namespace

TEST(ServerReport, CacheBufferIcon) {
    EXPECT_EQ(currentCacheIcon("1000", "600"), 33);
    EXPECT_EQ(currentCacheIcon("1000", "400"), lists::icon::kBad);
    EXPECT_EQ(currentCacheIcon("1000", "700"), lists::iconOfKey("file-groups"));
    EXPECT_EQ(currentCacheIcon("1000", "1000"), lists::iconOfKey("file-groups"));
    EXPECT_EQ(currentCacheIcon("", ""), lists::iconOfKey("file-groups"));  // no figures: no warning
}

TEST(ServerReport, LayoutOrderAndCuts) {
    auto app = test::makeApp();
    const std::string longText(600, 'x');
    auto doc = docFromXml(
        "<config><creator>CONFIG.QXK</creator><command-line> /a</command-line>"
        "<created>now</created><serverparams name=\"Server\">" +
        param("Server Name", "FS1") + param("Product Version", "6") + param("Product Revision Number", "50") +
        param("UpTime", longText) + "</serverparams></config>");
    auto m = buildServerReport(*doc, *app);
    ASSERT_EQ(m.columns.size(), 11u);
    EXPECT_EQ(m.columns[0].width, 200);
    EXPECT_EQ(m.columns[3].width, 500);
    for (const auto& c : m.columns) EXPECT_EQ(c.header, "");
    ASSERT_GE(m.rows.size(), 4u);
    EXPECT_EQ(m.rows[0].cells[0], "CONFIG.QXK  /a");
    EXPECT_EQ(m.rows[0].icon, lists::iconOfKey("configqxk"));
    EXPECT_EQ(m.rows[0].cells[1], "now");
    EXPECT_EQ(m.rows[1].icon, lists::iconOfKey("space"));
    EXPECT_EQ(m.rows[2].cells[1], "6.50");
    EXPECT_EQ(m.rows[3].icon, lists::iconOfKey("uptime"));
    EXPECT_EQ(m.rows[3].cells[1].size(), 200u);  // cut to the column's 200 characters
    // The last block is the abend header.
    EXPECT_EQ(m.rows.back().icon, lists::iconOfKey("abend"));
    EXPECT_EQ(m.rows.back().cells[1], "EIP");
}

TEST(ServerReport, GeneratorRowOnlyWithCaption) {
    auto app = test::makeApp();
    auto doc = docFromXml("<config><created>now</created></config>");
    auto m = buildServerReport(*doc, *app);
    EXPECT_EQ(m.rows[0].icon, lists::iconOfKey("space"));
}

TEST(ServerReport, PartitionReplicasAndMessages) {
    auto app = test::makeApp();
    test::addMessages(*app, {"errorreplica", "errornomaster", "errorreplicanoon", "memory"});
    auto replica = [](const char* type, const char* state) {
        return std::string("<replica><server>S</server><type>") + type + "</type><state>" + state +
               "</state><number>1</number></replica>";
    };
    auto doc = docFromXml(
        "<config><zrd name=\"zrd\"><tree-name>TREE</tree-name><file-groups/><partitions>"
        "<partition name=\"A\"><name>A</name><type>Master</type><state>On</state>" +
        replica("Master", "On") + replica("Read/Write", "On") +
        "</partition><partition name=\"B\"><name>B</name><TYPE>Read/Write</TYPE>" + replica("Master", "On") +
        replica("Read/Write", "On") + replica("Read-Only", "On") +
        "</partition><partition name=\"C\"><name>C</name><type>Master</type>" + replica("Read/Write", "Off") +
        "</partition></partitions></zrd></config>");
    auto m = buildServerReport(*doc, *app);
    const auto* a = rowWithCaption(m, app->label("replicacount") + " 2");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->icon, lists::iconOfKey("partitionbad"));
    EXPECT_EQ(a->messages, std::vector<std::string>({"errorreplica"}));
    const auto* b = rowWithCaption(m, app->label("replicacount") + " 3");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->icon, lists::icon::kGood);
    EXPECT_TRUE(b->messages.empty());
    const auto* c = rowWithCaption(m, app->label("replicacount") + " 1 No On  No Master ");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->messages, std::vector<std::string>({"errorreplicanoon", "errornomaster", "errorreplica"}));
    EXPECT_EQ(rowWithCaption(m, "Master")->cells[1], "2");
    EXPECT_EQ(rowWithCaption(m, "Read/Write")->cells[1], "1");  // type read without regard to case
    EXPECT_EQ(rowWithCaption(m, "Original Cache Buffers")->messages, std::vector<std::string>({"memory"}));
    EXPECT_EQ(rowWithCaption(m, app->label("treename"))->cells[1], "TREE");
}

TEST(ServerReport, DatabaseSizes) {
    auto app = test::makeApp();
    auto doc = docFromXml(
        "<config><zrd><file-groups>"
        "<file-group><pattern>*.NDS</pattern><count>3</count><size>(3145728 bytes)</size></file-group>"
        "<file-group><pattern>*.OLD</pattern><count>1</count><size>2097152 bytes</size></file-group>"
        "</file-groups><partitions/></zrd></config>");
    auto m = buildServerReport(*doc, *app);
    const auto* dib = rowWithCaption(m, "DIB size");
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->cells[1], "3 MByte");
    EXPECT_EQ(dib->icon, lists::icon::kBad);
    EXPECT_EQ(rowWithCaption(m, "Old DIB size")->cells[1], "2 MByte");
    // Without file groups no size rows at all.
    auto none = buildServerReport(*docFromXml("<config/>"), *app);
    EXPECT_EQ(rowWithCaption(none, "DIB size"), nullptr);
}

TEST(ServerReport, SharedInterruptsMarkedBothRows) {
    auto app = test::makeApp();
    auto device = [](const char* driver, const char* irq) {
        std::string d = std::string("<device name=\"d\"><property><name>Driver name</name><value>") + driver +
                        "</value></property>";
        if (*irq) d += std::string("<property><name>Interrupt 0</name><value>") + irq + "</value></property>";
        return d + "</device>";
    };
    auto lan = [](const char* name, const char* irq, const char* node) {
        return std::string("<lan name=\"") + name + "\"><property><name>IRQ</name><value>" + irq +
               "</value></property><property><name>Slot</name><value>1</value></property>"
               "<property><name>Node Address</name><value>" +
               node + "</value></property></lan>";
    };
    auto doc =
        docFromXml("<config><devices>" + device("A.HAM", "5") + device("B.HAM", "5") + device("C.HAM", "7") +
                   device("D.HAM", "") + device("E.HAM", "") + "</devices><lans>" + lan("B_EII", "9", "00A") +
                   lan("B_E82", "9", "00A") + lan("C_EII", "7", "00C") + "</lans></config>");
    auto m = buildServerReport(*doc, *app);
    std::vector<int> icons;
    for (const auto& r : m.rows) {
        if (r.cells.size() > 1 &&
            (r.cells[1].find(".HAM") != std::string::npos || r.cells[1].find("_E") != std::string::npos)) {
            icons.push_back(r.icon);
        }
    }
    const int bad2 = lists::iconOfKey("bad2");
    const int plain = lists::iconOfKey("intnumber");
    // Devices without an interrupt share none; two frame types of one LAN board are one
    // driver; a LAN board on a device's interrupt is a conflict.
    EXPECT_EQ(icons, std::vector<int>({bad2, bad2, bad2, plain, plain, plain, plain, bad2}));
}

TEST(ServerReport, VolumePercentagesAndIcons) {
    auto app = test::makeApp();
    auto volume = [](const char* name, const char* size, const char* free, const char* purgable) {
        return std::string("<volume name=\"") + name + "\"><property><name>Volume Size</name><value>" + size +
               " MBytes</value></property><property><name>Free Disk Space</name><value>" + free +
               " MBytes</value></property><property><name>Purgable Disk Space</name><value>" + purgable +
               " MBytes</value></property><property><name>Name Space "
               "Loaded</name><value>DOS</value></property>"
               "<property><name>Name Space Loaded</name><value>LONG</value></property></volume>";
    };
    auto doc = docFromXml("<config><volumes>" + volume("LOW", "1000", "50", "0") +
                          volume("PURGE", "1000", "50", "120") + volume("OK", "1000", "500", "0") +
                          volume("ZERO", "0", "0", "0") + volume("KFS_ADMIN", "1", "0", "0") +
                          volume("_ADMIN", "1", "0", "0") + "</volumes></config>");
    auto m = buildServerReport(*doc, *app);
    ASSERT_NE(rowWithCaption(m, "LOW"), nullptr);
    EXPECT_EQ(rowWithCaption(m, "LOW")->icon, lists::icon::kBad);
    EXPECT_EQ(rowWithCaption(m, "LOW")->cells[3], "5.00%");
    EXPECT_EQ(rowWithCaption(m, "LOW")->cells[7], "DOS LONG");
    EXPECT_EQ(rowWithCaption(m, "PURGE")->icon, lists::icon::kInformation);
    EXPECT_EQ(rowWithCaption(m, "OK")->icon, lists::iconOfKey("volume"));
    EXPECT_EQ(rowWithCaption(m, "ZERO")->icon, lists::iconOfKey("volume"));
    EXPECT_EQ(rowWithCaption(m, "ZERO")->cells[3], "");
    EXPECT_EQ(rowWithCaption(m, "KFS_ADMIN"), nullptr);
    EXPECT_EQ(rowWithCaption(m, "_ADMIN"), nullptr);
}

TEST(ServerReport, FindingsBlocks) {
    auto app = test::makeApp();
    test::addMessages(*app, {"errorserverparam", "setparamsrequired"});
    auto doc = docFromXml(
        "<config/>",
        "<report><details>"
        "<property type=\"serverparam\"><image>2</image><type>Config</type><rules>R</rules>"
        "<name>N</name><condition>equal</condition><value>V</value></property>"
        "<property type=\"serverparam\"><image>3</image><name>GOOD</name></property>"
        "<property "
        "type=\"set-param\"><image>2</image><icon>2</icon><name>S2</name><value>x</value></property>"
        "<property "
        "type=\"set-param\"><image>3</image><icon>0</icon><name>S0</name><value>y</value></property>"
        "</details><abend/></report>");
    auto m = buildServerReport(*doc, *app);
    const auto* sp = rowWithCaption(m, "N equal V R Config");
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(sp->icon, lists::icon::kBad);
    EXPECT_EQ(sp->messages, std::vector<std::string>({"errorserverparam"}));
    EXPECT_EQ(rowWithCaption(m, "GOOD    "), nullptr);  // only Bad findings are listed
    EXPECT_EQ(rowWithCaption(m, "S2")->icon, 35);
    EXPECT_EQ(rowWithCaption(m, "S2")->messages, std::vector<std::string>({"setparamsrequired"}));
    EXPECT_EQ(rowWithCaption(m, "S0")->icon, 33);
    EXPECT_TRUE(rowWithCaption(m, "S0")->messages.empty());  // no table entry: no message
}

TEST(ServerReport, TextReport) {
    auto app = test::makeApp();
    auto doc = docFromXml("<config/>");
    doc->title = "FS1 6.50 Report x";
    auto r = lists::buildTextReport(*doc, *app, 0);
    EXPECT_EQ(r.title, "FS1 6.50 Report x");
    EXPECT_EQ(r.text.rfind("Report generated:", 0), 0u);
    EXPECT_EQ(r.text.substr(r.text.size() - 2), "\r\n");
    EXPECT_NE(r.text.find("1970"), std::string::npos);
}
