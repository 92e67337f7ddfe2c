#include "lists_test_support.hpp"

#include "import/report_reader.hpp"
#include "outputs/customer_report.hpp"
#include "platform/file_system.hpp"

#include <regex>

using namespace qx;

TEST(ReportHtml, ReportTextCannotInjectMarkup) {
    auto app = test::makeApp();
    auto doc = test::docFromXml(
        "<config><serverparams><serverparam><name>Server Name</name>"
        "<value>&lt;script&gt;alert(1)&lt;/script&gt;</value></serverparam></serverparams>"
        "<products><product><id>P\"1</id><version>1</version>"
        "<description>a &amp; b &lt;img src=x&gt;</description></product></products></config>");
    const std::string page = outputs::renderCustomerReport(*doc, *app, outputs::RunInfo{}, 0);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("a &amp; b &lt;img src=x&gt;"), std::string::npos);
    EXPECT_NE(page.find("P&quot;1"), std::string::npos);
    EXPECT_NE(page.find("@page{size:A4"), std::string::npos);
}

namespace {

struct CustomerPage {
    std::unique_ptr<Application> app;
    std::string page;
};

CustomerPage customerPage(const std::string& language) {
    CustomerPage p;
    p.app = test::makeApp(platform::readFile(std::string(QX_RESOURCES) + "/rules.xml").value_or(""));
    p.app->setLanguage(language);
    CQXConfigDoc2 doc;
    EXPECT_TRUE(import::openDocument(doc, *p.app, std::string(QX_EXAMPLES) + "/FS1-CONFIG.TXT").opened());
    p.page = outputs::renderCustomerReport(
        doc, *p.app, outputs::runInfo(*p.app, std::string(QX_RESOURCES) + "/rules.xml"), 1700000000);
    return p;
}

}  // namespace

TEST(CustomerReport, VerdictCardsHeadingsAndNoLocalFolder) {
    const auto p = customerPage("english");
    const std::string& page = p.page;
    // The verdict counts what needs attention and names the areas.
    EXPECT_NE(page.find("Findings that need attention: 3"), std::string::npos);
    EXPECT_NE(page.find(p.app->label("setparams") + " (1)"), std::string::npos);
    // Every table column has a heading (the mark column aside).
    const std::regex emptyHeading("<th[^>]*></th>");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), emptyHeading); it != std::sregex_iterator();
         ++it)
        EXPECT_EQ(it->str(), "<th class=\"m\"></th>");
    // The rule's explanation and knowledge-base link reach the finding.
    EXPECT_NE(page.find("Short intervals cost processor time."), std::string::npos);
    EXPECT_NE(page.find("href=\"https://support.quarrix.com/kb/10011003\""), std::string::npos);
    // The file's name, never the folder it lies in; dates with an ISO twin.
    EXPECT_NE(page.find("FS1-CONFIG.TXT"), std::string::npos);
    EXPECT_EQ(page.find(QX_EXAMPLES), std::string::npos);
    EXPECT_NE(page.find("2023-11-1"), std::string::npos);
    // Print: rows stay whole, words are never broken.
    EXPECT_NE(page.find("break-inside:avoid"), std::string::npos);
    EXPECT_EQ(page.find("break-all"), std::string::npos);
}

TEST(CustomerReport, FollowsTheLanguageOfTheLocalisationTable) {
    const auto en = customerPage("english");
    const auto hu = customerPage("hungarian");
    EXPECT_NE(hu.page.find("<html lang=\"hu\""), std::string::npos);
    EXPECT_NE(en.page.find("<html lang=\"en\""), std::string::npos);
    for (const char* key : {"summary", "modules", "value", "condition", "line"}) {
        ASSERT_NE(hu.app->label(key), en.app->label(key)) << key;
        EXPECT_NE(hu.page.find(hu.app->label(key)), std::string::npos) << key;
    }
    EXPECT_EQ(hu.page.find("Findings that need attention"), std::string::npos);
}
