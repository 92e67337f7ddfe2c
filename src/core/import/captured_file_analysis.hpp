#pragma once
// Analyses of captured server files, written into the report tree after the import.

#include "document/config_doc.hpp"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qx::import {

/// One line of a captured file and whether it is marked as a remark.
struct CapturedLine {
    std::string text;
    bool remark = false;
};

/// The `line` children of every captured `file`, by the file's `name`, in document order:
/// what "file[@name='PATH']/line" selects, for all paths from one walk of the tree.
class CapturedFiles {
public:
    explicit CapturedFiles(const CQXConfigDoc2& doc);
    [[nodiscard]] const std::vector<CapturedLine>& lines(std::string_view path) const;

private:
    void collect(const CQXConfigDoc2& doc);
    std::unordered_map<std::string, std::vector<CapturedLine>> m_byPath;
    std::vector<CapturedLine> m_none;
};

/// Abend log (SYS:SYSTEM\ABEND.LOG) into the report tree's `abend`.
void analyseAbendLog(CQXConfigDoc2& doc, const CapturedFiles& files);
/// Java configuration (SYS:ETC\JAVA.CFG) into `java`.
void analyseJavaConfiguration(CQXConfigDoc2& doc, const CapturedFiles& files);
/// Network configuration (SYS:ETC\NETINFO.CFG) and hosts (SYS:ETC\HOSTS) into `lans`.
void analyseNetworkConfiguration(CQXConfigDoc2& doc, const CapturedFiles& files);

inline void analyseAbendLog(CQXConfigDoc2& doc) {
    analyseAbendLog(doc, CapturedFiles(doc));
}
inline void analyseJavaConfiguration(CQXConfigDoc2& doc) {
    analyseJavaConfiguration(doc, CapturedFiles(doc));
}
inline void analyseNetworkConfiguration(CQXConfigDoc2& doc) {
    analyseNetworkConfiguration(doc, CapturedFiles(doc));
}

/// Module a LAN board was loaded with (board name in capitals), or the board name itself.
std::string boardModule(const CQXConfigDoc2& doc, std::string_view board);

}  // namespace qx::import
