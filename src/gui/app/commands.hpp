#pragma once
// Command numbers of the main menus and toolbars, and their resource texts (the texts
// shown when the localisation table has no entry).

#include "analysis/findings.hpp"

#include <QString>

#include <optional>

namespace qx::gui::cmd {

enum Id : int {
    FileOpen = 57601,
    FileClose = 57602,
    FileSaveAs = 57604,
    PrintSetup = 57606,
    FilePrint = 57607,
    RecentFile = 57616,
    AppExit = 57665,
    AppAbout = 57664,
    WindowCascade = 57650,
    WindowTileHorz = 57651,
    WindowTileVert = 57652,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    Save = 32777,
    RunChecker = 32788,
    FilterBad = 32791,
    FilterGood = 32792,
    FilterRemark = 32793,
    FilterInformation = 32794,
    FilterCommand = 32795,
    FilterNotChecked = 32797,
    Compare = 32800,
    TextReport = 32802,
    OpenDocuments = 32810,
    TreeOpen = 32813,
    TreeClose = 32814,
    CloseAll = 32821,
    CloseAllConfig = 32824,
    CompareX = 32829,
    CompareY = 32830,
    SaveAsText = 32832,
    SaveAsXml = 32833,
    SaveRules = 32834,
    FindModule = 32835,
    CompareDefault = 32839,
    LookUpKdn = 32840,
    CreateQxs = 32841,
    LookUpKdnField = 32842,
    LangEnglish = 32846,
    LangHungarian = 32847,
    LangPortuguese = 32848,
    Preferences = 32851,
    CopyToClipboard = 32852,
    LiveUpdate = 32853,
    // The rule item editor, from the details list of a configuration window.
    RuleInsert = 32855,
    RuleModify = 32856,
    RuleDelete = 32857,
    RuleProperties = 32858,
};

/// The resource text of a command (menu entry), "&" marking the mnemonic.
QString resourceText(int id);
/// The tool tip of a toolbar button.
QString toolTip(int id);
/// The name of a toolbar command's picture (empty for commands without one).
QString picture(int id);
/// The status-bar prompt of a command (empty when none).
QString prompt(int id);
/// The mark a filter command shows or hides; nothing for other commands.
std::optional<analysis::Mark> filterMark(int id);
/// The list icon index a filter command toggles, or -1.
int filterIcon(int id);

}  // namespace qx::gui::cmd
