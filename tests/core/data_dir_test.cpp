#include "test_support.hpp"

#include "app/installation.hpp"
#include "platform/data_dir.hpp"
#include "util/sha256.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

using namespace qx;
using platform::DataDirSource;

namespace {

constexpr const char* kDefaultRules = "<rules date=\"12 08 2026\"/>\n";

// An installed tree (<root>/usr/bin, <root>/usr/share/qxconfig/rules.xml) and a home.
struct Installed {
    test::TempDir dir;
    Installed() {
        std::filesystem::create_directories(dir.path("usr/bin"));
        dir.write("usr/share/qxconfig/rules.xml", kDefaultRules);
        std::filesystem::create_directories(dir.path("home"));
    }
    [[nodiscard]] platform::DataDirInputs inputs() const {
        platform::DataDirInputs in;
        in.executableDir = dir.path("usr/bin");
        in.home = dir.path("home");
        return in;
    }
    [[nodiscard]] std::string userFolder() const { return dir.path("home/.local/share/qxconfig"); }
};

std::string read(const std::string& path) {
    return platform::readFile(path).value_or("<missing>");
}

}  // namespace

TEST(DataDir, ExplicitFoldersComeFirstAndAreUsedAsGiven) {
    Installed t;
    auto in = t.inputs();
    in.environment = t.dir.path("env/");
    EXPECT_EQ(platform::locateDataDirectory(in).path, t.dir.path("env"));
    EXPECT_EQ(platform::locateDataDirectory(in).source, DataDirSource::Environment);
    in.option = t.dir.path("opt");
    const auto d = platform::locateDataDirectory(in);
    EXPECT_EQ(d.path, t.dir.path("opt"));
    EXPECT_EQ(d.source, DataDirSource::Option);
    // Neither is created nor seeded: the user chose them.
    EXPECT_FALSE(std::filesystem::exists(t.dir.path("opt")));
    EXPECT_FALSE(std::filesystem::exists(t.userFolder()));
}

TEST(DataDir, AnExecutableFolderWithARuleBaseIsAPortableCopy) {
    Installed t;
    t.dir.write("usr/bin/rules.xml", "<rules/>");
    const auto d = platform::locateDataDirectory(t.inputs());
    EXPECT_EQ(d.path, t.dir.path("usr/bin"));
    EXPECT_EQ(d.source, DataDirSource::ExecutableFolder);
    EXPECT_FALSE(std::filesystem::exists(t.userFolder()));
}

TEST(DataDir, TheUserFolderIsCreatedAndSeededOnce) {
    Installed t;
    const auto first = platform::locateDataDirectory(t.inputs());
    EXPECT_EQ(first.path, t.userFolder());
    EXPECT_EQ(first.source, DataDirSource::UserFolder);
    EXPECT_EQ(first.seededFrom, t.dir.path("usr/share/qxconfig/rules.xml"));
    EXPECT_EQ(first.problem, "");
    EXPECT_EQ(read(t.userFolder() + "/rules.xml"), kDefaultRules);

    // The user's own rule base is never replaced by the default.
    t.dir.write("home/.local/share/qxconfig/rules.xml", "<rules date='mine'/>");
    const auto second = platform::locateDataDirectory(t.inputs());
    EXPECT_EQ(second.seededFrom, "");
    EXPECT_EQ(read(t.userFolder() + "/rules.xml"), "<rules date='mine'/>");
    for (const auto& e : std::filesystem::directory_iterator(t.userFolder()))
        EXPECT_EQ(e.path().filename(), "rules.xml") << "left behind: " << e.path();
}

TEST(DataDir, XdgDataHomeCountsOnlyWhenAbsolute) {
    Installed t;
    auto in = t.inputs();
    in.xdgDataHome = t.dir.path("xdg");
    EXPECT_EQ(platform::locateDataDirectory(in).path, t.dir.path("xdg/qxconfig"));
    in.xdgDataHome = "relative/xdg";
    EXPECT_EQ(platform::locateDataDirectory(in).path, t.userFolder());
}

TEST(DataDir, AFolderThatCannotBeMadeIsReported) {
    Installed t;
    auto in = t.inputs();
    in.xdgDataHome = t.dir.write("a-file", "x");  // a file where a folder must go
    const auto d = platform::locateDataDirectory(in);
    EXPECT_NE(d.problem.find("cannot create"), std::string::npos) << d.problem;
    EXPECT_EQ(d.seededFrom, "");

    in = t.inputs();
    in.home.clear();
    EXPECT_NE(platform::locateDataDirectory(in).problem.find("QXCONFIG_HOME"), std::string::npos);
}

TEST(DataDir, WithoutInstalledDefaultsNothingIsSeeded) {
    Installed t;
    std::filesystem::remove(t.dir.path("usr/share/qxconfig/rules.xml"));
    const auto d = platform::locateDataDirectory(t.inputs());
    EXPECT_TRUE(std::filesystem::is_directory(d.path));
    EXPECT_EQ(d.seededFrom, "");
    EXPECT_EQ(d.problem, "");
}

TEST(DataDir, TwoProgramsStartingAtOnceSeedOneWholeFile) {
    Installed t;
    std::vector<std::thread> runs;
    for (int i = 0; i < 8; ++i) runs.emplace_back([&t] { platform::locateDataDirectory(t.inputs()); });
    for (auto& r : runs) r.join();
    EXPECT_EQ(read(t.userFolder() + "/rules.xml"), kDefaultRules);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(t.userFolder())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(DataDir, DefaultsAreFoundRelativeToTheExecutable) {
    EXPECT_EQ(platform::installedDefaultsDirectory("/opt/qx/bin"), "/opt/qx/share/qxconfig");
    EXPECT_EQ(platform::installedDefaultsDirectory("/usr/bin"), "/usr/share/qxconfig");
}

TEST(Installation, FactsNameTheFolderAndTheRuleBase) {
    test::TempDir dir;
    platform::DataDirectory d{dir.path(), DataDirSource::UserFolder, "/usr/share/qxconfig/rules.xml", ""};
    EXPECT_EQ(util::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    dir.write("rules.xml", "abc");
    auto text = formatInstallationFacts(installationFacts(d, inspectRuleBaseFile(dir.path("rules.xml"))));
    EXPECT_EQ(text,
              "Data folder: " + dir.path() +
                  " (user data folder)\n"
                  "Seeded from: /usr/share/qxconfig/rules.xml\n"
                  "Rule base: " +
                  dir.path("rules.xml") +
                  " (not well-formed XML)\n"
                  "Rule base SHA-256: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n");

    dir.write("rules.xml", "<rules date='01 02 2027'/>");
    auto info = inspectRuleBaseFile(dir.path("rules.xml"));
    EXPECT_EQ(info.date, "01 02 2027");
    EXPECT_EQ(info.sha256, util::sha256Hex("<rules date='01 02 2027'/>"));

    std::filesystem::remove(dir.path("rules.xml"));
    d.seededFrom.clear();
    text = formatInstallationFacts(installationFacts(d, inspectRuleBaseFile(dir.path("rules.xml"))));
    EXPECT_NE(text.find("Rule base: " + dir.path("rules.xml") + " (not found)\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("SHA-256"), std::string::npos);
}
