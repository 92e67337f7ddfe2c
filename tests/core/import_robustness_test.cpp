// Hostile input in every section and under every flag state must still end in a tree that
// saves and loads back unchanged.
#include "import_test_support.hpp"

#include <random>

using namespace qx;

namespace {

const std::vector<std::string>& sectionStarts() {
    static const std::vector<std::string> starts = {"Top of Modules List",
                                                    "Top of LAN Driver Configuration Listing",
                                                    "Top of SM BIOS Information",
                                                    "Top of Storage Device Configuration Information",
                                                    "Top of Disk Drive Configuration Information",
                                                    "******Disk Drive Configuration Information******",
                                                    "Top of Patch List",
                                                    "Top of file. [SYS:ETC\\NETINFO.CFG]",
                                                    "Top of file. SYS:ETC\\HOSTS",
                                                    "Top of file. SYS:SYSTEM\\ABEND.LOG",
                                                    "Top of file. SYS:ETC\\JAVA.CFG",
                                                    "Top of file.",
                                                    "Top of directory. [SYS:SYSTEM]",
                                                    "Top of directory.",
                                                    "Top of Boot Drive Information",
                                                    "Top of search paths",
                                                    "Top of ZRD/Trellium Configuration Listing",
                                                    "List of Client Executable files",
                                                    "Top of Installed Product List",
                                                    "Top of Running Java Processes",
                                                    "Top of Server Information",
                                                    "* Volume Statistics for SYS *",
                                                    "* Volume Statistics for KFS_ADMIN *",
                                                    "* Volume Statistics for  *",
                                                    "* Heading *",
                                                    "Top of"};
    return starts;
}

const std::vector<std::string>& hostileLines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> l = {"no separator at all",
                                      "     ",
                                      "\t\t",
                                      std::string("A\0B: C\0D", 8),
                                      std::string(1, '\0'),
                                      " leading: blank",
                                      "\tleading tab = 1",
                                      "\t \t  deep: indent",
                                      "* not closed",
                                      "*",
                                      "* *",
                                      "-----",
                                      "-x: y",
                                      ": value only",
                                      "=",
                                      "= 5",
                                      "Name Spaces Loaded",
                                      "Volume Name Spaces Loaded",
                                      "Storage Device Details:",
                                      "[bracket",
                                      "]",
                                      "Server FS1 halted now",
                                      "EIP in X at code start",
                                      "Thread Owned by QXK:",
                                      "\xff\xfe high: bytes \x01\x02\x1f",
                                      "Signature: x",
                                      "Logical Name: L",
                                      "Product ID: p",
                                      "Product Version: 1",
                                      "Class ID: 3",
                                      "ZRD Tree Name: T",
                                      "Partition Name: P",
                                      "Partition State: On",
                                      "Replica on Server: S",
                                      "Replica Number: 2",
                                      "*.OLD: 1",
                                      "BIND IP B1 ADDRESS=1.2.3.4",
                                      "LOAD X NAME=B1",
                                      "a=b;c.jar",
                                      "End of something",
                                      "List of Client",
                                      "Top of file. ]]][[[",
                                      "X: <&>\"'",
                                      "Y = ]]>"};
        l.push_back(std::string(5000, 'W') + ": " + std::string(3000, 'v'));
        l.push_back(std::string(4000, ' ') + "x");
        l.push_back(std::string(3000, '.') + ": dots");
        return l;
    }();
    return lines;
}

// Imports, completes, saves, reloads and saves again; both texts must be equal.
void expectStableTree(const std::string& body, const std::string& label) {
    static auto app = test::makeApp();
    auto doc = test::importAndComplete(test::report(body), *app);
    ASSERT_TRUE(doc->config().root()) << label;
    EXPECT_STREQ(doc->config().root().name(), "config") << label;
    const std::string saved = doc->config().saveString();
    xml::Document reloaded;
    ASSERT_TRUE(reloaded.loadString(saved).ok()) << label;
    EXPECT_EQ(reloaded.saveString(), saved) << label;
    const std::string report = doc->report().saveString();
    xml::Document reloadedReport;
    ASSERT_TRUE(reloadedReport.loadString(report).ok()) << label;
    EXPECT_EQ(reloadedReport.saveString(), report) << label;
}

std::string join(const std::vector<std::string>& lines, bool reversed) {
    std::string out;
    if (reversed) {
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) out += *it + "\n";
    } else {
        for (const auto& l : lines) out += l + "\n";
    }
    return out;
}

}  // namespace

TEST(ImportRobustness, EverySectionStartFollowedByHostileLines) {
    // Preambles put the reader into each flag state before the section starts.
    const std::vector<std::string> preambles = {
        "", "* Volume Statistics for SYS *\nA: 1\n",
        "* Volume Statistics for SYS *\nA: 1\nV Name Spaces Loaded\n",
        "Top of Storage Device Configuration Information\nStorage Device Details:\n"};
    for (const auto& preamble : preambles) {
        for (const auto& start : sectionStarts()) {
            for (bool reversed : {false, true}) {
                expectStableTree(preamble + start + "\n" + join(hostileLines(), reversed),
                                 "after [" + preamble + "] " + start + (reversed ? " reversed" : ""));
            }
        }
    }
}

TEST(ImportRobustness, RandomMixOfSectionStartsAndHostileLines) {
    std::mt19937 random(20260412);
    const auto& starts = sectionStarts();
    const auto& lines = hostileLines();
    for (int run = 0; run < 20; ++run) {
        std::string body;
        for (int i = 0; i < 400; ++i) {
            body += (random() % 5 == 0 ? starts[random() % starts.size()] : lines[random() % lines.size()]) +
                    "\n";
        }
        expectStableTree(body, "run " + std::to_string(run));
    }
}

TEST(ImportRobustness, BinaryGarbageAfterTheHeader) {
    std::mt19937 random(7);
    std::string body;
    for (int i = 0; i < 20000; ++i) body += static_cast<char>(random() % 256);
    expectStableTree(body, "binary");
}
