#include "book/ChapterTexts.h"

#include "text/TextFiles.h"

namespace quirebook {

ChapterTexts LoadChapterTexts(const BookProject& project) {
    ChapterTexts texts;
    texts.reserve(project.ChapterFiles.size());
    for (const std::string& chapter : project.ChapterFiles)
        texts.push_back(LoadTextFile(project.OpsFolder + chapter));
    return texts;
}

void SaveChapterTexts(const BookProject& project, const ChapterTexts& texts) {
    for (std::size_t i = 0; i < texts.size() && i < project.ChapterFiles.size(); ++i)
        SaveTextFile(project.OpsFolder + project.ChapterFiles[i], texts[i]);
}

}  // namespace quirebook
