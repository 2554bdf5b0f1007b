// Tests of the CSS selector subset: what reads, what is refused with its reason, and which
// elements each form selects.
#include "html/CssSelectors.h"

#include <map>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

// An element of a hand-made page.
class Element final : public SelectorSubject {
  public:
    Element(std::string tag, std::map<std::string, std::string> attributes,
            const Element* parent = nullptr)
        : m_tag(std::move(tag)), m_attributes(std::move(attributes)), m_parent(parent) {}
    std::string_view Tag() const override { return m_tag; }
    std::optional<std::string_view> Attribute(std::string_view name) const override {
        const auto found = m_attributes.find(std::string(name));
        if (found == m_attributes.end()) return std::nullopt;
        return std::string_view(found->second);
    }
    const SelectorSubject* Parent() const override { return m_parent; }

  private:
    std::string m_tag;
    std::map<std::string, std::string> m_attributes;
    const Element* m_parent;
};

bool Selected(std::string_view selectors, const Element& element) {
    return SelectsAny(ParseSelectors(selectors), element);
}

TEST(CssSelectorsTest, EachFormReadsAndTheListKeepsItsTexts) {
    const SelectorList list = ParseSelectors(
        " DIV.sphinxsidebar , #footer>p.note ,nav [ role = 'navigation' ],* [data-x=\"a, b\"] ");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].Compounds[0].Tag, "div");  // types in lower case, classes as written
    EXPECT_EQ(list[0].Compounds[0].Classes, std::vector<std::string>{"sphinxsidebar"});
    EXPECT_EQ(list[1].Compounds.size(), 2u);
    EXPECT_EQ(list[1].Children, std::vector<bool>{true});
    EXPECT_EQ(list[1].Compounds[0].Id, "footer");
    EXPECT_EQ(list[2].Children, std::vector<bool>{false});  // a blank: descendant
    EXPECT_EQ(list[2].Compounds[1].Attributes[0].Name, "role");
    EXPECT_EQ(list[2].Compounds[1].Attributes[0].Value, "navigation");
    EXPECT_EQ(list[3].Compounds[1].Attributes[0].Value, "a, b");  // a comma in quotes stays
    EXPECT_EQ(SelectorListText(list),
              "DIV.sphinxsidebar, #footer>p.note, nav [ role = 'navigation' ], "
              "* [data-x=\"a, b\"]");
    EXPECT_TRUE(ParseSelectors("  ").empty());
}

TEST(CssSelectorsTest, WhatCannotBeReadIsRefusedNamingTheSelectorAndWhy) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"div, , p", "\"\" cannot be read: it is empty"},
        {"div,", "it is empty"},
        {"a:hover", "\":\" is not understood"},
        {"h1 + p", "\"+\" is not understood"},
        {"ul ~ li", "\"~\" is not understood"},
        {"div >", "a combinator has nothing after it"},
        {"div..x", "a class name is missing"},
        {"#", "an id is missing"},
        {"#a#b", "it names two ids"},
        {"[href", "not closed by \"]\""},
        {"[title=\"open]", "a quoted value is not closed"},
        {"[=x]", "an attribute name is missing"},
        {"div > > p", "\">\" is not understood"},
    };
    for (const auto& [text, why] : refused) {
        try {
            ParseSelectors(text);
            ADD_FAILURE() << text << " was read";
        } catch (const std::invalid_argument& error) {
            EXPECT_THAT(error.what(), AllOf(HasSubstr("The selector"), HasSubstr(why))) << text;
        }
    }
}

TEST(CssSelectorsTest, CompoundsMatchTypeClassesIdAndAttributes) {
    const Element body("body", {});
    const Element div("div", {{"class", " sphinxsidebar  wide "}, {"id", "side"}, {"role", "nav"}},
                      &body);
    EXPECT_TRUE(Selected("div", div));
    EXPECT_TRUE(Selected("*", div));
    EXPECT_TRUE(Selected(".wide.sphinxsidebar", div));
    EXPECT_FALSE(Selected(".sidebar", div));  // a part of a class is not the class
    EXPECT_FALSE(Selected(".WIDE", div));     // classes are case-sensitive
    EXPECT_TRUE(Selected("div#side[role][role=nav]", div));
    EXPECT_FALSE(Selected("[role=navigation]", div));
    EXPECT_FALSE(Selected("ul.wide", div));
    EXPECT_FALSE(Selected("[title]", div));
    EXPECT_TRUE(Selected("p, div#side", div));  // any of a list
}

TEST(CssSelectorsTest, CombinatorsFollowTheAncestors) {
    // body > div.document > div.body > section > p
    const Element body("body", {});
    const Element document("div", {{"class", "document"}}, &body);
    const Element main("div", {{"class", "body"}}, &document);
    const Element section("section", {}, &main);
    const Element paragraph("p", {}, &section);
    EXPECT_TRUE(Selected("body p", paragraph));
    EXPECT_TRUE(Selected("div.document section > p", paragraph));
    EXPECT_TRUE(Selected("div div p", paragraph));
    EXPECT_FALSE(Selected("div > p", paragraph));  // its parent is a section
    EXPECT_FALSE(Selected("div div div p", paragraph));
    EXPECT_TRUE(Selected("body > div > div > section > p", paragraph));
    EXPECT_FALSE(Selected("body > div > section p", paragraph));
    // Backtracking: the first div met going up is not the one the child combinator needs.
    EXPECT_TRUE(Selected("body > div p", paragraph));
    EXPECT_FALSE(Selected("p body", body));
}

TEST(CssSelectorsTest, LongDescendantChainsOnADeepPageAreQuick) {
    std::vector<std::unique_ptr<Element>> chain;
    chain.push_back(std::make_unique<Element>("body", std::map<std::string, std::string>{}));
    for (int i = 0; i < 300; ++i)
        chain.push_back(std::make_unique<Element>("div", std::map<std::string, std::string>{},
                                                  chain.back().get()));
    // Every way of placing eight divs on 300 ancestors would take ages; remembered failures
    // make it one try per pair.
    EXPECT_FALSE(Selected("span div div div div div div div div", *chain.back()));
    EXPECT_TRUE(Selected("body div div div div div div div div", *chain.back()));
}

}  // namespace
}  // namespace quirebook
