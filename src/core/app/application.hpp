#pragma once
// The application state both front ends share: program directory, localisation table,
// rule base and the settings values. The GUI persists the settings; the core only holds them.

#include "localisation/localisation.hpp"
#include "xml/xml_document.hpp"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>

namespace qx {

/// Settings values with their defaults (empty texts mean "use the default").
struct Settings {
    static constexpr const char* kDefaultFileFinderUrl =
        "https://support.quarrix.com/servlet/filefinder?name=";
    static constexpr const char* kDefaultKdnFinderUrl = "https://support.quarrix.com/servlet/kdnfinder/";
    static constexpr const char* kDefaultRulesUpdateUrl = "ftp://ftp.quarrix.com/allupdates/rules.xml";
    static constexpr int kDefaultReminderInterval = 14;

    std::string fileFinderUrl = kDefaultFileFinderUrl;
    std::string kdnFinderUrl = kDefaultKdnFinderUrl;
    std::string rulesUpdateUrl = kDefaultRulesUpdateUrl;
    int reminderInterval = kDefaultReminderInterval;  // days; 0: never remind
    std::int64_t lastReminder = 0;                    // seconds since 1970; 0: never
};

/// Whether the update reminder is due at `now` (interval 0 never is).
bool reminderDue(const Settings& s, std::int64_t now);

/// Outcome of loading the rule base.
enum class RuleBaseLoad { Loaded, Missing, Malformed };

class Application {
public:
    /// The message every opening shows without a rule base.
    static constexpr const char* kRulesNeededMessage =
        "Rules.xml is needed for this application. Please use LiveUpdate to get the most recent "
        "version of this file.";

    /// How long "Save rules" waits for a live update or another save to finish.
    static constexpr std::chrono::milliseconds kSaveLockWait{3000};

    explicit Application(std::string programDir);

    [[nodiscard]] const std::string& programDir() const { return m_programDir; }
    [[nodiscard]] std::string rulesPath() const;

    /// menu.xml of the program directory (the data folder), else the embedded table.
    LocalisationSource loadLocalisation();
    /// rules.xml of the program directory (or the given file). A rule base
    /// the program cannot use (not a regular file of well-formed XML, nested too deep, another
    /// document element than `rules`) is refused; ruleBaseError() says why.
    RuleBaseLoad loadRuleBase();
    RuleBaseLoad loadRuleBaseFrom(const std::string& path);
    /// Why the last load or reload failed ("line 3: not well-formed XML: ..."), else empty.
    [[nodiscard]] const std::string& ruleBaseError() const { return m_ruleBaseError; }
    /// Reloads rules.xml; refused (false) while documents are open. A reload makes the rule
    /// base loaded also when start-up found none.
    bool reloadRuleBase();
    /// "Save rules": stamps today's date ("%m %d %Y") and replaces rules.xml atomically,
    /// holding the rule base's lock so that no live update or other save runs at the same
    /// time. Returns an empty text on success, else what failed.
    std::string saveRules(std::time_t now);
    /// The rule base's `date` attribute (empty without one).
    [[nodiscard]] std::string ruleBaseDate() const;

    [[nodiscard]] bool ruleBaseLoaded() const { return m_ruleBaseLoaded; }
    [[nodiscard]] xml::Document& ruleBase() { return m_ruleBase; }
    [[nodiscard]] const xml::Document& ruleBase() const { return m_ruleBase; }
    [[nodiscard]] Localisation& localisation() { return m_localisation; }
    [[nodiscard]] const Localisation& localisation() const { return m_localisation; }

    [[nodiscard]] std::string label(std::string_view key) const { return m_localisation.label(key); }
    [[nodiscard]] std::string valueLabel(std::string_view g, std::string_view v) const {
        return m_localisation.valueLabel(g, v);
    }
    [[nodiscard]] std::string menuText(std::string_view id) const { return m_localisation.menuText(id); }
    [[nodiscard]] const std::string& language() const { return m_localisation.language(); }
    void setLanguage(std::string lang) { m_localisation.setLanguage(std::move(lang)); }

    Settings settings;
    /// Next free product ID (set by the product check, used by the rule editor).
    int nextProductNumber = 0;
    /// Open configuration documents; the front ends keep it current.
    int openDocuments = 0;

    /// An independent copy (own rule base) for a worker thread.
    [[nodiscard]] Application cloneForWorker() const;

private:
    std::string m_programDir;
    Localisation m_localisation;
    xml::Document m_ruleBase;
    bool m_ruleBaseLoaded = false;
    std::string m_ruleBaseError;
};

}  // namespace qx
