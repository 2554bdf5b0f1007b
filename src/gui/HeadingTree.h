// The heading tree beside the preview: the headings of the book's chapters nested by their
// levels, a click taking the preview to the heading.
#pragma once

#include <QTreeWidget>
#include <QUrl>
#include <string>
#include <vector>

#include "book/BookProject.h"

namespace quirebook {

// Where the preview shows `entry`: the chapter file in `folder` (ending with "/") at the
// heading's anchor, or at the chapter's start when the heading has none. Empty when the entry's
// chapter is not among `chapterFiles`.
QUrl HeadingTarget(const std::string& folder, const std::vector<std::string>& chapterFiles,
                   const HeadingEntry& entry);

class HeadingTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit HeadingTree(QWidget* parent = nullptr);

    // Builds the nodes from `entries`, in their order. The first is a root; each following one
    // becomes a sibling of the node before it at the same level, its child when deeper, and when
    // shallower a sibling of the nearest node above whose depth its level allows (its level
    // minus the first entry's level), a root at the least. Each node leads to the entry's
    // HeadingTarget in `folder`. The tree is shown exactly while it has nodes.
    void FillHeadingTree(const std::vector<HeadingEntry>& entries, const std::string& folder,
                         const std::vector<std::string>& chapterFiles);
    // Empties and hides the tree.
    void ClearHeadings();

  signals:
    // A heading was clicked: the preview is to show `target`.
    void HeadingClicked(const QUrl& target);
};

}  // namespace quirebook
