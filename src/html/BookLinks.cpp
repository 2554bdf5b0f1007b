// What the second pass of the conformance stage checks links against: the book's files and the
// ids each chapter defines.
#include "html/BookLinks.h"

namespace quirebook {

void BookLinks::AddFile(const std::string& path) {
    files_.insert(path);
}

void BookLinks::AddChapter(const std::string& path, const std::vector<std::string>& ids) {
    files_.insert(path);
    auto& defined = chapterIds_[path];
    for (const std::string& id : ids) {
        if (!defined.insert(id).second) continue;
        ++holders_.try_emplace(id, path, 0).first->second.second;
    }
}

bool BookLinks::HoldsFile(const std::string& path) const {
    return files_.count(path) != 0;
}

bool BookLinks::IsChapter(const std::string& path) const {
    return chapterIds_.count(path) != 0;
}

bool BookLinks::Defines(const std::string& chapter, const std::string& id) const {
    const auto found = chapterIds_.find(chapter);
    return found != chapterIds_.end() && found->second.count(id) != 0;
}

void BookLinks::WriteChapterAs(const std::string& path, const std::string& name) {
    writtenNames_[path] = name;
}

const std::string& BookLinks::WrittenName(const std::string& path) const {
    const auto found = writtenNames_.find(path);
    return found == writtenNames_.end() ? path : found->second;
}

const std::string* BookLinks::SoleHolder(const std::string& id) const {
    const auto found = holders_.find(id);
    return found == holders_.end() || found->second.second != 1 ? nullptr : &found->second.first;
}

}  // namespace quirebook
