#include "import/report_reader.hpp"

#include "analysis/analysis.hpp"
#include "import/import_context.hpp"
#include "import/report_ending.hpp"
#include "import/section_parsers.hpp"
#include "platform/file_system.hpp"
#include "util/text.hpp"

#include <new>

namespace qx::import {

namespace {

constexpr int kProgressPoints = 10;

struct PortalReport {};

void report(const ImportObserver& o, int pos) {
    if (o.progress) o.progress(pos, kProgressPoints);
}

// Marker lines: section starts, headings, end lines and rules of dashes or asterisks.
void handleMarker(ParseState& st) {
    const std::string_view line = st.line;
    if (text::startsWith(line, "Top of")) {
        st.sectionName = line.size() > 7 ? std::string(line.substr(7)) : std::string();
        st.heading.clear();
        st.blockMarker.clear();
        st.nameSpaceLines = false;
    }
    if (text::startsWith(line, "List of Client")) {
        st.sectionName = "List of Client Executable files";
        st.heading.clear();
        st.blockMarker.clear();
    }
    if (line == "******Disk Drive Configuration Information******") {
        st.sectionName = "Disk Drive Configuration Information";
        st.heading.clear();
        st.blockMarker.clear();
    }
    if (text::startsWith(line, "* ")) {
        st.nameSpaceLines = false;
        std::string_view h = text::trimBlanks(line.substr(1));
        if (!h.empty()) h.remove_suffix(1);  // the closing asterisk
        h = text::trimRightBlanks(h);
        st.heading = std::string(h);
        st.blockMarker.clear();
        constexpr std::string_view kVolume = "Volume Statistics for ";
        if (text::startsWith(st.heading, kVolume)) {
            st.volumeStatistics = true;
            st.heading = st.heading.substr(kVolume.size());
        }
    }
}

bool isMarker(std::string_view line) {
    return text::startsWith(line, "*") || text::startsWith(line, "-") || text::startsWith(line, "Top of") ||
           text::startsWith(line, "End of") || text::startsWith(line, "List of Client");
}

// The section's parser and blank rule, looked up again only when the section changes.
struct SectionRules {
    std::string name;
    bool known = false;
    SectionParser parser = nullptr;
    bool keepsLeadingBlanks = false;

