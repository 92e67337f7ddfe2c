#include "import_test_support.hpp"

using namespace qx;
using test::SectionCase;

class DirectoryServiceCase : public testing::TestWithParam<SectionCase> {};

TEST_P(DirectoryServiceCase, YieldsTheExpectedTree) {
    test::expectSectionCase(GetParam());
}

#define ZRD_START "Top of ZRD/Trellium Configuration Listing\n"

INSTANTIATE_TEST_SUITE_P(
    Import, DirectoryServiceCase,
    testing::Values(
        SectionCase{
            "tree, file groups and partitions with replicas",
            ZRD_START "ZRD Tree Name......: ACME_TREE\nZRD Server Name: CN=FS1\nZRD Version: 10550\n"
                      "  *.OLD.....: 3 (20971520 bytes)\n  *.QDB: 4\n  Partition Name: [Root]\n  Partition "
                      "Type: Master\n"
                      "  Partition State: On\n    Replica on Server: CN=FS1\n    Replica Type: Master\n"
                      "    Replica State: On\n    Replica Number: 1\n    Replica on Server: CN=FS2\n",
            "zrd",
            "zrd[zrd]{tree-name='ACME_TREE' file-groups{file-group{pattern='*.OLD' count='3' "
            "size='(20971520 bytes)'} file-group{pattern='*.QDB' count size='4'}} partitions{"
            "partition[[Root]]{name='[Root]' type='Master' state='On' replica{server='CN=FS1' type='Master' "
            "state='On' number='1'} replica{server='CN=FS2'}}} server-name='CN=FS1' version='10550'}"},
        SectionCase{
            "strange: partition and replica lines before the tree name create their parents",
            ZRD_START "  Partition Type: Master\n    Replica Type: Master\n  *.OLD: 1 2\n"
                      "ZRD Tree Name: T\n  Partition Name: P\n",
            "zrd",
            "zrd[zrd]{file-groups{file-group{pattern='*.OLD' count='1' size='2'}} partitions{partition[]{"
            "name type='Master' replica{type='Master'}} partition[P]{name='P'}} tree-name='T'}"},
        SectionCase{"after the tree name, replica lines before any replica stay with the tree record",
                    ZRD_START "ZRD Tree Name: T\nReplica Type: Master\nZRD Tree Name: U\n", "zrd",
                    "zrd[zrd]{tree-name='T' file-groups partitions type='Master' tree-name='U'}"},
        SectionCase{"strange: a replica before any partition gets one",
                    ZRD_START "    Replica on Server: CN=FS1\n    Replica State: On\n", "partitions",
                    "partitions{partition[]{name replica{server='CN=FS1' state='On'}}}"},
        SectionCase{"lines without separator are ignored",
                    ZRD_START " File Groups in SYS:_ZRD.QXD\n Partitions\n", "zrd", ""}),
    test::caseName);
