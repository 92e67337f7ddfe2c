// Condition evaluation: the date reader, version normalisation and evaluateRule by kind.
#include "analysis/date_reader.hpp"
#include "analysis/evaluate_rule.hpp"
#include "xml/xml_document.hpp"

#include <gtest/gtest.h>

namespace qx::analysis {
namespace {

std::int64_t day(int y, int m, int d) {
    return *readUsDate(std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y));
}

TEST(DateReader, ReadsUnitedStatesSpellings) {
    const std::int64_t mar1 = day(2004, 3, 1);
    EXPECT_EQ(readUsDate("Mar 1 2004"), mar1);
    EXPECT_EQ(readUsDate("march 1, 2004"), mar1);
    EXPECT_EQ(readUsDate("MARCH1,2004"), mar1);  // module lines join the date words
    EXPECT_EQ(readUsDate("03-01-2004"), mar1);
    EXPECT_EQ(readUsDate("  3/1/2004  "), mar1);
    EXPECT_EQ(readUsDate("Monday, March 1, 2004"), mar1);
    EXPECT_EQ(readUsDate("March 1, 2004 10:15:32"), mar1 + 10 * 3600 + 15 * 60 + 32);
    EXPECT_EQ(readUsDate("3/1/2004 7:05 PM"), mar1 + 19 * 3600 + 5 * 60);
    EXPECT_EQ(readUsDate("3/1/2004 12:00 AM"), mar1);
    EXPECT_EQ(readUsDate("Feb.3,2004"), day(2004, 2, 3));
    EXPECT_EQ(readUsDate("Sept 9 1999"), day(1999, 9, 9));
    EXPECT_EQ(readUsDate("Feb 29 2004"), day(2004, 2, 29));
    EXPECT_EQ(readUsDate(""), 0);
    EXPECT_EQ(readUsDate("  , . "), 0);
    EXPECT_EQ(readUsDate("1/1/1900"), 0);
    EXPECT_LT(*readUsDate("Dec 31 2003"), *readUsDate("Jan 1 2004"));
    EXPECT_EQ(day(1970, 1, 1), 25567LL * 86400);
}

TEST(DateReader, RejectsWhatItCannotRead) {
    for (const char* bad : {"Mar 32 2004",
                            "13/1/2004",
                            "0/1/2004",
                            "3/0/2004",
                            "3/1/04",
                            "Mar 1 04",
                            "Feb 29 2003",
                            "Feb 30 2004",
                            "1 March 2004",
                            "2004-03-01",
                            "Mar 1 2004 25:00",
                            "Mar 1 2004 10:60",
                            "Mar 1 2004 13:00 PM",
                            "Mar 1 2004 xyz",
                            "Marc 1 2004",
                            "unknown",
                            "10:15",
                            "Mar 1",
                            "3/1/2004 10",
                            "Mar 1 2004 10:15:",
                            "12345/1/2004",
                            "Mar 1 2004!"}) {
        EXPECT_FALSE(readUsDate(bad).has_value()) << bad;
    }
}

TEST(DateReader, SurvivesArbitraryBytes) {
    std::string s;
    unsigned x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245 + 12345;
        s.push_back(static_cast<char>(x >> 16));
        if (s.size() > 40) s.erase(0, 7);
        (void)readUsDate(s);  // must neither crash nor throw
    }
    EXPECT_FALSE(readUsDate(std::string("Mar 1 2004\0x", 12)).has_value());
}

TEST(ModuleVersion, NormalisesPrefixAndTrailingLetter) {
    EXPECT_EQ(normaliseModuleVersion("5.70c").version, "5.7002");
    EXPECT_EQ(normaliseModuleVersion("5.70c").base, "5.70");
    EXPECT_EQ(normaliseModuleVersion("v5.70").version, "5.70");
    EXPECT_EQ(normaliseModuleVersion("V5.70Z").version, "5.7025");
    EXPECT_EQ(normaliseModuleVersion("5.70-").version, "5.70");
    EXPECT_EQ(normaliseModuleVersion("").version, "");
    EXPECT_EQ(normaliseNumberText("CONNECTION OFF 16 MBytes 3 MIN 2 SEC"), "C1NECTI1 2 16  3  2 ");
}

struct Case {
    const char* name;
    const char* rule;  // rule item XML
    const char* item;  // configuration item XML
    int expected;
};

class EvaluateRule : public ::testing::TestWithParam<Case> {};

TEST_P(EvaluateRule, GivesTheOutcome) {
    const Case& c = GetParam();
    xml::Document rule, item;
    ASSERT_TRUE(rule.loadString(c.rule).ok()) << c.name;
    ASSERT_TRUE(item.loadString(c.item).ok()) << c.name;
    EXPECT_EQ(evaluateRule(rule.root(), item.root()), c.expected) << c.name;
}

#define SP(op, v) \
    "<serverparam><name>Server Name</name><condition>" op "</condition><value>" v "</value></serverparam>"
#define SET(name, op, v) \
    "<set-param><name>" name "</name><condition>" op "</condition><value>" v "</value></set-param>"
#define VAL(tag, v) "<" tag "><name>x</name><value>" v "</value></" tag ">"
#define MOD(ver, vop, date, dop)                                                  \
    "<module><name>A.QXK</name><version>" ver "</version><version_condition>" vop \
    "</version_condition><date>" date "</date><date_condition>" dop "</date_condition></module>"
#define CMOD(ver, date) "<module><name>A.QXK</name><version>" ver "</version><date>" date "</date></module>"

