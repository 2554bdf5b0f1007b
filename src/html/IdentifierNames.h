// Ids as XML names: the name an id value becomes, and the one-to-one naming of a chapter's ids
// that links from the chapter and from other chapters follow.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace quirebook {

// The XML name an identifier becomes: letters of any script, digits and the other characters an
// XML name allows stay; every other character (a whole UTF-8 sequence, or a byte that starts
// none) becomes "_", and a name that cannot start with its first character gets the prefix "_".
// Valid names and the empty text stay as they are.
std::string XmlIdentifier(std::string_view value);

// The names of one chapter's ids, one-to-one: an id that is a valid name keeps it; any other
// gets its XmlIdentifier, with the suffix "_2", "_3" ... when a different id of the chapter
// already has that name.
class ChapterIdentifiers {
  public:
    // Names the ids in the order given (their order in the chapter); an id given again keeps
    // its first name.
    void Add(std::string_view id);
    void Assign();  // after the last Add: gives every id its name
    // The name of an id of this chapter; XmlIdentifier(id) for any other value.
    std::string NameOf(std::string_view id) const;

  private:
    std::map<std::string, std::string, std::less<>> names_;
    std::map<std::string, std::size_t> order_;  // id -> position of its first Add
};

// Every chapter's ChapterIdentifiers by the chapter's file name.
using BookIdentifiers = std::map<std::string, ChapterIdentifiers, std::less<>>;

}  // namespace quirebook
