#include "import_test_support.hpp"

using namespace qx;
using test::SectionCase;

class PropertySectionCase : public testing::TestWithParam<SectionCase> {};

TEST_P(PropertySectionCase, YieldsTheExpectedTree) {
    test::expectSectionCase(GetParam());
}

#define LANS "lans[LAN Driver Configuration Listing]"

INSTANTIATE_TEST_SUITE_P(
    Import, PropertySectionCase,
    testing::Values(
        SectionCase{
            "two LAN drivers, each named after its logical name",
            "Top of LAN Driver Configuration Listing\nSignature: HW\nLogical Name: A_EII\nIRQ: 5\n"
            "Signature: HW\nLogical Name.....: B_E82\nno separator\n",
            "lans",
            LANS
            "{lan[A_EII]{property{name='Signature' value='HW'} property{name='Logical Name' "
            "value='A_EII'} property{name='IRQ' value='5'}} lan[B_E82]{property{name='Signature' value='HW'} "
            "property{name='Logical Name' value='B_E82'}}}"},
        SectionCase{
            "a heading splits the listing; the current driver stays current",
            "Top of LAN Driver Configuration Listing\nSignature: HW\nLogical Name: A\n* H *\nIRQ: 5\n"
            "Signature: HW\n",
            "lans",
            LANS "{lan[A]{property{name='Signature' value='HW'} property{name='Logical Name' value='A'} "
                 "property{name='IRQ' value='5'}}} | " LANS "{lan{property{name='Signature' value='HW'}}}"},
        SectionCase{"strange: driver lines before any signature get a driver",
                    "Top of LAN Driver Configuration Listing\nIRQ: 5\nLogical Name: X\n", "lans",
                    LANS "{lan[X]{property{name='IRQ' value='5'} property{name='Logical Name' value='X'}}}"},
        SectionCase{
            "SM BIOS: a line without separator starts a structure",
            "Top of SM BIOS Information\nBIOS Information (Type 0)\nVendor: V\nSystem Information\nMaker: M\n"
            "Serial: 1\n",
            "bios-info",
            "bios-info[SM BIOS]{bios-structure[BIOS Information (Type 0)]{property{name='Vendor' value='V'}} "
            "bios-structure[System Information]{property{name='Maker' value='M'} property{name='Serial' "
            "value='1'}}}"},
        SectionCase{"strange: SM BIOS properties before any structure title",
                    "Top of SM BIOS Information\nVendor: V\n", "bios-info",
                    "bios-info[SM BIOS]{bios-structure[]{property{name='Vendor' value='V'}}}"},
        SectionCase{"boot drive properties; lines without separator are ignored",
                    "Top of Boot Drive Information\nBoot Drive........: C:\nno separator\n", "boot-drive",
                    "boot-drive[Boot Drive]{property{name='Boot Drive' value='C:'}}"},
        SectionCase{"search paths", "Top of search paths\nSearch Path 1: SYS:\\SYSTEM\n", "search-paths",
                    "search-paths[search-paths]{search-path{name='Search Path 1' value='SYS:\\SYSTEM'}}"},
        SectionCase{
            "patches are split on their own line, with or without a separator",
            "Top of Server Information\nServer Name: FS1\nTop of Patch List\nQXS65SP5....: Support Pack 5\n"
            "TCP695K   TCP/IP update  \nLONEPATCH\n",
            "patchs",
            "patchs{patch{name='QXS65SP5' value='Support Pack 5'} patch{name='TCP695K' "
            "value='TCP/IP update  '} patch{name='LONEPATCH' value}}"},
        SectionCase{
            "products: an ID starts a product",
            "Top of Installed Product List\n  Product ID: A\nProduct Version: 1\nProduct Description: Alpha\n"
            "Product ID: B\nProduct Version: 2\n",
            "products",
            "products[products]{product{id='A' version='1' description='Alpha'} product{id='B' "
            "version='2'}}"},
        SectionCase{"strange: a product line before any ID; other names stay out of the version",
                    "Top of Installed Product List\nProduct Version: 1\nInstall Date: 2004\nProduct ID: B\n",
                    "products",
                    "products[products]{product{version='1' property{name='Install Date' value='2004'}} "
                    "product{id='B'}}"},
        SectionCase{
            "Java processes, in a container named like the products",
            "Top of Running Java Processes on FS1\nClass Name: a.B\nClass ID: 1\nClass State: Running\n"
            "Class Name: c.D\n",
            "java-processes",
            "java-processes[products]{java-process{name='a.B' id='1' state='Running'} "
            "java-process{name='c.D'}}"},
        SectionCase{
            "strange: Java lines before any class name",
            "Top of Running Java Processes\nClass State: Stopped\nOther: x\n", "java-processes",
            "java-processes[products]{java-process{state='Stopped' property{name='Other' value='x'}}}"}),
    test::caseName);

TEST(InstalledProducts, OtherLinesLeaveTheVersionLookupAlone) {
    auto doc = test::importOnly(
        test::report("Top of Installed Product List\nProduct ID: TRLM\nProduct Version: 8.7.3\n"
                     "Install Date: March 1, 2006\nProduct Description: Trellium\n"));
    EXPECT_EQ(doc->valueByName("product", "TRLM"), "8.7.3");
}
