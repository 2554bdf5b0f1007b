#include "app/ContentsImport.h"

#include <filesystem>

#include "app/WebImport.h"
#include "html/ContentsPageWalk.h"
#include "html/ResourceRoot.h"

namespace quirebook {

namespace fs = std::filesystem;

bool ImportFromContentsPage(BookProject& project, BookForm& form, UserInterface& ui,
                            const std::string& contentsPage, const ContentsPageChoice& choice) {
    const std::string folder = fs::absolute(contentsPage).parent_path().string();
    const std::string rootFolder = choice.ResourceRoot.empty()
                                       ? DefaultResourceRoot(folder, HomeFolder())
                                       : choice.ResourceRoot;
    const ResourceRoot root(rootFolder);
    if (!root.Holds(folder)) {
        ui.ShowMessage("The resource root " + rootFolder + " does not hold the pages' folder " +
                       folder);
        return false;
    }
    const ContentsWalk walk =
        WalkContentsPage(contentsPage, root, choice.Depth, choice.WithContentsPage);
    if (walk.Pages.empty()) {
        ui.ShowMessage("The contents page " + contentsPage + " links to no page of its folder");
        return false;
    }
    if (!ImportWebPages(project, form, ui, walk.Pages, walk.Levels)) return false;
    if (!choice.ResourceRoot.empty()) project.ResourceRoot = root.Folder();
    if (walk.Skipped.empty()) return true;
    std::string message = "Links not followed from the contents page:";
    for (const std::string& line : walk.Skipped) {
        project.AddLog(line);
        message += "\n" + line;
    }
    ui.ShowMessage(message);
    return true;
}

}  // namespace quirebook
