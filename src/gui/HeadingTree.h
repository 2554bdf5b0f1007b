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

    // Builds the nodes from the table of contents of `entries` (not the lists of tables and
    // figures), in their order, each at the depth of its level (a chapter at the top, its
    // headings beneath it), as the book's table of contents nests them. Each node
    // leads to the entry's HeadingTarget in `folder`. The tree is shown exactly while it has
    // nodes.
    void FillHeadingTree(const std::vector<HeadingEntry>& entries, const std::string& folder,
                         const std::vector<std::string>& chapterFiles);
    // Empties and hides the tree.
    void ClearHeadings();

  signals:
    // A heading was clicked: the preview is to show `target`.
    void HeadingClicked(const QUrl& target);
};

}  // namespace quirebook
