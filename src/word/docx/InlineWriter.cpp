#include "word/docx/InlineWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "word/docx/FloatPlacement.h"
#include "word/docx/LeftToRightRuns.h"
#include "word/docx/OfficeMath.h"
#include "word/docx/ShapeOutline.h"
#include "word/docx/SymbolGlyphs.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Inline elements nested deeper than this (hyperlinks in content controls in smart tags ...)
// give their text only.
constexpr int kDeepestInline = 64;

// Word writes a tab as no-break spaces up to the next tab stop: half an inch of them here.
constexpr std::string_view kTab = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; ";

// Addresses that run script in a reader are not made links.
bool IsSafeLink(std::string_view href) {
    std::string scheme;
    for (const char c : href) {
        if (c == ':') break;
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return scheme != "javascript" && scheme != "vbscript" && scheme != "data";
}

// A VML length ("120pt", "1.5in", "96px") in pixels; 0 when it is none.
long VmlPixels(std::string_view style, std::string_view property) {
    const std::optional<double> points = VmlLengthPoints(VmlStyleValue(style, property));
    return points && *points > 0 ? std::lround(*points * 96 / 72) : 0;
}

struct PictureFacts {
    std::string RelationshipId;
    long Width = 0, Height = 0;
    std::string Description;
    std::string Float;  // the style of a floating picture; empty for one in line with the text
};

// The transform of a group of drawings: what scales its children's coordinates to its size.
pugi::xml_node GroupTransform(pugi::xml_node node) {
    for (const char* group : {"wpg:wgp", "wpg:grpSp", "a:grpSp"}) {
        if (!IsElement(node, group)) continue;
        const pugi::xml_node properties = node.child("wpg:grpSpPr");
        return (properties ? properties : node.child("a:grpSpPr")).child("a:xfrm");
    }
    return {};
}

// Size and description of a DrawingML picture: the drawing's extent, or inside a group its own
// extent scaled by each group around it (a group's children are measured in its own
// coordinates, a:chExt to its a:ext), of the whole picture when it is cropped; the description
// of the drawing that holds it.
PictureFacts DrawingPicture(pugi::xml_node blip) {
    PictureFacts facts;
    facts.RelationshipId = std::string(AttributeText(blip, "r:embed"));
    double width = 0, height = 0;
    bool grouped = false;
    pugi::xml_node node = blip.parent();
    for (int step = 0; node && step < 64; ++step, node = node.parent()) {
        if (IsElement(node, "pic:pic") && width == 0) {
            const pugi::xml_node extent = node.child("pic:spPr").child("a:xfrm").child("a:ext");
            width = static_cast<double>(NumberAttribute(extent, "cx", 0));
            height = static_cast<double>(NumberAttribute(extent, "cy", 0));
        } else if (const pugi::xml_node transform = GroupTransform(node)) {
            grouped = true;
            const pugi::xml_node size = transform.child("a:ext");
            const pugi::xml_node children = transform.child("a:chExt");
            const long childWidth = NumberAttribute(children, "cx", 0);
            const long childHeight = NumberAttribute(children, "cy", 0);
            if (childWidth > 0) width *= NumberAttribute(size, "cx", 0) / double(childWidth);
            if (childHeight > 0) height *= NumberAttribute(size, "cy", 0) / double(childHeight);
        } else if (IsElement(node, "wp:inline") || IsElement(node, "wp:anchor")) {
            const pugi::xml_node extent = node.child("wp:extent");
            const long extentWidth = NumberAttribute(extent, "cx", 0);
            const long extentHeight = NumberAttribute(extent, "cy", 0);
            if ((!grouped || width <= 0 || height <= 0) && extentWidth > 0 && extentHeight > 0) {
                width = static_cast<double>(extentWidth);
                height = static_cast<double>(extentHeight);
            }
            facts.Description = std::string(AttributeText(node.child("wp:docPr"), "descr"));
            break;
        }
    }
    // A cropped picture shows part of its file at that size. A page cannot crop: it shows the
    // whole picture at the scale Word shows the part, in the picture's own proportions.
    const pugi::xml_node crop = blip.parent().child("a:srcRect");
    const auto shown = [&](const char* from, const char* to) {
        const long cut = NumberAttribute(crop, from, 0) + NumberAttribute(crop, to, 0);
        return std::clamp(1 - cut / 100000.0, 0.01, 100.0);  // thousandths of a percent
    };
    width /= shown("l", "r");
    height /= shown("t", "b");
    // Scaled sizes are kept within what a page could show (ten thousand inches).
    constexpr double kLargest = 9144e6;
    facts.Width = EmuToPixels(std::llround(std::clamp(width, 0.0, kLargest)));
    facts.Height = EmuToPixels(std::llround(std::clamp(height, 0.0, kLargest)));
    return facts;
}

PictureFacts VmlPicture(pugi::xml_node imageData) {
    PictureFacts facts;
    facts.RelationshipId = std::string(AttributeText(imageData, "r:id"));
    const pugi::xml_node shape = imageData.parent();
    const std::string_view style = AttributeText(shape, "style");
    facts.Width = VmlPixels(style, "width");
    facts.Height = VmlPixels(style, "height");
    facts.Description = std::string(AttributeText(shape, "alt"));
    if (facts.Description.empty())
        facts.Description = std::string(AttributeText(imageData, "o:title"));
    return facts;
}

}  // namespace

