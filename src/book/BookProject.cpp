#include "book/BookProject.h"

#include <algorithm>
#include <filesystem>

#include "text/FolderFiles.h"
#include "text/OrderedWork.h"

namespace quirebook {

BookProject::BookProject(const AppFolders& folders, const std::string& workRoot)
    : AppFolder(folders.AppFolder),
      UserFolder(folders.UserFolder),
      TemplateFolder(folders.AppFolder + "/lib/"),
      WorkFolder(workRoot + "/temp/"),
      OpsFolder(WorkFolder + "OPS/"),
      WordTempFolder(workRoot + "/doctmp/"),
      OutputFolder(folders.UserFolder + "/myBook/") {}

unsigned BookProject::ThreadCount() const {
    return Jobs == 0 ? CoreCount() : Jobs;
}

std::string BookProject::SourceFile(const std::string& chapter) const {
    std::string found = LocateByUtf8Names(SourceFolder, chapter);
    return found.empty() ? SourceFolder + chapter : found;
}

void BookProject::AddLog(std::string_view text) {
    BuildLog.append(text);
    BuildLog.append("\r\n");
}

void BookProject::StepProgress(UserInterface& ui, const std::string& text) {
    m_progress = std::min(m_progress + 10, 100);
    ui.ShowProgress(text, m_progress);
}

void BookProject::TickReplaceStyleSheet(bool ticked) {
    ReplaceStyleSheet = ticked;
    ReplacementStyleSheet.clear();
    Options.RemoveStyleBlocks = ticked;
    Options.RemoveStyleLinks = ticked;
}

bool BookProject::ClearBookFolders() {
    bool cleared = true;
    for (const std::string& folder : {OpsFolder, WordTempFolder}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        cleared = EmptyFolder(folder) && !error && cleared;
    }
    ImageFiles.clear();
    ChapterTitles.clear();
    return cleared;
}

}  // namespace quirebook