const Case kCases[] = {
    {"server name equal", SP("=", "FS1"), VAL("serverparam", "FS1"), 3},
    {"server name case counts", SP("=", "FS1"), VAL("serverparam", "fs1"), 2},
    {"server numbers", SP("&gt;=", "1000"), VAL("serverparam", "1048576 KB"), 3},
    {"server number vs text", SP("=", "0"), VAL("serverparam", "abc"), 2},
    {"set ON is 1", SET("X", "&gt;=", "2"), VAL("set-param", "ON"), 2},
    {"set OFF is 2", SET("X", "=", "OFF"), VAL("set-param", "OFF"), 3},
    {"set MBytes removed", SET("X", "=", "16 MBytes"), VAL("set-param", "16"), 3},
    {"set MBYTES still reads 16", SET("X", "=", "16 MBytes"), VAL("set-param", "16 MBYTES"), 3},
    {"set MIN removed", SET("X", "&lt;", "20"), VAL("set-param", "15 MIN"), 3},
    {"set texts are numbers", SET("X", "=", "abc"), VAL("set-param", "xyz"), 3},
    {"set decimal", SET("X", "&gt;", "3.2"), VAL("set-param", "3.3 SEC"), 3},
    {"RVP as text", SET("RVP Protocol Preferences", "=", "IP"), VAL("set-param", "IPX"), 2},
    {"RVP text equal", SET("RVP Protocol Preferences", "=", "IP"), VAL("set-param", "IP"), 3},
    {"volume megabytes", "<volume><condition>&gt;=</condition><value>500</value></volume>",
     VAL("property", "1200 MBytes"), 3},
    {"volume whole numbers", "<volume><condition>=</condition><value>500</value></volume>",
     VAL("property", "500.9 MBytes"), 3},
    {"lan text", "<lan><condition>&lt;</condition><value>b</value></lan>", VAL("property", "a"), 3},
    {"device text not numbers", "<device><condition>&lt;</condition><value>9</value></device>",
     VAL("property", "10"), 3},
    {"unknown kind is text", "<thing><condition>!=</condition><value>a</value></thing>", VAL("x", "a"), 2},
    {"empty operator", "<lan><condition/><value>a</value></lan>", VAL("property", "a"), 0},
    {"in is no comparison", "<lan><condition>in</condition><value>a</value></lan>", VAL("property", "a"), 0},
    {"percent is no comparison", "<serverparam><condition>%</condition><value>a</value></serverparam>",
     VAL("serverparam", "a"), 0},
    {"no rule value: whole item text", "<lan><condition>=</condition></lan>", VAL("property", "a"), 2},
    {"no item value: 0", "<lan><condition>=</condition><value>0</value></lan>",
     "<property><name>x</name></property>", 3},
    {"last repeated child counts", "<lan><condition>=</condition><value>a</value><value>b</value></lan>",
     VAL("property", "b"), 3},
    {"fields as attributes are absent", "<lan condition=\"=\" value=\"a\"/>", VAL("property", "a"), 0},
    {"module v prefix", MOD("5.70", "=", "", ""), CMOD("v5.70", ""), 3},
    {"module letter, date decides", MOD("5.70c", "&lt;", "Jan 1 2004", "&gt;"), CMOD("5.70b", "Feb 1 2004"),
     3},
    {"module letter, date breaks", MOD("5.70c", "&lt;", "Jan 1 2004", "&gt;"), CMOD("5.70b", "Dec 1 2003"),
     2},
    {"module only leading number", MOD("5.70.03", "=", "Jan 1 2004", "="), CMOD("5.70.05", "Jan 1 2004"), 3},
    {"module other base: no date", MOD("5.70", "&gt;=", "Jan 1 2005", "&gt;="), CMOD("5.71", "Jan 1 2004"),
     3},
    {"module dates commas points", MOD("5.70", "&gt;=", "Jan 12, 2004", "&gt;="), CMOD("5.70", "Feb.3,2004"),
     3},
    {"module joined date words", MOD("5.70", "=", "Feb 3, 2004", "="), CMOD("5.70", "February3,2004"), 3},
    {"module unreadable rule date", MOD("9", "&gt;=", "someday", "="), CMOD("10", ""), 6},
    {"module unreadable config date", MOD("1", "&gt;=", "", ""), CMOD("10", "13/13/2004"), 6},
    {"module empty date is 1900", MOD("5", "=", "", "&lt;"), CMOD("5", "Jan 1 1901"), 2},
    {"module unknown date operator", MOD("5", "=", "Jan 1 2004", "in"), CMOD("5", "Jan 1 2000"), 3},
    {"module no version operator", MOD("5", "", "", ""), CMOD("5", ""), 0},
    {"module version missing reads 0", "<module><version_condition>=</version_condition></module>",
     "<module><name>A</name></module>", 3},
    {"module broken version", MOD("5.71", "&gt;=", "", ""), CMOD("5.70", ""), 2},
    {"product id and version",
     "<product-rule><id>QFS</id><condition>=</condition><version>v6.5</version>"
     "<version_condition>&gt;=</version_condition></product-rule>",
     "<product><id>QFS</id><version>6.5</version></product>", 3},
    {"product version is text",
     "<product-rule><id>QFS</id><condition>=</condition><version>9.0</version>"
     "<version_condition>&gt;=</version_condition></product-rule>",
     "<product><id>QFS</id><version>10.0</version></product>", 2},
    {"product no version operator",
     "<product-rule><id>QFS</id><condition>=</condition><version>9</version>"
     "<version_condition/></product-rule>",
     "<product><id>QFS</id><version>1</version></product>", 3},
    {"product other id", "<product-rule><id>QFS</id><condition>=</condition></product-rule>",
     "<product><id>QFX</id></product>", 2},
};

INSTANTIATE_TEST_SUITE_P(Kinds, EvaluateRule, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace qx::analysis
