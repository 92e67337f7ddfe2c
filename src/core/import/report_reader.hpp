#pragma once
// Opening a file as a configuration document: the open check, the text import of a
// report (or the load of a saved ".XML" tree) and the completion that runs the analysis.

#include "app/application.hpp"
#include "document/config_doc.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::import {

inline constexpr const char* kReportHeader = "Orvane File Server Configuration Report For Server";
inline constexpr const char* kPortalMessage =
    "Config files created by portal.qxk are currently not supported.\nPlease use config.qxk instead.";
inline constexpr const char* kOutOfMemoryMessage = "Exception occurred";
inline constexpr std::uint64_t kMinimumMemoryKiB = 5000;
/// A report header must begin within this many leading bytes of the file.
inline constexpr std::size_t kHeaderStartLimit = 99;
/// Bytes read for the header test: enough for a header that begins at the limit.
inline constexpr std::size_t kHeaderWindow = kHeaderStartLimit + 50 - 1;

/// Verdict of the open check.
enum class OpenVerdict { Accept, NoRuleBase, LowMemory, Unreadable, NoHeader };

struct OpenCheck {
    OpenVerdict verdict = OpenVerdict::Accept;
    /// The message the desktop shows, or for its silent refusals our explanation.
    std::string message;
    /// True when the desktop refuses without a message.
    bool silent = false;
    [[nodiscard]] bool accepted() const { return verdict == OpenVerdict::Accept; }
};

/// Decides whether a file may be opened at all.
OpenCheck checkOpen(const Application& app, const std::string& path);
/// The header test on the first bytes of a file (read as a C string: a NUL ends them).
bool headerInFirstBytes(std::string_view firstBytes);
/// Reads the first bytes of a file and applies the header test; false when unreadable.
bool fileHasReportHeader(const std::string& path);
/// True when the upper-cased path ends with ".XML".
bool isXmlPath(std::string_view path);

/// How a load ended.
enum class LoadOutcome {
    Completed,    // imported (or loaded) and analysed
    NoContent,    // an ".XML" file that did not load: an empty `config`, no analysis
    Refused,      // a report of the other generator: no document remains
    OutOfMemory,  // import stopped; the document keeps what was built, no analysis
    ReadError,    // the file could not be read
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Completed;
    /// For Refused, OutOfMemory, ReadError the reason; for NoContent the XML error; for
    /// Completed what the import had to change, if anything.
    std::string message;
    std::vector<std::string> analysisMessages;  // what the analysis passes ask to show
    [[nodiscard]] bool documentRemains() const {
        return outcome != LoadOutcome::Refused && outcome != LoadOutcome::ReadError;
    }
};

/// Progress of a load: status texts and the ten completion points.
struct ImportObserver {
    std::function<void(std::string_view)> status;
    std::function<void(int position, int maximum)> progress;
};

/// Reads a file into the document (text import or ".XML" load) and completes it.
LoadResult loadDocument(CQXConfigDoc2& doc, Application& app, const std::string& path,
                        const ImportObserver& observer = {});
/// Storage devices nest by indentation at most this deep; a deeper device line is listed
/// beside the deepest device, so no report can make paths (and every output) grow with the
/// square of its size. Real reports nest three or four levels.
inline constexpr int kMaxDeviceDepth = 32;

/// Imports report text into the document's configuration tree (no completion).
/// Throws std::bad_alloc when memory runs out; returns false for a refused report.
/// `note`, when given, receives what the import had to change (empty when nothing).
bool importReportText(CQXConfigDoc2& doc, std::string_view content, std::string* note = nullptr);
/// The completion steps: report tree, title, standard containers and analysis.
/// Returns the messages the analysis asks the front end to show.
std::vector<std::string> completeDocument(CQXConfigDoc2& doc, Application& app,
                                          const ImportObserver& observer = {});

/// Check, then load: the desktop's Open in one call.
struct OpenResult {
    OpenCheck check;
    LoadResult load;
    [[nodiscard]] bool opened() const { return check.accepted() && load.documentRemains(); }
    /// What to tell the user, empty when nothing needs saying.
    [[nodiscard]] std::string message() const;
};
OpenResult openDocument(CQXConfigDoc2& doc, Application& app, const std::string& path,
                        const ImportObserver& observer = {});

}  // namespace qx::import