InlineWriter::InlineWriter(StoryWriter& story, ParagraphSetup setup)
    : m_story(story), m_context(story.Context()), m_out(story.Out()), m_setup(std::move(setup)) {}

void InlineWriter::WriteContent(pugi::xml_node container, int depth) {
    if (depth > kDeepestInline) {
        const std::string text = TextOf(container);
        if (!text.empty()) WriteText({}, text);
        return;
    }
    for (const pugi::xml_node child : container.children())
        if (child.type() == pugi::node_element) WriteChild(child, depth + 1);
}

void InlineWriter::WriteChild(pugi::xml_node node, int depth) {
    const std::string_view name = node.name();
    if (name == "w:r") {
        WriteRun(node, depth);
    } else if (name == "w:hyperlink") {
        WriteHyperlink(node, depth);
    } else if (name == "w:bookmarkStart") {
        StartBookmark(std::string(AttributeText(node, "w:name")),
                      std::string(AttributeText(node, "w:id")));
    } else if (name == "w:bookmarkEnd") {
        EndBookmark(std::string(AttributeText(node, "w:id")));
    } else if (name == "w:fldSimple") {
        WriteSimpleField(node, depth);
    } else if (name == "w:ins" || name == "w:moveTo" || name == "w:smartTag" ||
               name == "w:customXml" || name == "w:dir" || name == "w:bdo") {
        WriteContent(node, depth);
    } else if (name == "w:sdt") {
        WriteContent(node.child("w:sdtContent"), depth);
    } else if (name == "mc:AlternateContent") {
        WriteContent(ChosenAlternative(node), depth);
    } else if (name == "m:oMath" || name == "m:oMathPara") {
        WriteMath(node);
    }
    // Deletions, moves away, comments and proofing marks are not part of the text.
}

