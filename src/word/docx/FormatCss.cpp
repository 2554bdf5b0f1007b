#include "word/docx/FormatCss.h"

#include "word/docx/WordUnits.h"

namespace quirebook {

namespace {

template <typename T>
T ValueOr(const std::optional<T>& value, T fallback) {
    return value ? *value : fallback;
}

std::string LineHeight(const ParagraphFormat& format) {
    if (!format.Line) return {};
    if (format.LineRule.value_or("auto") == "auto") {
        const long percent = *format.Line * 100 / 240;
        return percent == 100 ? std::string() : std::to_string(percent) + "%";
    }
    return TwipsAsPointsText(*format.Line);
}

std::string TextDecoration(const RunFormat& format) {
    const bool underline = format.Underline.value_or(false);
    const bool strike = format.Strike.value_or(false);
    if (underline && strike) return "underline line-through";
    if (underline) return "underline";
    if (strike) return "line-through";
    return {};
}

}  // namespace

void CssDeclarations::Add(std::string property, std::string value) {
    m_items.emplace_back(std::move(property), std::move(value));
}

std::string CssDeclarations::Inline() const {
    std::string text;
    for (const auto& [property, value] : m_items) {
        if (!text.empty()) text += ';';
        text += property + ':' + value;
    }
    return text;
}

std::string CssDeclarations::Block() const {
    std::string text = "\n\t{";
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (i != 0) text += "\n\t";
        text += m_items[i].first + ':' + m_items[i].second + ';';
    }
    return text + '}';
}

void AddParagraphRule(const ParagraphFormat& format, CssDeclarations& css) {
    const long top = ValueOr(format.SpaceBefore, 0L), bottom = ValueOr(format.SpaceAfter, 0L);
    const long left = ValueOr(format.Left, 0L), right = ValueOr(format.Right, 0L);
    if (top == 0 && bottom == 0 && left == 0 && right == 0) {
        css.Add("margin", "0in");
    } else {
        css.Add("margin-top", TwipsAsPointsText(top));
        css.Add("margin-right", TwipsText(right));
        css.Add("margin-bottom", TwipsAsPointsText(bottom));
        css.Add("margin-left", TwipsText(left));
    }
    if (format.Alignment && *format.Alignment != "left") css.Add("text-align", *format.Alignment);
    if (format.FirstLine && *format.FirstLine != 0)
        css.Add("text-indent", TwipsText(*format.FirstLine));
    if (std::string height = LineHeight(format); !height.empty()) css.Add("line-height", height);
    if (format.PageBreakBefore.value_or(false)) css.Add("page-break-before", "always");
    if (format.KeepNext.value_or(false)) css.Add("page-break-after", "avoid");
    if (format.KeepLines.value_or(false)) css.Add("page-break-inside", "avoid");
    if (format.Background) css.Add("background", *format.Background);
}

void AddRunRule(const RunFormat& format, const DocxFonts& fonts, CssDeclarations& css) {
    if (format.HalfPoints) css.Add("font-size", HalfPointsText(*format.HalfPoints));
    if (format.Font) css.Add("font-family", fonts.CssFamily(*format.Font));
    if (format.Color && *format.Color != "windowtext") css.Add("color", *format.Color);
    if (format.Background) css.Add("background", *format.Background);
    if (format.Spacing && *format.Spacing != 0)
        css.Add("letter-spacing", TwipsAsPointsText(*format.Spacing));
    if (format.Caps.value_or(false)) css.Add("text-transform", "uppercase");
    if (format.SmallCaps.value_or(false)) css.Add("font-variant", "small-caps");
    if (format.Bold.value_or(false)) css.Add("font-weight", "bold");
    if (format.Italic.value_or(false)) css.Add("font-style", "italic");
    if (std::string decoration = TextDecoration(format); !decoration.empty()) {
        css.Add("text-decoration", decoration);
        if (!format.LineStyle.value_or("").empty())
            css.Add("text-decoration-style", *format.LineStyle);
    }
    if (format.VerticalAlign && *format.VerticalAlign != "baseline")
        css.Add("vertical-align", *format.VerticalAlign);
    if (format.Hidden.value_or(false)) css.Add("display", "none");
}

