#include "import_test_support.hpp"

#include "import/captured_file_analysis.hpp"

using namespace qx;

namespace {

std::unique_ptr<CQXConfigDoc2> withReport(const std::string& body) {
    auto doc = test::importOnly(test::report(body));
    doc->resetReport();
    return doc;
}

std::string reportOutline(const CQXConfigDoc2& doc, const char* element) {
    return test::outline(xml::selectFirst(doc.report().documentNode(), element));
}

}  // namespace

TEST(AbendLog, EveryHaltLineStartsARecord) {
    auto doc = withReport(
        "Top of file. SYS:SYSTEM\\ABEND.LOG\nRunning process: early\nServer FS1 halted Tuesday, March 2, "
        "2004\n"
        "Abend 1 on P00: Page Fault\nRunning process: Server 07 Process\nThread Owned by QXK: DIRCORE.QXK\n"
        "EIP in DIRCORE.QXK at code start +0001A2B4h\nServer FS1 halted Friday\nAbend 2: x\nEIP in "
        "SERVER.QXK+12\n"
        "Server FS1 halted Sunday\n");
    import::analyseAbendLog(*doc);
    import::analyseAbendLog(*doc);  // emptied first: running twice gives the same result
    EXPECT_EQ(reportOutline(*doc, "abend"),
              "abend[Abend]{property{date=' Tuesday, March 2, 2004' abend=' Abend 1 on P00: Page Fault' "
              "Runningprocess='Server 07 Process' ThreadOwnedbyQXK='DIRCORE.QXK' EIP='DIRCORE.QXK' "
              "atcodestart=' +0001A2B4h'} property{date=' Friday' abend=' Abend 2: x' EIP='SERVER.QXK+12'} "
              "property{date=' Sunday'}}");
}

TEST(JavaConfiguration, OneRecordPerArchive) {
    auto doc = withReport(
        "Top of file. SYS:ETC\\JAVA.CFG\nCLASSPATH=SYS:\\JAVA\\LIB\\A.JAR;SYS:\\LIB\\B.zip;SYS:\\X\n"
        "NO EQUALS SYS:\\C.JAR\nJAVA_HOME=SYS:\\JAVA\n");
    import::analyseJavaConfiguration(*doc);
    EXPECT_EQ(reportOutline(*doc, "java"),
              "java[Java]{property{line=' CLASSPATH=SYS:\\JAVA\\LIB\\A.JAR' jar='A.JAR'} "
              "property{line='SYS:\\LIB\\B.zip' jar='B.zip'}}");
}

constexpr const char* kNetwork =
    "Top of file. SYS:ETC\\NETINFO.CFG\n#LOAD CE1000 NAME=B1\nLOAD CE1000 SLOT=2 NAME=B1\nLOAD OTHER "
    "NAME=B2\n"
    "BIND IP TO B1 ADDRESS=10.1.1.5 MASK=255.255.255.0 GATE=10.1.1.1;\nbind ipx b2 net=0A01\nREM BIND IP B3\n"
    "Top of file. SYS:ETC\\HOSTS\n# hosts\n10.1.1.5 fs1 fs1.acme.com\n10.1.1.6 fs2\n";

TEST(NetworkConfiguration, BindLinesWithTheirModulesAndHostNames) {
    auto doc = withReport(kNetwork);
    import::analyseNetworkConfiguration(*doc);
    EXPECT_EQ(
        reportOutline(*doc, "lans"),
        "lans[Lans]{property{protocol='IP' lan='B1' address='10.1.1.5' mask='255.255.255.0' gate='10.1.1.1' "
        "qxk='CE1000' hostname='fs1' hostalias='fs1.acme.com'} property{protocol='IPX' lan='B2' net='0A01' "
        "qxk='OTHER'}}");
    EXPECT_EQ(import::boardModule(*doc, "B1"), "CE1000");
    EXPECT_EQ(import::boardModule(*doc, "NONE"), "NONE");
}

TEST(NetworkConfiguration, RemarkedLinesOfSavedTreesAreSkipped) {
    CQXConfigDoc2 doc;
    ASSERT_TRUE(doc.config()
                    .loadString("<config><files><filegroup name='Etc'><file name='SYS:ETC\\NETINFO.CFG'>"
                                "<line remark='true'>LOAD CE1000 NAME=B1</line><line>LOAD E100 NAME=B1</line>"
                                "<line>BIND IP B1 ADDRESS=1.2.3.4</line><line remark='true'>BIND IP B9</line>"
                                "</file></filegroup></files></config>")
                    .ok());
    doc.resetReport();
    import::analyseNetworkConfiguration(doc);
    EXPECT_EQ(reportOutline(doc, "lans"),
              "lans[Lans]{property{protocol='IP' lan='B1' address='1.2.3.4' qxk='E100'}}");
    EXPECT_EQ(import::boardModule(doc, "B1"), "E100");
}

TEST(CapturedFileAnalyses, ReportTreeWithoutTheirElementsGetsNothing) {
    auto doc =
        withReport(std::string(kNetwork) + "Top of file. SYS:SYSTEM\\ABEND.LOG\nServer X halted now\n");
    ASSERT_TRUE(doc->report().loadString("<report><other/></report>").ok());
    import::analyseAbendLog(*doc);
    import::analyseJavaConfiguration(*doc);
    import::analyseNetworkConfiguration(*doc);
    EXPECT_EQ(test::outline(doc->report().root()), "report{other}");
}

TEST(CapturedFiles, FindWhatThePathPatternFindsInDocumentOrder) {
    // Files of one name in two places, nested ones, lines outside files and nameless files:
    // the one-walk reading must agree with the pattern search it replaces.
    CQXConfigDoc2 doc;
    ASSERT_TRUE(doc.config()
                    .loadString("<config><files name='etc'>"
                                "<file name='SYS:ETC\\HOSTS'><line>a</line><line remark='true'>b</line>"
                                "<file name='SYS:ETC\\HOSTS'><line>nested</line></file><line>c</line></file>"
                                "<file><line>nameless</line></file><line>loose</line></files>"
                                "<other><file name='SYS:ETC\\HOSTS'><line>d</line></file>"
                                "<file name=\"it's\"><line>quoted</line></file></other></config>")
                    .ok());
    const import::CapturedFiles files(doc);
    for (const std::string path : {"SYS:ETC\\HOSTS", "it's", "SYS:ETC\\JAVA.CFG", ""}) {
        std::string expected;
        for (xml::Node line : xml::select(doc.config().documentNode(),
                                          "file[@name='" + xml::escapeLiteral(path) + "']/line")) {
            expected += xml::text(line) + (xml::attribute(line, "remark") == "true" ? "*" : "") + ";";
        }
        std::string got;
        for (const auto& line : files.lines(path)) got += line.text + (line.remark ? "*" : "") + ";";
        EXPECT_EQ(got, expected) << path;
    }
    EXPECT_EQ(files.lines("SYS:ETC\\HOSTS").size(), 5u);
}
