// Module file scanner: version blocks, executables' version resources, folder walk.
#include "ruleedit/module_scanner.hpp"
#include "ruleedit/pe_version.hpp"
#include "test_support.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <random>

using namespace qx;
using namespace qx::ruleedit;

namespace {

void put32(std::string& s, std::size_t at, std::uint32_t v) {
    if (s.size() < at + 4) s.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16(std::string& s, std::size_t at, std::uint16_t v) {
    if (s.size() < at + 2) s.resize(at + 2, '\0');
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

std::string fields(std::uint32_t major, std::uint32_t minor, std::uint32_t rev, std::uint32_t year,
                   std::uint32_t month, std::uint32_t day) {
    std::string f;
    std::uint32_t v[] = {major, minor, rev, year, month, day};
    for (int i = 0; i < 6; ++i) put32(f, static_cast<std::size_t>(i) * 4, v[i]);
    return f + "Z";
}

/// A module file: `lead` filler bytes, then `middle`, then the marker and the fields.
std::string moduleFile(std::size_t lead, const std::string& middle = "",
                       std::string block = fields(5, 70, 0, 2004, 3, 5)) {
    return std::string(lead, 'x') + middle + "VeRsIoN#" + block + std::string(40, 'y');
}

// --- version resource builder -------------------------------------------------------

std::string utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out + std::string(2, '\0');
}
void pad4(std::string& s) {
    s.resize((s.size() + 3) & ~std::size_t(3), '\0');
}

std::string block(const std::string& key, const std::string& value, bool text, std::uint16_t valueLength,
                  const std::vector<std::string>& children = {}) {
    std::string b(6, '\0');
    b += utf16(key);
    pad4(b);
    b += value;
    pad4(b);
    for (const auto& c : children) {
        b += c;
        pad4(b);
    }
    put16(b, 0, static_cast<std::uint16_t>(b.size()));
    put16(b, 2, valueLength);
    put16(b, 4, text ? 1 : 0);
    return b;
}

std::string versionInfo(const std::string& fileVersion, bool translation = true,
                        const std::string& table = "040904b0") {
    std::string str =
        block("FileVersion", utf16(fileVersion), true, static_cast<std::uint16_t>(fileVersion.size() + 1));
    std::string other = block("CompanyName", utf16("Orvane"), true, 7);
    std::string sfi = block("StringFileInfo", "", true, 0, {block(table, "", true, 0, {other, str})});
    std::string trans;
    put16(trans, 0, 0x0409);
    put16(trans, 2, 0x04b0);
    std::vector<std::string> top = {sfi};
    if (translation)
        top.push_back(block("VarFileInfo", "", true, 0, {block("Translation", trans, false, 4)}));
    return block("VS_VERSION_INFO", std::string(52, '\0'), false, 52, top);
}

/// A PE32 image with one resource section; without `info` the section has no RT_VERSION.
std::string peFile(const std::string& info, bool withVersion = true) {
    std::string f(0x200, '\0');
    f[0] = 'M';
    f[1] = 'Z';
    put32(f, 0x3c, 0x40);
    f.replace(0x40, 4, std::string("PE\0\0", 4));
    put16(f, 0x44, 0x14c);
    put16(f, 0x46, 1);
    put16(f, 0x54, 224);
    put16(f, 0x58, 0x10b);
    put32(f, 0x58 + 92, 16);
    std::string rsrc(0x58, '\0');
    put16(rsrc, 14, 1);
    put32(rsrc, 16, withVersion ? 16 : 3);
    put32(rsrc, 20, 0x80000018);
    put16(rsrc, 0x18 + 14, 1);
    put32(rsrc, 0x18 + 16, 1);
    put32(rsrc, 0x18 + 20, 0x80000030);
    put16(rsrc, 0x30 + 14, 1);
    put32(rsrc, 0x30 + 16, 0x409);
    put32(rsrc, 0x30 + 20, 0x48);
    put32(rsrc, 0x48, 0x1000 + 0x58);
    put32(rsrc, 0x48 + 4, static_cast<std::uint32_t>(info.size()));
    rsrc += info;
    pad4(rsrc);
    put32(f, 0x58 + 96 + 16, 0x1000);
    put32(f, 0x58 + 96 + 20, static_cast<std::uint32_t>(rsrc.size()));
    std::size_t sec = 0x58 + 224;
    f.replace(sec, 5, ".rsrc");
    put32(f, sec + 8, static_cast<std::uint32_t>(rsrc.size()));
    put32(f, sec + 12, 0x1000);
    put32(f, sec + 16, static_cast<std::uint32_t>(rsrc.size()));
    put32(f, sec + 20, 0x200);
    return f + rsrc;
}

}  // namespace

TEST(ScannerVersionBlock, FindsMarkerAfterSkippedBytesAndFormats) {
    auto b = findVersionBlock(moduleFile(259));
    ASSERT_TRUE(b);
    EXPECT_EQ(versionString(*b), "v5.70");
    EXPECT_EQ(blockDateString(*b), "Mar.05,2004");

    auto c = findVersionBlock(moduleFile(160, "", fields(1, 2, 3, 2004, 12, 31)));
    ASSERT_TRUE(c);
    EXPECT_EQ(versionString(*c), "v1.02.03");
    EXPECT_EQ(blockDateString(*c), "Dec.31,2004");
    EXPECT_EQ(versionString({4, 10, 0, 0, 0, 0}), "v4.10");
    EXPECT_EQ(versionString({4, 9, 0, 0, 0, 0}), "v4.09");
    EXPECT_EQ(versionString({4, 9, 12, 0, 0, 0}), "v4.09.12");
}

TEST(ScannerVersionBlock, MarkerStartingInsideFirst160BytesIsNotFound) {
    EXPECT_FALSE(findVersionBlock(moduleFile(159)));
    EXPECT_FALSE(findVersionBlock(moduleFile(100)));
}

TEST(ScannerVersionBlock, FailedAttemptConsumesTheBytesItRead) {
    // V e V e R s I o N #: the attempt at the first V ends on the second V.
    EXPECT_FALSE(findVersionBlock(moduleFile(200, "Ve")));
    // One byte in between gives the marker its own attempt.
    EXPECT_TRUE(findVersionBlock(moduleFile(200, "Vex")));
}

TEST(ScannerVersionBlock, GivesUpAfterHundredAttempts) {
    // 99 failed attempts of "Vx" (2 bytes each) leave the marker to the 100th attempt.
    std::string lead(160, 'x');
    std::string ninetyNine, hundred;
    for (int i = 0; i < 99; ++i) ninetyNine += "Vx";
    hundred = ninetyNine + "Vx";
    EXPECT_TRUE(findVersionBlock(lead + ninetyNine + "VeRsIoN#" + fields(1, 0, 0, 2000, 1, 1)));
    EXPECT_FALSE(findVersionBlock(lead + hundred + "VeRsIoN#" + fields(1, 0, 0, 2000, 1, 1)));
    EXPECT_LE(160u + 99 * 8 + 8 + 25, kVersionSearchBytes);
    // Every other byte is an attempt of its own: the marker must start by byte 259.
    EXPECT_FALSE(findVersionBlock(moduleFile(260)));
}

TEST(ScannerVersionBlock, HighBytesIgnoredAndShortOrOddBlocksSafe) {
    auto b = findVersionBlock(
        moduleFile(160, "", fields(0xFF000002, 0xAB00000C, 0x77000000, 0xFFFF07D4, 0xAAAAAA02, 0x1234561D)));
    ASSERT_TRUE(b);
    EXPECT_EQ(versionString(*b), "v2.12");
    EXPECT_EQ(blockDateString(*b), "Feb.29,2004");
    // A block cut short by the end of the file is not read.
    EXPECT_FALSE(findVersionBlock(std::string(160, 'x') + "VeRsIoN#" + std::string(10, '\1')));
    // A month outside 1..12 gives no date rather than a made-up one.
    auto odd = findVersionBlock(moduleFile(160, "", fields(1, 0, 0, 2004, 13, 1)));
    ASSERT_TRUE(odd);
    EXPECT_EQ(blockDateString(*odd), "");
}

TEST(ScannerPeVersion, ReadsFileVersionOfFirstTranslation) {
    std::string out;
    EXPECT_TRUE(readPeFileVersion(peFile(versionInfo("5.1.2600.0")), out));
    EXPECT_EQ(out, "5.1.2600.0");
    // The string table key is matched without regard to case.
    EXPECT_TRUE(readPeFileVersion(peFile(versionInfo("2.0", true, "040904B0")), out));
    EXPECT_EQ(out, "2.0");
}

TEST(ScannerPeVersion, VersionResourceWithoutTranslationOrStringGivesEmpty) {
    std::string out = "x";
    EXPECT_TRUE(readPeFileVersion(peFile(versionInfo("1.0", false)), out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(readPeFileVersion(peFile(versionInfo("1.0", true, "040704b0")), out));
    EXPECT_EQ(out, "");
}

TEST(ScannerPeVersion, NoVersionResourceOrNoPe) {
    std::string out;
    EXPECT_FALSE(readPeFileVersion(peFile(versionInfo("1.0"), false), out));
    EXPECT_FALSE(readPeFileVersion("MZ", out));
    EXPECT_FALSE(readPeFileVersion("", out));
    EXPECT_FALSE(readPeFileVersion(std::string(4096, '\xff'), out));
}

TEST(ScannerPeVersion, TruncatedAndCorruptedImagesAreSafe) {
    const std::string good = peFile(versionInfo("7.7.7.7"));
    std::string out;
    for (std::size_t n = 0; n < good.size(); ++n) {
        if (readPeFileVersion(std::string_view(good).substr(0, n), out)) {
            EXPECT_LE(out.size(), 7u);
        }
    }
    std::mt19937 rng(42);
    for (int round = 0; round < 3000; ++round) {
        std::string bad = good;
        for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = static_cast<char>(rng());
        readPeFileVersion(bad, out);
    }
    // Hostile offsets: PE header and section data far beyond the end, huge entry counts.
    std::string far = good;
    put32(far, 0x3c, 0xFFFFFFF0);
    EXPECT_FALSE(readPeFileVersion(far, out));
    std::string raw = good;
    put32(raw, 0x58 + 224 + 20, 0xFFFFFF00);
    EXPECT_FALSE(readPeFileVersion(raw, out));
    std::string many = good;
    put16(many, 0x200 + 14, 0xFFFF);
    EXPECT_FALSE(readPeFileVersion(many, out));
    std::string zeroBlock = good;
    put16(zeroBlock, 0x200 + 0x58, 0);
    EXPECT_FALSE(readPeFileVersion(zeroBlock, out));
}

TEST(ScannerFolder, RowsInListOrderDepthFirstWithUpperCasedNames) {
    test::TempDir dir;
    dir.write("a.nlm", "not a module");
    dir.write("b.qxk", moduleFile(200));
    dir.write("c/inner.Lan", moduleFile(230, "", fields(1, 9, 0, 1999, 1, 2)));
    dir.write("d.exe", peFile(versionInfo("3.1")));
    dir.write("e.dll", "MZ but nothing else");
    dir.write("f.HAM", "too short");
    dir.write("readme.txt", "x");
    auto rows = scanModuleFolder(dir.path());
    ASSERT_EQ(rows.size(), 5u);
    // The last file met is at the top.
    EXPECT_EQ(rows[0].name, "F.HAM");
    EXPECT_EQ(rows[0].version, "");
    EXPECT_EQ(rows[0].date, "");
    EXPECT_EQ(rows[1].name, "E.DLL");
    EXPECT_EQ(rows[1].version, "");
    EXPECT_FALSE(rows[1].date.empty());
    EXPECT_EQ(rows[2].name, "D.EXE");
    EXPECT_EQ(rows[2].version, "3.1");
    EXPECT_EQ(rows[3].name, "INNER.LAN");
    EXPECT_EQ(rows[3].version, "v1.09");
    EXPECT_EQ(rows[3].date, "Jan.02,1999");
    EXPECT_EQ(rows[3].fullName, dir.path() + "/c/inner.Lan");
    EXPECT_EQ(rows[4].name, "B.QXK");
    EXPECT_EQ(rows[4].version, "v5.70");
    EXPECT_TRUE(scanModuleFolder(dir.path("missing")).empty());
}

TEST(ScannerFolder, ProgressCountsFilesAndAStopKeepsTheRowsMetSoFar) {
    test::TempDir dir;
    dir.write("a.qxk", moduleFile(200));
    dir.write("b.txt", "x");
    dir.write("sub/c.qxk", moduleFile(200));
    dir.write("sub/d.qxk", moduleFile(200));
    std::vector<std::pair<std::size_t, std::string>> calls;
    auto all = scanModuleFolder(dir.path(), [&](std::size_t seen, const std::string& folder) {
        calls.emplace_back(seen, folder);
        return true;
    });
    EXPECT_EQ(all.size(), 3u);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().first, 4u);  // every file looked at, modules or not
    EXPECT_EQ(calls.back().second, dir.path() + "/sub/");
    // Stopped at the third file: the module met before it stays.
    auto part = scanModuleFolder(dir.path(), [](std::size_t seen, const std::string&) { return seen < 3; });
    ASSERT_EQ(part.size(), 1u);
    EXPECT_EQ(part[0].name, "A.QXK");
    EXPECT_TRUE(scanModuleFolder(dir.path(), [](std::size_t, const std::string&) { return false; }).empty());
}

TEST(ScannerFolder, UnopenableModuleKeepsNameAndPathAndLinksDoNotLoop) {
    test::TempDir dir;
    std::string p = dir.path("gone.qxk");
    ASSERT_EQ(::symlink(dir.path("nowhere").c_str(), p.c_str()), 0);
    ASSERT_EQ(::symlink(dir.path().c_str(), dir.path("loop").c_str()), 0);
    std::filesystem::create_directory(dir.path("folder.qxk"));
    auto rows = scanModuleFolder(dir.path() + "/");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "GONE.QXK");
    EXPECT_EQ(rows[0].fullName, p);
    EXPECT_EQ(rows[0].version, "");
    EXPECT_EQ(rows[0].date, "");
}

TEST(ScannerFolder, ExecutableDateIsItsTimeStampInLocalTime) {
    test::TempDir dir;
    std::string p = dir.write("x.drv", "MZ");
    std::time_t t = std::time(nullptr);
    auto rows = scanModuleFolder(dir.path());
    ASSERT_EQ(rows.size(), 1u);
    // Birth time where the file system keeps it, else the modification time: both are now.
    EXPECT_EQ(rows[0].date, timeStampDateString(t));
}

TEST(ScannerRules, EveryRowBecomesAModuleRuleInListOrder) {
    xml::Document rules;
    rules.loadString(
        "<rules><productgroup><modules "
        "name=\"Modules\"><module><name>OLD</name></module></modules></productgroup></rules>");
    xml::Node list = xml::selectFirst(rules.documentNode(), "modules");
    std::vector<ScanRow> rows = {{"B.QXK", "v5.70", "Mar.05,2004", "/x/b.qxk"},
                                 {"D.EXE", "", "Jan.01,2020", "/x/d.exe"}};
    EXPECT_EQ(appendModuleRules(list, rows), 2u);
    auto modules = xml::childElements(list);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(xml::childText(modules[1], "name"), "B.QXK");
    std::string names;
    for (auto f : xml::childElements(modules[1])) names += std::string(f.name()) + "=" + xml::text(f) + ";";
    EXPECT_EQ(names, "name=B.QXK;version=v5.70;date=Mar.05,2004;version_condition=>=;date_condition=>=;");
    EXPECT_EQ(xml::childText(modules[2], "name"), "D.EXE");
    EXPECT_EQ(appendModuleRules(list, {}), 0u);
    EXPECT_EQ(xml::childElements(list).size(), 3u);
    // The rule base saves and loads back unchanged.
    xml::Document again;
    ASSERT_TRUE(again.loadString(rules.saveString()).ok());
    EXPECT_EQ(again.saveString(), rules.saveString());
}
