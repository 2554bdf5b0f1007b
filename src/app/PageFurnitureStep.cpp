// Leaving page furniture out of a web book, with the log lines and the summary.
#include "app/PageFurnitureStep.h"

#include "html/BookOutline.h"
#include "html/PageFurniture.h"

namespace quirebook {

namespace {

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Described(const BookProject& project, const FurnitureBlock& block) {
    return project.ChapterFiles[block.Chapter] + ": " + block.Name + ", " +
           Counted(block.Words, "word", "words") + " (" + block.Why + ")";
}

}  // namespace

std::string FurnitureSummary(std::size_t blocks, std::size_t words, std::size_t chapters) {
    return "Removed " + Counted(blocks, "furniture block", "furniture blocks") + " (" +
           Counted(words, "word", "words") + ") from " + Counted(chapters, "chapter", "chapters");
}

std::string LeaveOutFurniture(BookProject& project, ChapterTexts& texts,
                              std::vector<PageOutline>* outlines) {
    if (project.FromWordDocument) {
        if (outlines != nullptr) *outlines = OutlineChapters(project, texts);
        return {};
    }
    FurnitureChoice choice;
    choice.Detect = !project.Options.KeepFurniture;
    choice.Named = ParseSelectors(project.Options.RemoveSelectors);
    choice.ChapterPaths = project.ChapterFiles;
    choice.Jobs = project.ThreadCount();
    const std::vector<FurnitureBlock> found =
        outlines != nullptr ? LeaveOutFurnitureAndOutline(project, texts, choice, *outlines)
                            : RemovePageFurniture(texts, choice);
    std::size_t blocks = 0;
    std::size_t words = 0;
    std::size_t chapters = 0;
    std::size_t lastChapter = texts.size();
    for (const FurnitureBlock& block : found) {
        if (block.Kept) {
            project.AddLog("Furniture kept in " + Described(project, block) +
                           ": leaving it out would take more than " +
                           std::to_string(kFurnitureMostWordsPercent) +
                           " % of the chapter's words");
            continue;
        }
        project.AddLog("Furniture left out of " + Described(project, block));
        ++blocks;
        words += block.Words;
        if (block.Chapter != lastChapter) ++chapters;
        lastChapter = block.Chapter;
    }
    if (blocks == 0) return {};
    const std::string summary = FurnitureSummary(blocks, words, chapters);
    project.AddLog(summary);
    return summary;
}

}  // namespace quirebook
