#include "cli/cli_outputs.hpp"

namespace qx::cli {

outputs::RunInfo runInfo(const EnvironmentOptions& env, const Application& app) {
    return outputs::runInfo(app, env.rules.empty() ? app.rulesPath() : env.rules);
}

}  // namespace qx::cli