void AddParagraphChanges(const ParagraphFormat& format, const ParagraphFormat& style,
                         CssDeclarations& css) {
    const auto changed = [](const std::optional<long>& value, const std::optional<long>& base) {
        return value.value_or(0) != base.value_or(0);
    };
    if (changed(format.SpaceBefore, style.SpaceBefore))
        css.Add("margin-top", TwipsAsPointsText(ValueOr(format.SpaceBefore, 0L)));
    if (changed(format.Right, style.Right))
        css.Add("margin-right", TwipsText(ValueOr(format.Right, 0L)));
    if (changed(format.SpaceAfter, style.SpaceAfter))
        css.Add("margin-bottom", TwipsAsPointsText(ValueOr(format.SpaceAfter, 0L)));
    if (changed(format.Left, style.Left))
        css.Add("margin-left", TwipsText(ValueOr(format.Left, 0L)));
    const std::string alignment = format.Alignment.value_or("left");
    // A right-to-left paragraph starts at the right: its alignment is always said. Its
    // direction is its dir attribute's alone, which every reading system follows; EPUB 3
    // forbids the direction properties in style sheets.
    if (alignment != style.Alignment.value_or("left") || format.Bidi.value_or(false))
        css.Add("text-align", alignment);
    if (changed(format.FirstLine, style.FirstLine))
        css.Add("text-indent", TwipsText(ValueOr(format.FirstLine, 0L)));
    const std::string height = LineHeight(format);
    if (height != LineHeight(style)) css.Add("line-height", height.empty() ? "normal" : height);
    const bool breakBefore = format.PageBreakBefore.value_or(false);
    if (breakBefore != style.PageBreakBefore.value_or(false))
        css.Add("page-break-before", breakBefore ? "always" : "auto");
    if (format.Background && format.Background != style.Background)
        css.Add("background", *format.Background);
}

void AddRunChanges(const RunFormat& format, const RunFormat& base, const DocxFonts& fonts,
                   CssDeclarations& css) {
    if (format.HalfPoints && format.HalfPoints != base.HalfPoints)
        css.Add("font-size", HalfPointsText(*format.HalfPoints));
    if (format.Font && format.Font != base.Font)
        css.Add("font-family", fonts.CssFamily(*format.Font));
    if (format.Color && format.Color != base.Color.value_or("windowtext"))
        css.Add("color", *format.Color);
    if (format.Background && format.Background != base.Background)
        css.Add("background", *format.Background);
    if (ValueOr(format.Spacing, 0L) != ValueOr(base.Spacing, 0L))
        css.Add("letter-spacing", TwipsAsPointsText(ValueOr(format.Spacing, 0L)));
    const auto switched = [](const std::optional<bool>& value, const std::optional<bool>& was) {
        return value.value_or(false) != was.value_or(false);
    };
    if (switched(format.Caps, base.Caps))
        css.Add("text-transform", format.Caps.value_or(false) ? "uppercase" : "none");
    if (switched(format.SmallCaps, base.SmallCaps))
        css.Add("font-variant", format.SmallCaps.value_or(false) ? "small-caps" : "normal");
    if (base.Bold.value_or(false) && !format.Bold.value_or(false)) css.Add("font-weight", "normal");
    if (base.Italic.value_or(false) && !format.Italic.value_or(false))
        css.Add("font-style", "normal");
    const std::string decoration = TextDecoration(format);
    if (!TextDecoration(base).empty() && decoration.empty()) css.Add("text-decoration", "none");
    if (!decoration.empty() && !format.LineStyle.value_or("").empty() &&
        (decoration != TextDecoration(base) || format.LineStyle != base.LineStyle)) {
        css.Add("text-decoration", decoration);
        css.Add("text-decoration-style", *format.LineStyle);
    }
    const std::string raised = format.VerticalAlign.value_or("baseline");
    if (raised == "baseline" && base.VerticalAlign.value_or("baseline") != "baseline")
        css.Add("vertical-align", "baseline");
    if (format.Hidden.value_or(false) && !base.Hidden.value_or(false)) css.Add("display", "none");
}

}  // namespace quirebook
