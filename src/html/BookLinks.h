// What the second pass of the conformance stage checks links against: the book's files and the
// ids each chapter defines.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quirebook {

// What pass 2 checks links against: the book's files and the ids of its chapters. Paths are
// relative to the book's root folder, "/"-separated, not percent-encoded.
class BookLinks {
  public:
    // An image, a style sheet or any other file the book holds.
    void AddFile(const std::string& path);
    // A chapter file and the ids it defines (ConformedChapter::Ids).
    void AddChapter(const std::string& path, const std::vector<std::string>& ids);

    bool HoldsFile(const std::string& path) const;
    bool IsChapter(const std::string& path) const;
    bool Defines(const std::string& chapter, const std::string& id) const;
    // The one chapter defining `id`, or nullptr when none or several do.
    const std::string* SoleHolder(const std::string& id) const;
    // The chapter `path` is written under `name`: links to it are written to that name.
    void WriteChapterAs(const std::string& path, const std::string& name);
    // The name the chapter or file `path` is written under: `path` unless WriteChapterAs said.
    const std::string& WrittenName(const std::string& path) const;

  private:
    std::set<std::string> files_;
    std::map<std::string, std::set<std::string>> chapterIds_;
    // id -> the first chapter defining it and how many chapters do.
    std::map<std::string, std::pair<std::string, std::size_t>> holders_;
    std::map<std::string, std::string> writtenNames_;
};

}  // namespace quirebook