void InlineWriter::WriteRun(pugi::xml_node run, int depth) {
    const pugi::xml_node properties = run.child("w:rPr");
    RunFormat base = m_setup.StyleRun;
    RunFormat format = m_setup.TextRun;
    std::string className;
    if (const DocxStyle* character = m_context.Styles.Find(
            AttributeText(properties.child("w:rStyle")), StyleKind::Character)) {
        base.Overlay(character->Run);
        format.Overlay(character->Run);
        className = character->ClassName;
        // Inside a link Word leaves out the Hyperlink style's span: the link is styled so.
        const bool inLink =
            m_hyperlinks > 0 || m_anchor == Anchor::Link || !m_story.Fields().Link().empty();
        if (className == "MsoHyperlink" && inLink) className.clear();
        if (!className.empty()) m_context.CharacterStyles.insert(character);
    }
    ReadRunFormat(properties, m_context.Fonts, format);
    if (format.Font && format.Font != base.Font) m_context.FontsUsed.insert(*format.Font);
    const bool outerLeftToRight = m_runLeftToRight;
    m_runLeftToRight = m_setup.RightToLeft &&
                       IsLeftToRightRun(run, format, IsCode(format, className), m_isolating);
    const RunMarkup markup =
        MakeRunMarkup(format, base, className, m_context.PageLanguage, m_context.Fonts);
    for (const pugi::xml_node child : run.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = child.name();
        if (name == "w:sym") {
            RunFormat symbol = format;
            const std::string font = SafeFontName(AttributeText(child, "w:font"));
            if (!font.empty()) {
                symbol.Font = font;
                m_context.FontsUsed.insert(font);
            }
            if (!m_story.Fields().InInstruction())
                WriteText(
                    MakeRunMarkup(symbol, base, className, m_context.PageLanguage, m_context.Fonts),
                    SymbolCharacter(AttributeText(child, "w:char")));
        } else if (name == "mc:AlternateContent") {
            for (const pugi::xml_node chosen : ChosenAlternative(child).children())
                if (chosen.type() == pugi::node_element)
                    WriteRunChild(chosen, format, markup, depth);
        } else {
            WriteRunChild(child, format, markup, depth);
        }
    }
    m_runLeftToRight = outerLeftToRight;
}

bool InlineWriter::IsCode(const RunFormat& format, const std::string& className) const {
    if (format.Font && m_context.Fonts.CssFamily(*format.Font).ends_with(",monospace")) return true;
    std::string name;
    for (const char c : className)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.find("code") != std::string::npos || name.find("verbatim") != std::string::npos;
}

void InlineWriter::WriteRunChild(pugi::xml_node child, const RunFormat& format,
                                 const RunMarkup& markup, int depth) {
    const std::string_view name = child.name();
    FieldStack& fields = m_story.Fields();
    if (name == "w:fldChar") {
        const std::string_view type = AttributeText(child, "w:fldCharType");
        if (type == "begin")
            fields.Begin();
        else if (type == "separate")
            fields.Separate();
        else if (type == "end")
            fields.End();
        // A field's link ends with the field.
        if (m_anchor == Anchor::Link && m_anchorFromField && FieldLink() != m_anchorId)
            CloseAnchor();
        return;
    }
    if (name == "w:instrText") {
        fields.AddInstruction(child.child_value());
        return;
    }
    if (fields.InInstruction()) return;
    if (m_setup.ContentsEntry && fields.InPageNumber()) return;
    if (name == "w:t") {
        const std::string_view text = child.child_value();
        if (!text.empty()) WriteText(markup, text);
    } else if (name == "w:tab" || name == "w:ptab") {
        // A contents entry's tab is written when more of the entry follows it: the one before
        // the page number goes with it.
        if (m_setup.ContentsEntry)
            m_heldTabs.push_back(markup);
        else
            WriteText(markup, kTab, false);
    } else if (name == "w:br") {
        const std::string_view type = AttributeText(child, "w:type");
        if (type == "page")
            WritePageBreak(format);
        else if (type != "column")
            WriteText(markup, child.attribute("w:clear") ? "<br clear=all>" : "<br>", false);
    } else if (name == "w:cr") {
        WriteText(markup, "<br>", false);
    } else if (name == "w:noBreakHyphen") {
        WriteText(markup, "\u2011");
    } else if (name == "w:drawing" || name == "w:pict" || name == "w:object") {
        WritePictures(child, markup);
    } else if (name == "w:footnoteReference") {
        WriteNoteReference(child, NoteKind::Footnote, markup);
    } else if (name == "w:endnoteReference") {
        WriteNoteReference(child, NoteKind::Endnote, markup);
    } else if (name == "w:footnoteRef" || name == "w:endnoteRef") {
        WriteNoteMark(markup);
    } else if (name == "w:ruby") {
        WriteContent(child.child("w:rubyBase"), depth);
    }
}

