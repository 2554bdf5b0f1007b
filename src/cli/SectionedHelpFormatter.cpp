#include "cli/SectionedHelpFormatter.h"

namespace quirebook {

std::string SectionedHelpFormatter::make_subcommands(const CLI::App* app,
                                                     CLI::AppFormatMode mode) const {
    if (mode != CLI::AppFormatMode::All) return Formatter::make_subcommands(app, mode);
    std::string out = Formatter::make_subcommands(app, CLI::AppFormatMode::Normal);
    for (const CLI::App* sub : app->get_subcommands({})) out += "\n" + Section(app, sub);
    return out;
}

std::string SectionedHelpFormatter::Section(const CLI::App* parent, const CLI::App* sub) const {
    std::string usage = make_usage(sub, parent->get_name() + " " + sub->get_name());
    usage.erase(0, usage.find(' ') + 1);  // "Usage: "
    usage.pop_back();                     // the line's end
    std::string out = usage + ":\n  " + sub->get_description() + "\n\n";
    const auto notHelp = [sub](const CLI::Option* option) {
        return option != sub->get_help_ptr() && option != sub->get_help_all_ptr();
    };
    for (const CLI::Option* option : sub->get_options(notHelp)) {
        if (!option->get_positional()) {
            out += make_option(option, false);
            continue;
        }
        // An argument's name alone on its line: help2man takes a line that starts with neither
        // a dash nor a break for the text of the paragraph before.
        out += "  " + make_option_name(option, true) + make_option_opts(option) + "\n" +
               std::string(column_width_, ' ') + make_option_desc(option) + "\n";
    }
    return out;
}

}  // namespace quirebook
