// Module and file listings: the loaded-modules list, the directory listings whose indented
// lines carry module versions, and the client executable files.
#include "import/section_parsers.hpp"
#include "util/text.hpp"

#include <algorithm>

namespace qx::import {

namespace {

// The `modules` container with its two lists, which the directory listings need as well.
void addModulesContainer(ImportContext& ctx, bool asBlockContainer) {
    xml::Node modules;
    if (asBlockContainer) {
        modules = ctx.createContainer("modules", "modules", "Modules");
    } else {
        // Created for a stray line: the state of the running block is left alone.
        modules = ctx.add(ctx.config, "modules");
        ctx.builder.setAttribute(modules, "name", "Modules");
    }
    ctx.modules.loadedModules = ctx.add(modules, "loaded-modules");
    ctx.modules.searchPathModules = ctx.add(modules, "search-path-modules");
}

void addIfPresent(ImportContext& ctx, xml::Node parent, const char* element,
                  const std::vector<std::string_view>& words, std::size_t index) {
    if (index < words.size()) ctx.addText(parent, element, words[index]);
}

std::string joinWords(const std::vector<std::string_view>& words, std::size_t from, std::size_t to,
                      std::string_view separator) {
    std::string out;
    for (std::size_t i = from; i < to && i < words.size(); ++i) {
        out.append(words[i]);
        out.append(separator);
    }
    return out;
}

bool startsModuleRecord(std::string_view line) {
    if (line.empty() || line[0] == ' ' || line.size() <= 10) return false;
    const std::string_view head = line.substr(0, 5);
    return text::toUpper(head) == head;
}

// A continuation that arrives before any module is kept in a record of its own.
void appendContinuation(ImportContext& ctx, std::string_view line) {
    ModuleListState& ms = ctx.modules;
    if (!ms.lastDescription) {
        if (!ms.loadedModules) addModulesContainer(ctx, ctx.state.blockMarker.empty());
        xml::Node module = ctx.add(ms.loadedModules, "module");
        ctx.addText(module, "name", "");
        ctx.addText(module, "version", "");
        ctx.addText(module, "date", "");
        ms.lastDescription = ctx.addText(module, "description", "");
        ms.lastDescriptionText.clear();
    }
    ms.lastDescriptionText.append(line);
    xml::setText(ms.lastDescription, xml::fromLatin1(ms.lastDescriptionText));
}

}  // namespace

// A record starts on a line that begins with an upper-case name; anything else continues the
// description of the module before it:
//   SERVER.QXK         5.70.05  February 3, 2006     Quarrix Server Operating System
//   DIRCORE.QXK        10.5.1   March 14, 2006       Directory Services Core
//      Loaded from [C:\QUARRIX\]
void parseLoadedModules(ImportContext& ctx) {
    const std::string_view line = ctx.state.line;
    if (!startsModuleRecord(line)) {
        appendContinuation(ctx, line);
        return;
    }
    ModuleListState& ms = ctx.modules;
    if (ctx.state.blockMarker.empty() || !ms.loadedModules) addModulesContainer(ctx, true);
    const auto words = text::splitWords(line);
    xml::Node module = ctx.add(ms.loadedModules, "module");
    addIfPresent(ctx, module, "name", words, 0);
    addIfPresent(ctx, module, "version", words, 1);
    ctx.addText(module, "date", joinWords(words, 2, 5, ""));
    ms.lastDescriptionText = joinWords(words, 5, words.size(), " ");
    ms.lastDescription = ctx.addText(module, "description", ms.lastDescriptionText);
}

// Directory lines carry name, size, date, time and attributes; an indented line under one
// carries the version of that file:
//   SERVER.QXK     1843456  02-03-2006  10:15a  [RWA-----]
//      5.70.05  February 3, 2006  Quarrix Server Operating System
void parseDirectoryListing(ImportContext& ctx) {
    ParseState& st = ctx.state;
    if (st.sectionName.find_first_of("[]") != std::string::npos) {
        st.sectionName = text::removeChar(text::removeChar(st.sectionName, '['), ']');
    }
    std::replace(st.line.begin(), st.line.end(), '\t', ' ');
    const std::string dirName = st.sectionName.size() > 11 ? st.sectionName.substr(11) : std::string();
    ModuleListState& ms = ctx.modules;
    if (!ms.directoriesCurrent || !ms.directories) {
        ms.directories = ctx.createContainer("directories", "directories", nullptr);
        ms.directoriesCurrent = true;
        st.blockMarker.clear();
    }
    // The section name marks the block: never empty, even for a listing without a directory name.
    if (st.blockMarker != st.sectionName || !ms.currentDirectory) {
        st.blockMarker = st.sectionName;
        ms.currentDirectory = ctx.add(ms.directories, "directory");
        ctx.setAttr(ms.currentDirectory, "name", dirName);
    }
    const auto words = text::splitWords(st.line);
    if (st.line[0] != ' ') {
        xml::Node entry = ctx.add(ms.currentDirectory, "directory-line");
        const char* fields[] = {"name", "type", "date", "time"};
        std::string* remembered[] = {&ms.lastFileName, &ms.lastType, &ms.lastDate, &ms.lastTime};
        for (std::size_t i = 0; i < 4; ++i) {
            addIfPresent(ctx, entry, fields[i], words, i);
            *remembered[i] = i < words.size() ? std::string(words[i]) : std::string();
        }
        ms.lastFileLine = st.lineNumber;
        ctx.addText(entry, "attrib", text::trimRightBlanks(joinWords(words, 4, words.size(), " ")));
        return;
    }
    if (!ms.searchPathModules) addModulesContainer(ctx, false);
    // The module began on the directory line that named its file.
    xml::Node module = ctx.add(ms.searchPathModules, "module", ms.lastFileLine);
    ctx.addText(module, "name", ms.lastFileName);
    addIfPresent(ctx, module, "version", words, 0);
    ctx.addText(module, "date", joinWords(words, 1, 4, ""));
    ctx.addText(module, "description", joinWords(words, 4, words.size(), " "));
    ctx.addText(module, "dir", dirName);
    ctx.addText(module, "file-date", ms.lastDate);
    ctx.addText(module, "file-time", ms.lastTime);
    ctx.addText(module, "size", ms.lastType);
}

// A "[" line names the directory of the files listed after it:
//   [SYS:PUBLIC\WIN32]
//   02-14-2006  09:12:00  1234567  QXCLIENT.EXE
void parseClientExecutables(ImportContext& ctx) {
    xml::Node container =
        ctx.runContainer("client-executable-files", "client-executable-files", "Client Executable Files");
    const std::string_view line = ctx.state.line;
    if (text::startsWith(line, "[")) {
        ctx.modules.currentClientDirectory = std::string(line);
        return;
    }
    const auto words = text::splitWords(line);
    xml::Node module = ctx.add(container, "module");
    const char* fields[] = {"file-date", "file-time", "size", "name"};
    for (std::size_t i = 0; i < 4; ++i) addIfPresent(ctx, module, fields[i], words, i);
    ctx.addText(module, "dir", ctx.modules.currentClientDirectory);
}

}  // namespace qx::import
