#include "cli/bash_completion.h"

#include <string>

#include "cli/command.h"
#include "cli/usage_words.h"

namespace cli {

namespace {

// The kind of a word in the script's lists; "-" stands for free text.
std::string kind_word(const std::string& placeholder) {
  const std::string kind = completion_kind(placeholder);
  return kind.empty() ? "-" : kind;
}

// Everything but the per-command table, which goes between the two halves.
constexpr const char* kHead =
    R"(# bash completion for dorvane-cli, generated from its command table.

# Offers the words of kind $1 for the word being completed: "dir", "file", "a|b|c" or "-".
_dorvane_cli_kind()
{
    case $1 in
        dir) mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
        file) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
        *'|'*) mapfile -t COMPREPLY < <(compgen -W "${1//|/ }" -- "$cur") ;;
    esac
}

_dorvane_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    if [[ $COMP_CWORD -eq 1 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$_dorvane_cli_commands --help --version" -- "$cur")
        return
    fi
    # positional: the kinds of the arguments in order; valued: option=kind of its value.
    local positional="" options="" valued=""
    case ${COMP_WORDS[1]} in
)";

constexpr const char* kTail = R"(        *) return ;;
    esac
    local entry
    for entry in $valued; do
        if [[ $prev == "${entry%%=*}" ]]; then
            _dorvane_cli_kind "${entry#*=}"
            return
        fi
    done
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
        return
    fi
    # The number of arguments before this one, options and their values left out.
    local i n=0 word
    for ((i = 2; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == --* ]]; then
            for entry in $valued; do
                [[ $word == "${entry%%=*}" ]] && ((i++))
            done
            continue
        fi
        ((n++))
    done
    local kinds
    read -r -a kinds <<< "$positional"
    _dorvane_cli_kind "${kinds[n]:--}"
}
complete -o filenames -F _dorvane_cli dorvane-cli
)";

}  // namespace

void write_bash_completion(std::ostream& out) {
  out << kHead;
  std::string names;
  for (const Command& command : commands()) {
    const UsageWords words = usage_words(command.usage);
    std::string positional;
    for (const std::string& word : words.positional)
      positional += (positional.empty() ? "" : " ") + kind_word(word);
    std::string options;
    std::string valued;
    for (const UsageOption& option : words.options) {
      options += (options.empty() ? "" : " ") + option.name;
      if (!option.placeholder.empty())
        valued += (valued.empty() ? "" : " ") + option.name + "=" + kind_word(option.placeholder);
    }
    out << "        " << command.name << ")\n"
        << "            positional=\"" << positional << "\" options=\"" << options << "\" valued=\""
        << valued << "\" ;;\n";
    names += (names.empty() ? "" : " ") + std::string(command.name);
  }
  out << kTail << "_dorvane_cli_commands=\"" << names << "\"\n";
}

}  // namespace cli
