// The resource root: the one folder a book's pictures, style sheets and fonts may be read from,
// and the refusals that keep a hostile page from packing any other file into a book.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "epub/ResourceTypes.h"

namespace quirebook {

// What became of a reference to a resource.
enum class ResourceStatus {
    Found,     // a file inside the root, of a type the reference may name
    NotAFile,  // no file to carry: empty, a fragment of the page itself, or inline data
    Missing,   // no such file
    Remote,    // on another site
    Refused,   // never read (see ResourceRoot::Resolve)
};

struct ResolvedResource {
    ResourceStatus Status = ResourceStatus::NotAFile;
    std::string Reason;    // why it was refused, as a message says it
    std::string File;      // the file's absolute path, as the reference leads to it
    std::string Key;       // the file with its links resolved: one key per file
    std::string Fragment;  // "#..." as written after the path, or empty
    ResourceType Type;     // what the file's name says
};

// The root a book of pages in `pagesFolder` reads its resources from by default: the pages'
// folder's parent, or the pages' folder itself when that parent is the file system's root or
// `homeFolder`.
std::string DefaultResourceRoot(const std::string& pagesFolder, const std::string& homeFolder);

// The user's home folder ($HOME), or the empty text when it is not known.
std::string HomeFolder();

// Whether a file name is that of a web page: .htm, .html, .xhtml, .shtml or .xml, case ignored.
bool IsWebPageName(std::string_view name);

class ResourceRoot {
  public:
    // The root `folder` (made absolute, its links resolved).
    explicit ResourceRoot(const std::string& folder);

    const std::string& Folder() const { return m_folder; }

    // Whether `folder` (its links resolved) is the root or lies inside it.
    bool Holds(const std::string& folder) const;

    // The resource a reference names, as written in a page or a style sheet (markup escapes
    // already undone; a query is dropped, a fragment kept aside), resolved against the folder
    // `base` of the file that holds it. Refused, whatever is on disk: an absolute path, a
    // "file:" URL or any other scheme but the web's, a path that leaves the root or passes
    // through a symbolic link that does, a name beginning with ".", a file whose name is not of
    // one of `kinds` or whose content is not what its name says, and a WebP picture, which EPUB 2
    // readers need not show.
    ResolvedResource Resolve(std::string_view reference, const std::string& base,
                             const std::vector<ResourceKind>& kinds) const;

    // The web page a link names (see IsWebPageName), resolved and refused as Resolve does a
    // resource by its path and name; a page's content is not checked.
    ResolvedResource ResolvePage(std::string_view reference, const std::string& base) const;

  private:
    // The steps every reference takes: its scheme, its path inside the root and without hidden
    // names, its name (`refuseName` gives the reason it is refused, or the empty text), then the
    // file on disk with its links resolved. Found for a regular file; Type is left empty.
    ResolvedResource Locate(
        std::string_view reference, const std::string& base,
        const std::function<std::string(const std::string& path)>& refuseName) const;

    std::string m_folder;  // absolute, links resolved, no trailing "/"
};

}  // namespace quirebook
