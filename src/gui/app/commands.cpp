#include "app/commands.hpp"

#include "lists/list_icons.hpp"

#include <QHash>

namespace qx::gui::cmd {
namespace {

struct Info {
    const char* text;
    const char* tip;
    const char* prompt;
    const char* picture = nullptr;  // the toolbar image's file, for commands on a toolbar
};

const QHash<int, Info>& table() {
    static const QHash<int, Info> t = {
        {FileOpen, {"&Open...\tCtrl+O", "Open", "Open an existing document", "folder-open"}},
        {OpenDocuments, {"Open &Documents...", "Open Documents", "Open multiple documents", "open-many"}},
        {FileSaveAs, {"Save &As...", "Save As", "Save the active window as a file"}},
        {FileClose, {"&Close", "Close", "Close the active document", "close"}},
        {Preferences, {"P&references", "Preferences", "Preferences", "gear"}},
        {LiveUpdate, {"&Live Update", "Live Update", "Get rules update", "live-update"}},
        {CopyToClipboard, {"Copy to Clip&board", "Copy to Clipboard", "Copy the list to the clipboard"}},
        {SaveAsText, {"Save as &text", "Save As text", "Save the list as text"}},
        {SaveAsXml, {"Save as &xml", "Save As xml", "Save the configuration, rules and report as XML"}},
        {SaveRules, {"Save &rules", "Save rules", "Save the rule base"}},
        {PrintSetup, {"P&rint Setup...", "Print Setup", "Change the printer and printing options"}},
        {RecentFile, {"Recent File", "", "Open this document"}},
        {AppExit, {"E&xit", "Exit", "Quit the application"}},
        {Compare, {"&Compare", "Compare", "Compare the open servers", "compare"}},
        {ViewStatusBar, {"&Status Bar", "Status Bar", "Show or hide the status bar"}},
        {ViewToolbar, {"&Toolbar", "Toolbar", "Show or hide the toolbar"}},
        {TreeOpen, {"Tree &Open", "Tree Open", "Expand the whole tree", "tree-open"}},
        {TreeClose, {"Tree &Close", "Tree Close", "Collapse the tree to its first level", "tree-close"}},
        {FilterInformation, {"&Information", "Information", "Show or hide Information rows"}},
        {FilterNotChecked, {"&Not Checked", "Not Checked", "Show or hide Not Checked rows"}},
        {FilterBad, {"&Bad", "Bad", "Show or hide Bad rows"}},
        {FilterGood, {"&Good", "Good", "Show or hide Good rows"}},
        {FilterRemark, {"&Remark", "Remark", "Show or hide Remark rows"}},
        {FilterCommand, {"Co&mmand", "Command", "Show or hide Command rows"}},
        {WindowCascade, {"&Cascade", "Cascade", "Arrange windows so they overlap", "cascade"}},
        {WindowTileHorz,
         {"Tile &Horizontally", "Tile Horizontally", "Arrange windows as non-overlapping tiles",
          "tile-horizontal"}},
        {WindowTileVert,
         {"Tile &Vertically", "Tile Vertically", "Arrange windows side by side", "tile-vertical"}},
        {CloseAll, {"Clo&se All", "Close All", "Close the all documents", "close-all"}},
        {CloseAllConfig,
         {"Close All config Windows", "Close All config Windows", "Close All config Windows",
          "close-config"}},
        {LangEnglish, {"&English", "English", "Switch the menus to English"}},
        {LangHungarian, {"&Magyar", "Hungarian", "Switch the menus to Hungarian"}},
        {LangPortuguese, {"&Portuguese", "Portuguese", "Switch the menus to Portuguese"}},
        {AppAbout,
         {"&About QXConfig...", "About", "Display program information, version number and copyright",
          "about"}},
        {TextReport,
         {"Text Report", "Text Report", "Open a dated text report of the server to edit and save"}},
        {RunChecker, {"Run Checker!", "Checker", "Run the analysis again on every open server", "run"}},
        {CreateQxs, {"Create QXS", "Create QXS", "Write the SET parameter command file", "qxs"}},
        {RuleInsert, {"&Insert...", "Insert", "Insert a rule below the selected node of the rule base"}},
        {RuleModify, {"&Modify...", "Modify", "Change the selected rule"}},
        {RuleDelete, {"&Delete...", "Delete", "Delete the selected rule with everything below it"}},
        {RuleProperties, {"P&roperties", "Properties", "Show the properties of the selected row"}},
        {Save, {"&Save", "Save", "Save the active document", "save"}},
        {FilePrint,
         {"&Print...\tCtrl+P", "Print", "Print the active window: a text or the details list", "print"}},
        {CompareX, {"Compare X", "Compare X", "Compare this section across the open servers"}},
        {CompareY, {"Compare Y", "Compare Y", "Compare this section, one row per server"}},
        {CompareDefault, {"Default", "Default", "Show the section of this server only"}},
        {FindModule, {"Find", "Find", "Look the file up on the support site"}},
        {LookUpKdn, {"Look up KDN", "Look up KDN", "Look the document up on the support site"}},
        {LookUpKdnField, {"Look up KDN", "Look up KDN", "Look up the support document the row names"}},
    };
    return t;
}

}  // namespace

QString resourceText(int id) {
    auto it = table().find(id);
    return it == table().end() ? QString() : QString::fromUtf8(it->text);
}

QString toolTip(int id) {
    auto it = table().find(id);
    return it == table().end() ? QString() : QString::fromUtf8(it->tip);
}

QString picture(int id) {
    auto it = table().find(id);
    return it == table().end() || !it->picture ? QString() : QString::fromUtf8(it->picture);
}

QString prompt(int id) {
    auto it = table().find(id);
    return it == table().end() ? QString() : QString::fromUtf8(it->prompt);
}

std::optional<analysis::Mark> filterMark(int id) {
    using analysis::Mark;
    static constexpr std::pair<int, Mark> kFilters[] = {{FilterInformation, Mark::Information},
                                                        {FilterNotChecked, Mark::NotChecked},
                                                        {FilterBad, Mark::Bad},
                                                        {FilterGood, Mark::Good},
                                                        {FilterRemark, Mark::Remark},
                                                        {FilterCommand, Mark::Command}};
    for (const auto& [command, mark] : kFilters) {
        if (command == id) return mark;
    }
    return std::nullopt;
}

int filterIcon(int id) {
    const auto mark = filterMark(id);
    return mark ? lists::markIcon(*mark) : -1;
}

}  // namespace qx::gui::cmd
