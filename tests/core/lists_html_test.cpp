#include "lists_test_support.hpp"

#include "outputs/customer_report.hpp"

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
