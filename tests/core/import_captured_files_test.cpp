#include "import_test_support.hpp"

using namespace qx;
using test::SectionCase;

class CapturedFileCase : public testing::TestWithParam<SectionCase> {};

TEST_P(CapturedFileCase, YieldsTheExpectedTree) {
    test::expectSectionCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Import, CapturedFileCase,
    testing::Values(
        SectionCase{
            "the path selects the group; the ETC marker wins",
            "Top of file. [SYS:SYSTEM\\AUTOEXEC.QXC]\nLOAD X\n\tLOAD\tY\nTop of file. [C:\\STARTUP.QXC]\n"
            "SET A = 1\nTop of file. SYS:ETC\\SYSTEM\\X\nx\n",
            "files",
            "files[Files]{filegroup[Etc]{file[SYS:ETC\\SYSTEM\\X]{line='x'}} filegroup[Startup Files]{"
            "file[C:\\STARTUP.QXC]{line='SET A = 1'}} filegroup[System]{file[SYS:SYSTEM\\AUTOEXEC.QXC]{"
            "line='LOAD X' line='LOAD Y'}}}"},
        SectionCase{"the same path twice in a row is one file",
                    "Top of file. SYS:ETC\\HOSTS\na\nEnd of file\nTop of file. SYS:ETC\\HOSTS\nb\n", "file",
                    "file[SYS:ETC\\HOSTS]{line='a' line='b'}"},
        SectionCase{"another container in between starts a new files container with its own file",
                    "Top of file. SYS:ETC\\HOSTS\na\nTop of Other\nK: v\nTop of file. SYS:ETC\\HOSTS\nb\n",
                    "files",
                    "files[Files]{filegroup[Etc]{file[SYS:ETC\\HOSTS]{line='a'}} filegroup[Startup Files] "
                    "filegroup[System]} | files[Files]{filegroup[Etc]{file[SYS:ETC\\HOSTS]{line='b'}} "
                    "filegroup[Startup Files] filegroup[System]}"},
        SectionCase{
            "strange: a file section without a path", "Top of file.\nx\n", "files",
            "files[Files]{filegroup[Etc] filegroup[Startup Files]{file[]{line='x'}} filegroup[System]}"}),
    test::caseName);