void InlineWriter::WriteHyperlink(pugi::xml_node link, int depth) {
    const std::string location(AttributeText(link, "w:anchor"));
    std::string href;
    const DocxRelationship* target = m_story.Relationship(AttributeText(link, "r:id"));
    if (target != nullptr && target->External)
        href = target->Target + (location.empty() ? "" : "#" + location);
    else if (!location.empty())
        href = '#' + location;
    const bool linked = !href.empty() && IsSafeLink(href);
    if (linked) {
        BeginContent();
        CloseAnchor();
        OpenLink(href, false);
    }
    ++m_hyperlinks;
    WriteContent(link, depth);
    --m_hyperlinks;
    if (linked && m_anchor == Anchor::Link && !m_anchorFromField && m_anchorId == href)
        CloseAnchor();
}

void InlineWriter::WriteSimpleField(pugi::xml_node field, int depth) {
    const std::string_view instruction = AttributeText(field, "w:instr");
    if (m_setup.ContentsEntry) {
        const auto reference = FieldCrossReference(instruction);
        if (reference && reference->PageNumber) return;
    }
    const std::string href = m_story.Fields().LinkOf(instruction);
    const bool linked = !href.empty() && IsSafeLink(href);
    if (linked) {
        BeginContent();
        CloseAnchor();
        OpenLink(href, false);
        ++m_hyperlinks;
    }
    WriteContent(field, depth);
    if (!linked) return;
    --m_hyperlinks;
    if (m_anchor == Anchor::Link && !m_anchorFromField && m_anchorId == href) CloseAnchor();
}

void InlineWriter::WriteNoteReference(pugi::xml_node reference, NoteKind kind,
                                      const RunMarkup& markup) {
    if (m_story.CurrentNote() != nullptr) return;  // notes hold no notes
    const auto note = m_context.Notes.Refer(kind, std::string(AttributeText(reference, "w:id")));
    if (!note) return;
    // A second reference to a note links to it without naming itself again.
    WriteNoteLink(*note, DocxNotes::NoteAnchor(kind, note->Number),
                  note->First ? DocxNotes::ReferenceAnchor(kind, note->Number) : "", markup);
}

void InlineWriter::WriteNoteMark(const RunMarkup& markup) {
    const NoteReference* note = m_story.CurrentNote();
    if (note == nullptr) return;
    WriteNoteLink(*note, DocxNotes::ReferenceAnchor(note->Kind, note->Number),
                  DocxNotes::NoteAnchor(note->Kind, note->Number), markup);
}

void InlineWriter::WriteNoteLink(const NoteReference& note, const std::string& target,
                                 const std::string& name, const RunMarkup& markup) {
    BeginContent();
    CloseAnchor();
    m_out += "<a";
    AppendAttribute(m_out, "href", '#' + target);
    if (!name.empty()) AppendAttribute(m_out, "name", name);
    m_out += " title=\"\"><span";
    AppendAttribute(m_out, "class", DocxNotes::ReferenceClass(note.Kind));
    m_out += '>' + markup.Open + '[';
    AppendText(m_out, note.Label);
    m_out += ']' + markup.Close + "</span></a>";
    m_shown = true;
}

