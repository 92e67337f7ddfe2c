#include "test_support.hpp"

#include "platform/file_system.hpp"

#include <gtest/gtest.h>

using namespace qx;

TEST(Application, RuleBaseLoadingAndDate) {
    test::TempDir dir;
    Application app(dir.path());
    EXPECT_EQ(app.loadRuleBase(), RuleBaseLoad::Missing);
    EXPECT_FALSE(app.ruleBaseLoaded());
    dir.write("rules.xml", "<rules><product/>");
    EXPECT_EQ(app.loadRuleBase(), RuleBaseLoad::Malformed);
    EXPECT_FALSE(app.ruleBaseLoaded());
    dir.write("rules.xml", "<rules/>");
    EXPECT_EQ(app.loadRuleBase(), RuleBaseLoad::Loaded);
    EXPECT_EQ(app.ruleBaseDate(), "");
}

TEST(Application, ReloadIsRefusedWhileDocumentsAreOpen) {
    test::TempDir dir;
    dir.write("rules.xml", "<rules date='01 01 2005'/>");
    Application app(dir.path());
    ASSERT_EQ(app.loadRuleBase(), RuleBaseLoad::Loaded);
    dir.write("rules.xml", "<rules date='02 02 2006'/>");
    app.openDocuments = 1;
    EXPECT_FALSE(app.reloadRuleBase());
    EXPECT_EQ(app.ruleBaseDate(), "01 01 2005");
    app.openDocuments = 0;
    EXPECT_TRUE(app.reloadRuleBase());
    EXPECT_EQ(app.ruleBaseDate(), "02 02 2006");
    dir.write("rules.xml", "garbage");
    EXPECT_FALSE(app.reloadRuleBase());
    EXPECT_EQ(app.ruleBaseDate(), "02 02 2006");  // the old rule base stays in use
}

TEST(Application, AReloadAfterAStartWithoutRulesLetsDocumentsOpen) {
    test::TempDir dir;
    Application app(dir.path());
    ASSERT_EQ(app.loadRuleBase(), RuleBaseLoad::Missing);
    dir.write("rules.xml", "<rules date='02 02 2006'/>");
    EXPECT_TRUE(app.reloadRuleBase());
    EXPECT_TRUE(app.ruleBaseLoaded());
}

TEST(Application, SaveRulesStampsTheDateAndReplacesTheFile) {
    test::TempDir dir;
    dir.write("rules.xml", "<rules date='01 01 2005'><productgroup name='G'/></rules>");
    Application app(dir.path());
    ASSERT_EQ(app.loadRuleBase(), RuleBaseLoad::Loaded);
    std::tm tm{};
    tm.tm_year = 2005 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    tm.tm_hour = 12;
    ASSERT_EQ(app.saveRules(std::mktime(&tm)), "");
    EXPECT_EQ(app.ruleBaseDate(), "12 31 2005");
    xml::Document back;
    ASSERT_TRUE(back.loadFile(dir.path("rules.xml")).ok());
    EXPECT_EQ(xml::attribute(back.root(), "date"), "12 31 2005");
    EXPECT_TRUE(xml::child(back.root(), "productgroup"));
}

namespace {
// Fails the rename that puts the new file in place.
class FailingRename : public platform::FileSystem {
public:
    bool rename(const std::string&, const std::string&) override {
        errno = EIO;
        return false;
    }
};
}  // namespace

TEST(Application, AFailedSaveLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string original = "<rules date='01 01 2005'><productgroup name='G'/></rules>";
    dir.write("rules.xml", original);
    Application app(dir.path());
    ASSERT_EQ(app.loadRuleBase(), RuleBaseLoad::Loaded);
    FailingRename failing;
    platform::setFileSystem(&failing);
    EXPECT_NE(app.saveRules(std::time(nullptr)), "");
    platform::setFileSystem(nullptr);
    EXPECT_EQ(*platform::readFile(dir.path("rules.xml")), original);
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}
