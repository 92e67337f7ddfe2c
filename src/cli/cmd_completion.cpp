#include "cli/completion.hpp"

#include "cli/cli_common.hpp"

#include <iostream>
#include <sstream>
#include <vector>

namespace qx::cli {

namespace {

/// What the word after an option (or a positional argument) is.
enum class ValueKind { None, File, Folder, Choice, Free };

struct OptionShape {
    std::vector<std::string> names;  // "--rules", "-o"
    ValueKind kind = ValueKind::None;
    std::string choices;  // blank-separated, for ValueKind::Choice
};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

/// The choices of an IsMember check, read from the type name CLI11 shows ("TEXT:{a,b}").
std::string choicesOf(const CLI::Option& opt) {
    const std::string type = opt.get_type_name();
    const auto open = type.find('{');
    const auto close = type.find('}', open);
    if (open == std::string::npos || close == std::string::npos) return {};
    std::string list = type.substr(open + 1, close - open - 1);
    for (char& c : list) {
        if (c == ',') c = ' ';
    }
    return list;
}

ValueKind kindOf(const CLI::Option& opt, const std::string& choices) {
    if (opt.get_items_expected_max() == 0) return ValueKind::None;  // a flag
    if (!choices.empty()) return ValueKind::Choice;
    const std::string name = lower(opt.get_name(true, true));
    if (name.find("dir") != std::string::npos || name.find("folder") != std::string::npos)
        return ValueKind::Folder;
    const std::string type = opt.get_type_name();
    if (type.rfind("INT", 0) == 0 || type.rfind("UINT", 0) == 0 || name.find("url") != std::string::npos) {
        return ValueKind::Free;
    }
    return ValueKind::File;
}

OptionShape shapeOf(const CLI::Option& opt) {
    OptionShape s;
    for (const auto& l : opt.get_lnames()) s.names.push_back("--" + l);
    for (const auto& n : opt.get_snames()) s.names.push_back("-" + n);
    s.choices = choicesOf(opt);
    s.kind = kindOf(opt, s.choices);
    return s;
}

std::string join(const std::vector<std::string>& words, const char* sep) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : sep) + w;
    return out;
}

/// The `compgen` call that completes one kind of word.
std::string completer(ValueKind kind, const std::string& choices) {
    switch (kind) {
        case ValueKind::Choice:
            return "_qxconfig_cli_reply -W \"" + choices + "\"";
        case ValueKind::Folder:
            return "_qxconfig_cli_reply -d";
        case ValueKind::File:
            return "_qxconfig_cli_reply -f";
        case ValueKind::None:
        case ValueKind::Free:
            break;
    }
    return "COMPREPLY=()";
}

/// The case arm of one subcommand: values after its options, then options or positionals.
void writeSubcommand(std::ostringstream& out, const CLI::App& sub) {
    std::vector<std::string> optionWords;
    std::ostringstream values;
    ValueKind positional = ValueKind::None;
    std::string positionalChoices;
    for (const CLI::Option* opt : sub.get_options()) {
        if (opt->get_group().empty()) continue;  // hidden
        OptionShape s = shapeOf(*opt);
        if (opt->get_positional()) {
            if (positional == ValueKind::None) {
                positional = s.kind == ValueKind::None ? ValueKind::File : s.kind;
                positionalChoices = s.choices;
            }
            continue;
        }
        optionWords.insert(optionWords.end(), s.names.begin(), s.names.end());
        if (s.kind != ValueKind::None) {
            values << "        " << join(s.names, "|") << ") " << completer(s.kind, s.choices)
                   << "; return ;;\n";
        }
    }
    std::vector<std::string> spellings{sub.get_name()};
    for (const auto& alias : sub.get_aliases()) spellings.push_back(alias);
    out << "    " << join(spellings, "|") << ")\n";
    const std::string valueArms = values.str();
    if (!valueArms.empty()) out << "      case $prev in\n" << valueArms << "      esac\n";
    out << "      opts=\"" << join(optionWords, " ") << "\"\n";
    out << "      _qxconfig_cli_args() { " << completer(positional, positionalChoices) << "; }\n";
    out << "      ;;\n";
}

}  // namespace

std::string bashCompletionScript(const CLI::App& app) {
    std::vector<std::string> names, spellings;  // spellings: the names and their aliases
    const auto subs = app.get_subcommands([](const CLI::App*) { return true; });
    for (const CLI::App* sub : subs) {
        names.push_back(sub->get_name());
        spellings.push_back(sub->get_name());
        for (const auto& alias : sub->get_aliases()) spellings.push_back(alias);
    }
    std::vector<std::string> topOptions;
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_group().empty()) continue;
        auto s = shapeOf(*opt);
        topOptions.insert(topOptions.end(), s.names.begin(), s.names.end());
    }
    std::ostringstream out;
    out << "# bash completion for qxconfig-cli (written by `qxconfig-cli completion bash`)\n"
           "_qxconfig_cli_reply() {\n"
           "  local w\n"
           "  COMPREPLY=()\n"
           "  while IFS= read -r w; do COMPREPLY+=(\"$w\"); done < <(compgen \"$@\" -- \"$cur\")\n"
           "}\n"
           "_qxconfig_cli() {\n"
           "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} sub= opts i\n"
           "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "    case ${COMP_WORDS[i]} in\n"
           "      "
        << join(spellings, "|")
        << ") sub=${COMP_WORDS[i]}; break ;;\n"
           "    esac\n"
           "  done\n"
           "  case $sub in\n"
           "    \"\")\n"
           "      opts=\""
        << join(topOptions, " ")
        << "\"\n"
           "      _qxconfig_cli_args() { _qxconfig_cli_reply -W \""
        << join(names, " ")
        << "\"; }\n"
           "      ;;\n";
    for (const CLI::App* sub : subs) writeSubcommand(out, *sub);
    out << "  esac\n"
           "  if [[ $cur == -* ]]; then _qxconfig_cli_reply -W \"$opts\"; else _qxconfig_cli_args; fi\n"
           "}\n"
           "complete -o filenames -F _qxconfig_cli qxconfig-cli\n";
    return out.str();
}

void addCompletionCommand(CLI::App& app, int& exitCode) {
    auto* cmd = app.add_subcommand(
        "completion",
        "Print a bash completion script for qxconfig-cli (installed packages already load one; "
        "for a build tree: source <(qxconfig-cli completion bash))");
    auto shell = std::make_shared<std::string>();
    cmd->add_option("SHELL", *shell, "The shell; only bash is known")
        ->required()
        ->check(CLI::IsMember({"bash"}));
    cmd->callback([&app, &exitCode, shell] {
        std::cout << bashCompletionScript(app);
        exitCode = flushStdout() ? kExitOk : kExitError;
    });
}

}  // namespace qx::cli