void InlineWriter::WritePictures(pugi::xml_node graphic, const RunMarkup& markup) {
    std::vector<PictureFacts> pictures;
    std::string description;
    const std::size_t textBoxes = m_textBoxes.size();
    std::vector<pugi::xml_node> pending = {graphic};
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        const std::string_view name = node.name();
        if (name == "w:txbxContent") {
            m_textBoxes.push_back(node);
            continue;
        }
        if (const std::optional<HorizontalRule> rule = ReadHorizontalRule(node)) {
            WriteHorizontalRule(*rule);
            continue;
        }
        if (name == "a:blip" || name == "v:imagedata") {
            pictures.push_back(name == "a:blip" ? DrawingPicture(node) : VmlPicture(node));
            pictures.back().Float =
                FloatStyle(PlaceFloat(node, m_setup.RightToLeft, m_story.CurrentSection()), false);
        } else if (name == "wp:docPr" && description.empty())
            description = std::string(AttributeText(node, "descr"));
        const pugi::xml_node children =
            name == "mc:AlternateContent" ? ChosenAlternative(node) : node;
        for (pugi::xml_node child = children.last_child(); child; child = child.previous_sibling())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    // A chart or diagram, which Word's page shows as a picture made of it, leaves its
    // description.
    if (pictures.empty() && m_textBoxes.size() == textBoxes && !description.empty())
        WriteText(markup, description);
    for (const PictureFacts& picture : pictures) {
        const DocxRelationship* target = m_story.Relationship(picture.RelationshipId);
        const std::string source = target != nullptr && !target->External
                                       ? m_context.Pictures.Source(target->Target)
                                       : std::string();
        if (source.empty()) {
            if (!picture.Description.empty()) WriteText(markup, picture.Description);
            continue;
        }
        std::string image = "<img";
        if (picture.Width > 0 && picture.Height > 0) {
            AppendAttribute(image, "width", std::to_string(picture.Width));
            AppendAttribute(image, "height", std::to_string(picture.Height));
        }
        image += " src=\"";
        AppendAttributeValue(image, source);
        image += '"';
        if (!picture.Description.empty()) {
            image += " alt=\"";
            AppendAttributeValue(image, picture.Description);
            image += '"';
        }
        if (!picture.Float.empty()) image += " style='" + picture.Float + "'";
        WriteText(markup, image + '>', false);
    }
}

void InlineWriter::WriteMath(pugi::xml_node math) {
    // Word's own page shows an equation as a picture; this page holds it as MathML, which the
    // book keeps (EPUB 3) or writes as XHTML (EPUB 2). Each equation of a math paragraph, and
    // one that is all its paragraph shows, is a display equation.
    const bool paragraph = IsElement(math, "m:oMathPara");
    const auto write = [&](pugi::xml_node equation, bool display) {
        const MathElement element =
            OfficeMathToMathMl(equation, display, m_context.MathPartsNotUnderstood);
        if (!element.Children.empty()) WriteText({}, MathMlMarkup(element, false), false);
    };
    if (!paragraph) {
        write(math, StandsAlone(math));
        return;
    }
    for (const pugi::xml_node equation : math.children("m:oMath")) write(equation, true);
}

void InlineWriter::WriteHorizontalRule(const HorizontalRule& rule) {
    // A rule is a block: it ends the paragraph, whose text after it goes on in a new one.
    CloseAnchor();
    if (m_open) {
        m_out += m_setup.CloseTag + "\n\n";
        m_open = false;
    }
    std::string css = "width:" + WordNumber(rule.Percent) +
                      "%;height:0;border:none;border-top:" + BorderCss(rule.Line);
    if (rule.Alignment == "left") css += ";margin-left:0in;margin-right:auto";
    if (rule.Alignment == "right") css += ";margin-left:auto;margin-right:0in";
    m_out += "<hr style='" + css + "'>\n\n";
    m_broken = true;
}

void InlineWriter::WritePageBreak(const RunFormat& format) {
    CloseAnchor();
    if (m_open) {
        m_out += m_setup.CloseTag + "\n\n";
        m_open = false;
    }
    if (format.Font) m_context.FontsUsed.insert(*format.Font);
    m_out += BreakMarkup(format, "always", m_context.Fonts) + "\n\n";
    m_broken = true;
}

void InlineWriter::StartBookmark(const std::string& name, const std::string& id) {
    if (!IsDocumentBookmark(name)) return;
    if (m_hyperlinks > 0 || m_anchor == Anchor::Link) {
        m_deferredBookmarks.push_back(name);
        return;
    }
    CloseAnchor();
    OpenParagraph();
    m_out += "<a";
    AppendAttribute(m_out, "name", name);
    m_out += '>';
    m_anchor = Anchor::Bookmark;
    m_anchorId = id;
}