    const SectionRules& of(const std::string& sectionName) {
        if (!known || name != sectionName) {
            name = sectionName;
            known = true;
            parser = parserForSection(name);
            keepsLeadingBlanks = sectionKeepsLeadingBlanks(name);
        }
        return *this;
    }
};

void processLine(ImportContext& ctx, SectionRules& rules, std::string_view raw) {
    ParseState& st = ctx.state;
    st.line.assign(raw);
    ++st.lineNumber;
    if (st.lineNumber < 4) {
        if (text::containsAfterStart(st.line, "rvane File Server Configuration Report")) st.isReport = true;
        if (text::containsAfterStart(st.line, "PORTAL.QXK")) {
            st.isReport = false;
            throw PortalReport{};
        }
        auto pos = st.line.find("CONFIG.QXK");
        if (pos != std::string::npos && pos > 0) {
            st.line.erase(0, pos + 10);
            if (st.line.compare(" v2.02]") > 0) ctx.doc.newFormat = true;
        }
    }
    if (st.isReport) {
        if (!rules.of(st.sectionName).keepsLeadingBlanks) {
            std::string_view t = text::trimLeftBlanksTabs(st.line);
            if (t.size() != st.line.size()) st.line.erase(0, st.line.size() - t.size());
        }
        if (!st.line.empty()) {
            if (isMarker(st.line)) {
                handleMarker(st);
            } else if (st.volumeStatistics && !st.nameSpacesSeen) {
                parseVolumeStatistics(ctx);
            } else if (st.nameSpaceLines) {
                parseNameSpaceList(ctx);
            } else {
                rules.of(st.sectionName).parser(ctx);
            }
        }
    }
    if (text::startsWith(st.line, "Storage Device Details:")) {
        st.previousLine.clear();
    } else {
        st.previousLine = st.line;
    }
}

}  // namespace

bool headerInFirstBytes(std::string_view firstBytes) {
    // The header must begin within the first 99 bytes; it is read whole even where it runs
    // past them, so a header that starts at byte 60 counts and one after byte 99 does not.
    std::string_view kept = firstBytes.substr(0, kHeaderWindow);
    // The bytes are kept as a C string: a NUL ends them.
    kept = kept.substr(0, kept.find('\0'));
    std::string t = " ";
    t.append(kept);
    auto pos = t.find(kReportHeader);
    return pos != std::string::npos && pos > 0 && pos - 1 < kHeaderStartLimit;
}

bool fileHasReportHeader(const std::string& path) {
    const auto head = platform::readFileHead(path, kHeaderWindow);
    return head && headerInFirstBytes(*head);
}

bool isXmlPath(std::string_view path) {
    return text::endsWith(text::toUpper(path), ".XML");
}

OpenCheck checkOpen(const Application& app, const std::string& path) {
    OpenCheck c;
    if (!app.ruleBaseLoaded()) {
        c.verdict = OpenVerdict::NoRuleBase;
        c.message = Application::kRulesNeededMessage;
        return c;
    }
    if (platform::availableMemoryKiB() < kMinimumMemoryKiB) {
        c.verdict = OpenVerdict::LowMemory;
        c.silent = true;
        c.message =
            "Not enough memory to open " + path + ": less than 5000 KiB of physical memory is available.";
        return c;
    }
    // The type is checked before anything is read, so a FIFO or device never blocks.
    std::string error;
    const auto head = platform::readFileHead(path, kHeaderWindow, &error);
    if (!head) {
        // Accepting an unreadable file would open an empty server; say why instead.
        c.verdict = OpenVerdict::Unreadable;
        c.message = "Cannot read " + path + ": " + error;
        return c;
    }
    if (headerInFirstBytes(*head)) return c;
    if (isXmlPath(path)) return c;
    c.verdict = OpenVerdict::NoHeader;
    c.silent = true;
    c.message = path + " is not a server configuration report: its first 99 bytes do not hold the header \"" +
                kReportHeader + "\". Saved configuration trees must have a name ending in .xml.";
    return c;
}

namespace {
// The lines noted so far become searchable however the import ends (a report cut short by
// exhausted memory keeps what it built, lines included).
struct SealProvenance {
    CQXConfigDoc2& doc;
    ~SealProvenance() {
        try {
            doc.provenance.seal();
        } catch (const std::bad_alloc&) {
            doc.provenance.clear();
        }
    }
};
}  // namespace

bool importReportText(CQXConfigDoc2& doc, std::string_view content, std::string* note) {
    xml::Node config = doc.config().createRoot("config");
    doc.provenance.clear();
    SealProvenance seal{doc};
    ImportContext ctx(doc, config);
    SectionRules rules;
    try {
        std::size_t start = 0;
        while (start < content.size()) {
            auto end = content.find('\n', start);
            std::size_t next = end == std::string_view::npos ? content.size() : end + 1;
            std::size_t stop = end == std::string_view::npos ? content.size() : end;
            // A CR before the LF is dropped, and so is one that ends the file.
            if (stop > start && content[stop - 1] == '\r' &&
                (end != std::string_view::npos || stop == content.size()))
                --stop;
            processLine(ctx, rules, content.substr(start, stop - start));
            start = next;
        }
    } catch (const PortalReport&) {
        return false;
    }
    // The templates go before anyone else reads the tree.
    ctx.builder.finish();
    if (note && ctx.storage.deviceDepthLimited) {
        *note = "storage devices nest deeper than " + std::to_string(kMaxDeviceDepth) +
                " levels; the deeper ones are listed at level " + std::to_string(kMaxDeviceDepth);
    }
    return true;
}

std::vector<std::string> completeDocument(CQXConfigDoc2& doc, Application& app,
                                          const ImportObserver& observer) {
    report(observer, 1);
    doc.resetReport();
    report(observer, 2);
    doc.title = doc.buildTitle();
    if (!doc.config().root()) {
        doc.config().createRoot("config");
        return {};
    }
    auto messages = analysis::runImportPipeline(doc, app, [&](int done, int) { report(observer, 2 + done); });
    doc.state = CQXConfigDoc2::kStateCompleted;
    report(observer, kProgressPoints);
    return messages;
}

LoadResult loadDocument(CQXConfigDoc2& doc, Application& app, const std::string& path,
                        const ImportObserver& observer) {
    LoadResult result;
    doc.path = path;
    doc.ending = {};
    if (observer.status) observer.status(path + "  Loading");
    report(observer, 0);
    try {
        if (isXmlPath(path)) {
            doc.provenance.clear();
            auto r = doc.config().loadFile(path);
            doc.newFormat = true;
            if (!r.ok()) {
                result.outcome = LoadOutcome::NoContent;
                result.message = path + " is not a configuration tree (" + r.description + " at byte " +
                                 std::to_string(r.offset) + "); it opens empty.";
            }
        } else {
            std::string error;
            auto content = platform::readFile(path, &error);
            if (!content) {
                result.outcome = LoadOutcome::ReadError;
                result.message = "Cannot read " + path + ": " + error;
                report(observer, kProgressPoints);
                return result;
            }
            doc.ending = inspectEnding(*content);
            std::string note;
            if (!importReportText(doc, *content, &note)) {
                doc.config().clear();
                doc.provenance.clear();
                result.outcome = LoadOutcome::Refused;
                result.message = kPortalMessage;
                report(observer, kProgressPoints);
                return result;
            }
            if (!note.empty()) result.message = path + ": " + note;
        }
    } catch (const std::bad_alloc&) {
        result.outcome = LoadOutcome::OutOfMemory;
        result.message = kOutOfMemoryMessage;
        report(observer, kProgressPoints);
        return result;
    }
    try {
        result.analysisMessages = completeDocument(doc, app, observer);
    } catch (const std::bad_alloc&) {
        result.outcome = LoadOutcome::OutOfMemory;
        result.message = kOutOfMemoryMessage;
    }
    report(observer, kProgressPoints);
    return result;
}

std::string OpenResult::message() const {
    if (!check.accepted()) return check.message;
    return load.message;
}

OpenResult openDocument(CQXConfigDoc2& doc, Application& app, const std::string& path,
                        const ImportObserver& observer) {
    OpenResult r;
    r.check = checkOpen(app, path);
    if (!r.check.accepted()) return r;
    r.load = loadDocument(doc, app, path, observer);
    return r;
}

}  // namespace qx::import
