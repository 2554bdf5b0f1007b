#include "word/docx/RunMarkup.h"

#include <cctype>

#include "word/docx/FormatCss.h"
#include "word/docx/WordHtmlText.h"

namespace quirebook {

namespace {

bool SwitchedOn(const std::optional<bool>& value, const std::optional<bool>& base) {
    return value.value_or(false) && !base.value_or(false);
}

void Wrap(RunMarkup& markup, const std::string& open, const std::string& close) {
    markup.Open += open;
    markup.Close.insert(0, close);
}

}  // namespace

std::string PageLanguageTag(std::string_view language) {
    std::string tag;
    for (const char c : language) {
        const bool allowed = std::isalnum(static_cast<unsigned char>(c)) || c == '-';
        if (allowed) tag += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return tag;
}

RunMarkup MakeRunMarkup(const RunFormat& format, const RunFormat& base,
                        const std::string& styleClass, const std::string& pageLanguage,
                        const DocxFonts& fonts) {
    RunMarkup markup;
    if (!styleClass.empty()) {
        std::string open = "<span";
        AppendAttribute(open, "class", styleClass);
        Wrap(markup, open + '>', "</span>");
    }
    if (SwitchedOn(format.Bold, base.Bold)) Wrap(markup, "<b>", "</b>");
    if (SwitchedOn(format.Italic, base.Italic)) Wrap(markup, "<i>", "</i>");
    // A plain line is the element; a styled one is declared with its style in the span below.
    if (format.LineStyle.value_or("").empty()) {
        if (SwitchedOn(format.Underline, base.Underline)) Wrap(markup, "<u>", "</u>");
        if (SwitchedOn(format.Strike, base.Strike)) Wrap(markup, "<s>", "</s>");
    }

    std::string span;
    const bool rightToLeft = format.RightToLeft.value_or(false);
    // Right-to-left text is in the language Word keeps for it.
    const std::optional<std::string>& spoken =
        rightToLeft && format.BidiLanguage ? format.BidiLanguage : format.Language;
    if (spoken) {
        const std::string language = PageLanguageTag(*spoken);
        if (!language.empty() && language != pageLanguage) AppendAttribute(span, "lang", language);
    }
    if (rightToLeft) AppendAttribute(span, "dir", "RTL");
    CssDeclarations changes;
    AddRunChanges(format, base, fonts, changes);
    if (!changes.Empty()) span += " style='" + changes.Inline() + "'";
    if (!span.empty()) Wrap(markup, "<span" + span + '>', "</span>");

    const std::string raised = format.VerticalAlign.value_or("baseline");
    if (raised != base.VerticalAlign.value_or("baseline")) {
        if (raised == "super")
            Wrap(markup, "<sup>", "</sup>");
        else if (raised == "sub")
            Wrap(markup, "<sub>", "</sub>");
    }
    return markup;
}

}  // namespace quirebook
