#include "import/section_parsers.hpp"
#include "util/text.hpp"

namespace qx::import {

// A line with ": " is a server parameter, one with "=" (and no ": ") a SET parameter filed
// under the current heading:
//   Server Name..........: FS1
//   * Communications *
//   Maximum Packet Receive Buffers = 500
void parseParameters(ImportContext& ctx) {
    ParseState& st = ctx.state;
    const std::string_view line = st.line;
    const auto colon = line.find(": ");
    if (colon == std::string_view::npos || colon == 0) {
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) return;
        const std::string_view name = text::trimLeftBlanks(line.substr(0, eq));
        const std::string_view value = text::trimLeftBlanks(line.substr(eq + 1));
        xml::Node container = ctx.runContainer("setparams", "setparams", "Set Parameter");
        ParameterState& ps = ctx.parameters;
        // A category belongs to one container: SET lines of a new run never join a
        // category of an earlier one. A first SET line under no heading gets a category
        // with an empty name rather than being lost.
        if (!ps.categoryCreated || st.heading != ps.lastCategoryName ||
            ps.currentCategory.parent() != container) {
            ps.currentCategory = ctx.add(container, "set-category");
            ctx.setAttr(ps.currentCategory, "name", st.heading);
            ps.lastCategoryName = st.heading;
            ps.categoryCreated = true;
        }
        xml::Node param = ctx.add(ps.currentCategory, "set-param");
        ctx.addText(param, "name", name);
        ctx.addText(param, "value", value);
        return;
    }
    ctx.splitNameValue();
    xml::Node container = ctx.blockContainer("serverparams", "Server");
    xml::Node param = ctx.add(container, "serverparam");
    ctx.addText(param, "name", st.name);
    ctx.addText(param, "value", st.value);
}

}  // namespace qx::import
