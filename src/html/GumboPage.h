// A page parsed as browsers parse it (gumbo), and the small readings of its elements that the
// passes walking such a parse share.
#pragma once

#include <gumbo.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quirebook {

// How deep a page's elements may nest before it is parsed (see LimitNesting), so that no
// hostile page makes a walk over its parse go deep.
constexpr std::size_t kParseNestingLimit = 256;

// The parse of a page's text, which the caller keeps alive as long as the parse: the nodes'
// byte ranges point into it. Parse errors are not gathered.
class GumboDocument {
  public:
    explicit GumboDocument(std::string_view text);
    ~GumboDocument();
    GumboDocument(const GumboDocument&) = delete;
    GumboDocument& operator=(const GumboDocument&) = delete;

    const GumboNode& Root() const { return *m_output->root; }

  private:
    GumboOutput* m_output;
};

// An element's tag name, lower-cased, also for tags gumbo does not know.
std::string TagName(const GumboElement& element);

// The value of an element's attribute, or nothing when it has none of that name.
std::optional<std::string_view> AttributeOf(const GumboElement& element, const char* name);

// Whether `tokens`, a list separated by ASCII white space (as class, rel and role are), holds
// `token`, compared byte for byte.
bool HoldsToken(std::string_view tokens, std::string_view token);

}  // namespace quirebook
