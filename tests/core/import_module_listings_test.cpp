#include "import_test_support.hpp"

using namespace qx;
using test::SectionCase;

class ModuleListingCase : public testing::TestWithParam<SectionCase> {};

TEST_P(ModuleListingCase, YieldsTheExpectedTree) {
    test::expectSectionCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Import, ModuleListingCase,
    testing::Values(
        SectionCase{
            "module record: date words run together, description ends in a blank",
            "Top of Modules List\nNAME.QXK  1.00  March 1, 2004  Two words\n", "modules",
            "modules[Modules]{loaded-modules{module{name='NAME.QXK' version='1.00' date='March1,2004' "
            "description='Two words '}} search-path-modules}"},
        SectionCase{"indented, short and lower-case lines continue the description verbatim",
                    "Top of Modules List\nA.QXK 1.0 Jan 2, 2004 Desc\n   (more)\nshort\nLower.QXK 1 x y z\n",
                    "loaded-modules/module/description",
                    "description='Desc    (more)shortLower.QXK 1 x y z'"},
        SectionCase{
            "an end line does not end the section",
            "Top of Modules List\nA.QXK 1.0 Jan 2, 2004 D\nEnd of Modules List\nB.QXK 2.0 Feb 3, 2005\n",
            "loaded-modules/module",
            "module{name='A.QXK' version='1.0' date='Jan2,2004' description='D '} | "
            "module{name='B.QXK' version='2.0' date='Feb3,2005' description}"},
        SectionCase{
            "every heading block gets its own modules container",
            "Top of Modules List\n* Core *\nA.QXK 1.0 Jan 2, 2004 D\n* LAN *\nB.LAN 2.0 Feb 3, 2005 E\n",
            "modules",
            "modules[Modules]{loaded-modules{module{name='A.QXK' version='1.0' date='Jan2,2004' "
            "description='D '}} search-path-modules} | modules[Modules]{loaded-modules{module{name='B.LAN' "
            "version='2.0' date='Feb3,2005' description='E '}} search-path-modules}"},
        SectionCase{
            "strange: a continuation before any module keeps its text in a record of its own",
            "Top of Modules List\n   orphan text\nA.QXK 1.0 Jan 2, 2004 D\n", "modules",
            "modules[Modules]{loaded-modules{module{name version date description='   orphan text'} "
            "module{name='A.QXK' version='1.0' date='Jan2,2004' description='D '}} search-path-modules}"},
        SectionCase{
            "indented version lines belong to the directory line above them",
            "Top of Modules List\nA.QXK 1.0 Jan 2, 2004 D\nTop of directory. [SYS:SYSTEM]\n"
            "A.QXK 1024 01-02-2004 10:00a [RWA]\n 1.0 January 2, 2004 Alpha module\n"
            " 1.1 February 3, 2004 Beta\n",
            "search-path-modules/module",
            "module{name='A.QXK' version='1.0' date='January2,2004' description='Alpha module ' "
            "dir='SYS:SYSTEM' file-date='01-02-2004' file-time='10:00a' size='1024'} | "
            "module{name='A.QXK' version='1.1' date='February3,2004' description='Beta ' dir='SYS:SYSTEM' "
            "file-date='01-02-2004' file-time='10:00a' size='1024'}"},
        SectionCase{
            "directory lines: four columns, then the attributes",
            "Top of directory. [SYS:SYSTEM]\nA.QXK 1024 01-02-2004 10:00a [RWA] [Sh]  \n"
            "B.TXT 12 01-03-2004 11:00a\nC.TXT\t5\t01-04-2004\n",
            "directories",
            "directories{directory[SYS:SYSTEM]{directory-line{name='A.QXK' type='1024' date='01-02-2004' "
            "time='10:00a' attrib='[RWA] [Sh]'} directory-line{name='B.TXT' type='12' date='01-03-2004' "
            "time='11:00a' attrib} directory-line{name='C.TXT' type='5' date='01-04-2004' attrib}}}"},
        SectionCase{
            "the same directory listed twice gives two directory elements in one container",
            "Top of directory. [SYS:SYSTEM]\nA 1 d t\nTop of directory. [SYS:SYSTEM]\nB 2 d t\n",
            "directories",
            "directories{directory[SYS:SYSTEM]{directory-line{name='A' type='1' date='d' time='t' attrib}} "
            "directory[SYS:SYSTEM]{directory-line{name='B' type='2' date='d' time='t' attrib}}}"},
        SectionCase{"strange: listings without a directory name still get one directory each",
                    "Top of directory.\nA 1 d t\nTop of directory.\nB 2 d t\n", "directory",
                    "directory[]{directory-line{name='A' type='1' date='d' time='t' attrib}} | "
                    "directory[]{directory-line{name='B' type='2' date='d' time='t' attrib}}"},
        SectionCase{"a parameter section between listings keeps one directories container",
                    "Top of directory. [X]\nA 1 d t\nTop of Other\nK: v\nTop of directory. [Y]\nB 2 d t\n",
                    "directories/directory",
                    "directory[X]{directory-line{name='A' type='1' date='d' time='t' attrib}} | "
                    "directory[Y]{directory-line{name='B' type='2' date='d' time='t' attrib}}"},
        SectionCase{"a captured file between listings starts a new directories container",
                    "Top of directory. [X]\nA 1 d t\nTop of file. SYS:ETC\\HOSTS\nh\nTop of directory. "
                    "[Y]\nB 2 d t\n",
                    "directories",
                    "directories{directory[X]{directory-line{name='A' type='1' date='d' time='t' attrib}}} | "
                    "directories{directory[Y]{directory-line{name='B' type='2' date='d' time='t' attrib}}}"},
        SectionCase{
            "strange: a version line before any module list or directory line is kept",
            "Top of directory. [SYS:SYSTEM]\n 1.0 Jan 2, 2004 Early\nA.QXK 1 d t\n\t2.0 Feb 3, 2005 Tabbed\n",
            "search-path-modules/module",
            "module{name version='1.0' date='Jan2,2004' description='Early ' dir='SYS:SYSTEM' file-date "
            "file-time size} | module{name='A.QXK' version='2.0' date='Feb3,2005' description='Tabbed ' "
            "dir='SYS:SYSTEM' file-date='d' file-time='t' size='1'}"},
        SectionCase{
            "client files: a bracket line names the directory of later sections too",
            "List of Client Executable files\n[SYS:PUBLIC]\n01-01-2004 10:00 100 A.EXE extra\nTop of Other\n"
            "K: v\nList of Client Executable files\n02-02-2004 11:00 200 B.EXE\n[SYS:LOGIN]\n"
            "03-03-2004 12:00 300 C.EXE\n",
            "client-executable-files",
            "client-executable-files[Client Executable Files]{module{file-date='01-01-2004' "
            "file-time='10:00' size='100' name='A.EXE' dir='[SYS:PUBLIC]'}} | "
            "client-executable-files[Client Executable Files]{module{file-date='02-02-2004' "
            "file-time='11:00' size='200' name='B.EXE' dir='[SYS:PUBLIC]'} module{file-date='03-03-2004' "
            "file-time='12:00' size='300' name='C.EXE' dir='[SYS:LOGIN]'}}"},
        SectionCase{"strange: a short client line before any directory line",
                    "List of Client Executable files\n01-01-2004 10:00\n", "client-executable-files/module",
                    "module{file-date='01-01-2004' file-time='10:00' dir}"}),
    test::caseName);

TEST(ModuleListings, DirectoryVersionLinesJoinTheLastModulesContainer) {
    auto doc =
        test::importOnly(test::report("Top of Modules List\n* A *\nA.QXK 1 a b c\n* B *\nB.QXK 2 a b c\n"
                                      "Top of directory. [D]\nF 1 d t\n 3.0 x y z\n"));
    auto lists = xml::select(doc->config().documentNode(), "search-path-modules");
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(xml::childElements(lists[0]).size(), 0u);
    EXPECT_EQ(test::outline(lists[1].first_child().child("version")), "version='3.0'");
}
