// The Word HTML cleaner: Office markup removed, every distinct inline style turned into a
// generated class with its rule in a rebuilt style block, and futile attributes dropped, so that
// a page saved by Word becomes lean HTML before it is split into chapters.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "book/BookProject.h"
#include "text/Regex.h"

namespace quirebook {

// What the head of a page says about where it comes from.
struct WordHeadFacts {
    std::string Charset;           // the value after "charset=" of the last meta that has one
    std::string GeneratorVersion;  // after "Microsoft Word ", without " (filtered)", trimmed
    // A page is taken for Word's when it names a generator version, whatever its form.
    bool Valid() const { return !GeneratorVersion.empty(); }
};

// Reads the meta elements of the page's "<head>" ... "</head>": a meta holding "charset=" gives
// the character set (up to the next double quote), any other holding "Microsoft Word" the
// generator version; a later meta overrides an earlier one.
WordHeadFacts AnalyzeWordHead(std::string_view page);

// Called with a status text as a long cleaning moves on.
using ProgressReport = std::function<void(const std::string& status)>;

// The state of one cleaning of one page: its head facts and the table of inline styles.
class WordHtmlCleaner {
  public:
    WordHtmlCleaner() = default;

    void SetSource(std::string text);
    const std::string& Source() const { return m_source; }
    // Reads the head of the source (AnalyzeWordHead).
    void AnalyzeHead();
    bool Valid() const { return m_head.Valid(); }
    const WordHeadFacts& Head() const { return m_head; }
    // The distinct single-quoted style attributes of the body, "style='" through the closing
    // quote, in order of first appearance; entry k (from 1) is generated class sk.
    const std::vector<std::string>& StyleTable() const { return m_styleTable; }

    // Carriage returns removed, line breaks inside tags made spaces, space runs shortened,
    // normal-style and footnote-reference classes removed, spans holding only a no-break space
    // collapsed, cell heights dropped, and Word's table-of-contents anchors removed when nothing
    // links to them.
    void BasicCleanup(std::string& text) const;
    // Word's conditional comments, Office and VML elements, mso- declarations and the head's
    // links before the title removed.
    void RemoveOfficeMarkup(std::string& text) const;
    // Every distinct inline style of the body quoted with `quote` becomes a class with its rule
    // in the rebuilt style block, merged with the element's own class where it has one. A page
    // without a Word style block (see FindStyleBlock) keeps its inline styles: there would be no
    // place for the rules.
    void StylesToClasses(std::string& text, char quote);
    // Each style attribute (quoted with ' or ") of the whole text that is an entry k of
    // StyleTable written as "class=sk"; any other left as it is.
    void ReplaceStyleAttributes(std::string& text) const;
    // Replaces the style elements of the head, from the first "<style" to the last "</style>"
    // before "</head>", by one holding the cleaned Word definitions and then `rules`. False, and
    // the text unchanged, when the page has no Word style block.
    bool RebuildStyleBlock(std::string& text, std::string rules);
    // Joins an element's own class X and its generated class sN into the class X-N and adds the
    // rule of each joined class (X's Word rule, then the inline declarations) to the first style
    // element. Classes whose name begins with "Section" get no rule. Nothing happens when the
    // text has no style element.
    void MergeClassNames(std::string& text);
    // valign=top, align=justify, nowrap, lang attributes, font tags and page-break-after:avoid
    // declarations removed.
    void RemoveFutileAttributes(std::string& text) const;

  private:
    Regex m_regex{preCaseLess | preSingleLine};
    std::string m_source;
    WordHeadFacts m_head;
    std::vector<std::string> m_styleTable;
    std::unordered_map<std::string, std::size_t> m_styleNumbers;  // entry text -> k
};

// The whole cleaning of a page saved by Word; nothing (std::nullopt) for a page whose head names
// no Word generator version, which is not cleaned.
std::optional<std::string> CleanWordHtml(std::string text, const OptionFlags& options,
                                         const ProgressReport& progress = {});

// Cleans the Word page at `path` in place with CleanWordHtml. False, with the file left exactly
// as it was, when the page's head names no Word generator version (or the file cannot be read):
// the caller stops the import with a message rather than make a book of an empty page. Raises
// InOutError when the cleaned page cannot be written.
bool CleanWordFile(const std::string& path, const OptionFlags& options,
                   const ProgressReport& progress = {});

}  // namespace quirebook
