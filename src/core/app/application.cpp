#include "app/application.hpp"

#include "analysis/rule_base_check.hpp"
#include "platform/file_system.hpp"

#include <array>
#include <cerrno>

namespace qx {

bool reminderDue(const Settings& s, std::int64_t now) {
    if (s.reminderInterval == 0) return false;
    if (s.lastReminder != 0 && s.lastReminder + static_cast<std::int64_t>(s.reminderInterval) * 86400 > now) {
        return false;
    }
    return true;
}

Application::Application(std::string programDir) : m_programDir(std::move(programDir)) {}

std::string Application::rulesPath() const {
    return platform::joinPath(m_programDir, "rules.xml");
}

LocalisationSource Application::loadLocalisation() {
    return m_localisation.loadFrom(m_programDir);
}

RuleBaseLoad Application::loadRuleBase() {
    return loadRuleBaseFrom(rulesPath());
}

namespace {

// Loads a rule base file with the checks every use of one applies; returns why it failed.
std::string loadChecked(const std::string& path, xml::Document& into, bool& missing) {
    std::string error;
    const auto content = platform::readFile(path, &error);
    missing = !content && errno == ENOENT;
    if (!content) return error;
    return analysis::describe(analysis::loadRuleBase(*content, into));
}

}  // namespace

RuleBaseLoad Application::loadRuleBaseFrom(const std::string& path) {
    bool missing = false;
    m_ruleBaseError = loadChecked(path, m_ruleBase, missing);
    m_ruleBaseLoaded = m_ruleBaseError.empty();
    if (m_ruleBaseLoaded) return RuleBaseLoad::Loaded;
    m_ruleBase.clear();
    return missing ? RuleBaseLoad::Missing : RuleBaseLoad::Malformed;
}

bool Application::reloadRuleBase() {
    if (openDocuments > 0) return false;
    xml::Document fresh;
    bool missing = false;
    m_ruleBaseError = loadChecked(rulesPath(), fresh, missing);
    if (!m_ruleBaseError.empty()) return false;
    m_ruleBase = std::move(fresh);
    // A program started without a rule base can open reports once an update brought one.
    m_ruleBaseLoaded = true;
    return true;
}

std::string Application::saveRules(std::time_t now) {
    xml::Node root = m_ruleBase.root();
    if (!root) return "no rule base is loaded";
    std::tm tm{};
    localtime_r(&now, &tm);
    std::array<char, 32> buf{};
    std::strftime(buf.data(), buf.size(), "%m %d %Y", &tm);
    platform::FileLock lock;
    switch (lock.acquire(platform::ruleBaseLockFolder(rulesPath()), kSaveLockWait)) {
        case platform::FileLock::Result::Acquired:
            break;
        case platform::FileLock::Result::Busy:
            return "a live update or another save of the rule base is running; try again when it has "
                   "finished";
        case platform::FileLock::Result::Failed:
            return lock.error();
    }
    xml::setAttribute(root, "date", buf.data());
    return m_ruleBase.saveFile(rulesPath()).error;
}

std::string Application::ruleBaseDate() const {
    return xml::attribute(m_ruleBase.root(), "date");
}

Application Application::cloneForWorker() const {
    Application copy(m_programDir);
    copy.m_localisation.document().copyFrom(m_localisation.document());
    copy.m_localisation.reindex();
    copy.m_localisation.setLanguage(m_localisation.language());
    copy.m_ruleBase.copyFrom(m_ruleBase);
    copy.m_ruleBaseLoaded = m_ruleBaseLoaded;
    copy.settings = settings;
    copy.nextProductNumber = nextProductNumber;
    return copy;
}

}  // namespace qx
