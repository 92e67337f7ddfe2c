#include "app/application.hpp"

#include "platform/file_system.hpp"

#include <array>

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

RuleBaseLoad Application::loadRuleBaseFrom(const std::string& path) {
    auto r = m_ruleBase.loadFile(path);
    m_ruleBaseLoaded = r.ok();
    if (r.ok()) return RuleBaseLoad::Loaded;
    return (r.status == xml::LoadStatus::FileNotFound) ? RuleBaseLoad::Missing : RuleBaseLoad::Malformed;
}

bool Application::reloadRuleBase() {
    if (openDocuments > 0) return false;
    xml::Document fresh;
    if (!fresh.loadFile(rulesPath()).ok()) return false;
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
