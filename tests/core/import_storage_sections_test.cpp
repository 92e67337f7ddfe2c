#include "import_test_support.hpp"

using namespace qx;
using test::SectionCase;

class StorageCase : public testing::TestWithParam<SectionCase> {};

TEST_P(StorageCase, YieldsTheExpectedTree) {
    test::expectSectionCase(GetParam());
}

#define DEVICES "devices[Storage Device Configuration Information]"

INSTANTIATE_TEST_SUITE_P(
    Import, StorageCase,
    testing::Values(
        SectionCase{"volume statistics, admin volumes skipped, name spaces of known volumes",
                    "Top of Volume Information\n* Volume Statistics for SYS *\nVolume Size.....: 100 MBytes\n"
                    "Free Disk Space: 50 MBytes\n* Volume Statistics for KFS_ADMIN *\nVolume Size: 4 MBytes\n"
                    "* Volume Statistics for VOL1 *\nVolume Size: 200 MBytes\nno separator line\n"
                    "Volume   Name Spaces Loaded\nSYS   DOS LONG  \nVOL1 DOS\nKFS_ADMIN DOS\nGHOST DOS "
                    "LONG\nLONELY\n",
                    "volumes",
                    "volumes[Quarrix Volumes]{volume[SYS]{property{name='Volume Size' value='100 MBytes'} "
                    "property{name='Free Disk Space' value='50 MBytes'} property{name='Name Space Loaded' "
                    "value='DOS LONG'}} volume[VOL1]{property{name='Volume Size' value='200 MBytes'} "
                    "property{name='Name Space Loaded' value='DOS'}}}"},
        SectionCase{"statistics of the admin volumes create no container",
                    "* Volume Statistics for KFS_ADMIN *\nA: 1\n* Volume Statistics for _ADMIN *\nB: 2\n",
                    "volumes", ""},
        SectionCase{
            "statistics take every section's lines until the name-space line; a section start "
            "empties the heading",
            "* Volume Statistics for SYS *\nA: 1\nTop of Server Information\nB: 2\nx = 1\n"
            "Volume Name Spaces Loaded\nSYS DOS\nTop of Other\nC: 3\n",
            "volume",
            "volume[SYS]{property{name='A' value='1'} property{name='Name Space Loaded' value='DOS'}} | "
            "volume[]{property{name='B' value='2'}}"},
        SectionCase{"a heading ends the name-space list",
                    "* Volume Statistics for SYS *\nA: 1\nVolume Name Spaces Loaded\n* Next *\nSYS DOS\n",
                    "volume", "volume[SYS]{property{name='A' value='1'}}"},
        SectionCase{
            "devices nest by one leading blank per level",
            "Top of Storage Device Configuration Information\n[A] summary, ignored\nStorage Device Details:\n"
            "Adapter\nDriver Name: X.HAM\n\n Child\n Capacity: 10\n\n  Grandchild\n  Size: 5\n\n Child2\n"
            " Status: On\nno separator\n",
            "devices",
            DEVICES
            "{device[Adapter]{property{name='Driver Name' value='X.HAM'} device[ Child]{"
            "property{name='Capacity' value='10'} device[  Grandchild]{property{name='Size' value='5'}}} "
            "device[ Child2]{property{name='Status' value='On'} property{name value='no separator'}}}}"},
        SectionCase{
            "the same device line after an empty line adds to the same device",
            "Top of Storage Device Configuration Information\nStorage Device Details:\nA\nP: 1\n\nA\nQ: 2\n",
            "devices", DEVICES "{device[A]{property{name='P' value='1'} property{name='Q' value='2'}}}"},
        SectionCase{
            "strange: shrinking indentation never climbs above the container",
            "Top of Storage Device Configuration Information\nStorage Device Details:\n   Deep\nP: 1\n\n "
            "X\nQ: 2\n",
            "devices",
            DEVICES
            "{device[   Deep]{property{name='P' value='1'}} device[ X]{property{name='Q' value='2'}}}"},
        SectionCase{"a heading starts a new container that gets its own device",
                    "Top of Storage Device Configuration Information\nStorage Device Details:\nA\nP: 1\n* H "
                    "*\nQ: 2\n",
                    "devices",
                    DEVICES "{device[A]{property{name='P' value='1'}}} | " DEVICES
                            "{device[A]{property{name='Q' value='2'}}}"},
        SectionCase{"device lines after the name-space line are ignored",
                    "Top of Storage Device Configuration Information\nStorage Device Details:\nA\nP: 1\n"
                    " Name Spaces Loaded\nQ: 2\n",
                    "device", "device[A]{property{name='P' value='1'}}"},
        SectionCase{
            "disks: name-value lines become disks, other lines only headings",
            "******Disk Drive Configuration Information******\nDisk 0\n  Capacity: 10 GB\n  Status: OK\n",
            "disks", "disks[Disk]{disk{name='Capacity' value='10 GB'} disk{name='Status' value='OK'}}"},
        SectionCase{"strange: a disk section's name-space line hands later lines to the name-space list",
                    "Top of Disk Drive Configuration Information\n  Name Spaces Loaded\nX: 1\n", "disks",
                    ""}),
    test::caseName);

TEST(StorageSections, OrderMattersOnceNameSpacesWereSeen) {
    auto doc = test::importOnly(test::report(
        "* Volume Statistics for SYS *\nA: 1\nVolume Name Spaces Loaded\nSYS DOS\n"
        "Top of Storage Device Configuration Information\nStorage Device Details:\nD\nP: 1\n"
        "Top of Disk Drive Configuration Information\nC: 2\n* Volume Statistics for VOL1 *\nB: 3\n"));
    EXPECT_EQ(test::outlines(*doc, "devices"), "");
    EXPECT_EQ(test::outlines(*doc, "disks"), "");
    EXPECT_EQ(test::outlines(*doc, "volume/@name"), "");
    EXPECT_EQ(xml::select(doc->config().documentNode(), "volume").size(), 1u);
}
