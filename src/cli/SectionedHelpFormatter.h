// The help of --help-all: every sub-command in a section of its own, as manual page tools read it.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace quirebook {

// The usual help, except that --help-all lists the sub-commands briefly and then gives each one
// a section: a heading line "quirebook NAME [OPTIONS] ARGS:" at the margin, then its description,
// arguments and options indented below it (the help flags left out). help2man turns each such
// heading into a sub-section of the manual page.
class SectionedHelpFormatter : public CLI::Formatter {
  public:
    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override;

  private:
    std::string Section(const CLI::App* parent, const CLI::App* sub) const;
};

}  // namespace quirebook
