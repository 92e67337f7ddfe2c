#pragma once
// One open server: its configuration tree, its report tree (findings), title and state.

#include "analysis/trail.hpp"
#include "document/provenance.hpp"
#include "xml/xml_document.hpp"

#include <string>
#include <string_view>

namespace qx {

class CQXConfigDoc2 {
public:
    /// State value of a document whose import and analysis completed.
    static constexpr int kStateCompleted = 1;

    [[nodiscard]] xml::Document& config() { return m_config; }
    [[nodiscard]] const xml::Document& config() const { return m_config; }
    [[nodiscard]] xml::Document& report() { return m_report; }
    [[nodiscard]] const xml::Document& report() const { return m_report; }

    /// Joins the `value`/`version`/`date` texts of every record of `kind` keyed `key`
    /// (by `name`, by `id` for products, unkeyed for `zrd`), trailing blanks removed.
    [[nodiscard]] std::string valueByName(std::string_view kind, std::string_view key) const;
    /// Value of a server parameter by name (empty when absent).
    [[nodiscard]] std::string serverParameter(std::string_view name) const {
        return valueByName("serverparam", name);
    }
    /// Server name as the report spells it ("Server name" or "Server Name").
    [[nodiscard]] std::string serverName() const;
    /// Builds the title from the four server parameters (new or old names).
    [[nodiscard]] std::string buildTitle() const;
    /// Makes sure the standard containers exist (zrd, products, boot-drive, kfs-stat-files,
    /// search-paths), creating each missing one empty under `config`.
    void ensureStandardContainers();
    /// Reloads the report tree from the embedded report layout (its trail goes with it).
    void resetReport();

    std::string path;
    /// Report line of every configuration item (empty for a tree loaded from ".XML").
    Provenance provenance;
    /// What the analysis knows beside its records (rules, report lines).
    analysis::Trail trail;
    std::string title;
    bool newFormat = false;
    int state = 0;
    bool moduleMarksSet = false;

private:
    xml::Document m_config;
    xml::Document m_report;
};

}  // namespace qx
