#pragma once
// What the commands that print findings share: the facts of the run for the outputs.

#include "cli/cli_common.hpp"
#include "outputs/analysed_report.hpp"

namespace qx::cli {

/// The program and the rule base (as the options chose it) for the outputs to name.
outputs::RunInfo runInfo(const EnvironmentOptions& env, const Application& app);

void addFleetCommand(CLI::App& app, int& exitCode);

}  // namespace qx::cli