void InlineWriter::EndBookmark(const std::string& id) {
    if (m_anchor == Anchor::Bookmark && m_anchorId == id) CloseAnchor();
}

void InlineWriter::OpenLink(const std::string& href, bool fromField) {
    CloseRun();
    m_out += "<a";
    AppendAttribute(m_out, "href", href);
    m_out += '>';
    m_anchor = Anchor::Link;
    m_anchorId = href;
    m_anchorFromField = fromField;
}

void InlineWriter::CloseAnchor() {
    CloseRun();
    Isolate(false);
    if (m_anchor == Anchor::None) return;
    m_out += "</a>";
    const bool wasLink = m_anchor == Anchor::Link;
    m_anchor = Anchor::None;
    m_anchorId.clear();
    m_anchorFromField = false;
    if (!wasLink) return;
    for (const std::string& name : m_deferredBookmarks) {
        m_out += "<a";
        AppendAttribute(m_out, "name", name);
        m_out += "></a>";
    }
    m_deferredBookmarks.clear();
}

void InlineWriter::OpenParagraph() {
    if (m_open) return;
    m_out += m_setup.OpenTag;
    m_open = true;
    m_shown = false;
    std::vector<std::string> pending;
    pending.swap(m_story.PendingBookmarks());
    for (const std::string& name : pending) StartBookmark(name, {});
}

void InlineWriter::BeginContent() {
    OpenParagraph();
    if (!m_setup.Label.empty()) {
        CloseRun();
        m_out += m_setup.Label;
        m_setup.Label.clear();
        m_shown = true;
    }
    if (m_hyperlinks == 0) {
        const std::string& fieldLink = FieldLink();
        if (!fieldLink.empty() && IsSafeLink(fieldLink) &&
            !(m_anchor == Anchor::Link && m_anchorId == fieldLink)) {
            CloseAnchor();
            OpenLink(fieldLink, true);
        }
    }
    WriteHeldTabs();
}

const std::string& InlineWriter::FieldLink() const {
    const std::string& link = m_story.Fields().Link();
    return link.empty() ? m_setup.EntryLink : link;
}

void InlineWriter::WriteHeldTabs() {
    if (m_heldTabs.empty()) return;
    std::vector<RunMarkup> tabs;
    tabs.swap(m_heldTabs);
    for (const RunMarkup& markup : tabs) WriteText(markup, kTab, false);
}

void InlineWriter::WriteText(const RunMarkup& markup, std::string_view text, bool escape) {
    BeginContent();
    if (!m_runOpen || !(markup == m_run) || m_isolating != m_runLeftToRight) {
        CloseRun();
        Isolate(m_runLeftToRight);
        m_out += markup.Open;
        m_run = markup;
        m_runOpen = true;
    }
    if (escape)
        AppendText(m_out, text);
    else
        m_out += text;
    m_shown = true;
}

void InlineWriter::Isolate(bool leftToRight) {
    if (leftToRight == m_isolating) return;
    m_out += leftToRight ? "<span dir=LTR>" : "</span>";
    m_isolating = leftToRight;
}

void InlineWriter::CloseRun() {
    if (!m_runOpen) return;
    m_out += m_run.Close;
    m_runOpen = false;
}

void InlineWriter::Finish() {
    m_heldTabs.clear();  // nothing of the entry follows them
    // A paragraph that a page break ended, with nothing after the break, is not written again.
    if (!m_broken || m_open || !m_setup.Label.empty()) {
        BeginContent();
        if (!m_shown) WriteText(m_setup.MarkMarkup, "&nbsp;", false);
    }
    CloseAnchor();
    if (m_open) m_out += m_setup.CloseTag;
    m_open = false;
}

}  // namespace quirebook
