#pragma once
// Shell completion for qxconfig-cli, written from the command definitions themselves so
// that it always offers the subcommands and options the program really has.

#include <CLI/CLI.hpp>

#include <string>

namespace qx::cli {

/// A bash completion script for every subcommand and option of `app`.
std::string bashCompletionScript(const CLI::App& app);

/// Adds `completion bash`, which prints that script.
void addCompletionCommand(CLI::App& app, int& exitCode);

}  // namespace qx::cli
