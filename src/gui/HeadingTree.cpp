// Builds the heading tree from the heading entries and turns a click into a preview target.
#include "gui/HeadingTree.h"

#include <QHeaderView>

#include "epub/EscapeRules.h"

namespace quirebook {

namespace {

constexpr int kTargetRole = Qt::UserRole;

}  // namespace

QUrl HeadingTarget(const std::string& folder, const std::vector<std::string>& chapterFiles,
                   const HeadingEntry& entry) {
    if (entry.Chapter < 0 || static_cast<std::size_t>(entry.Chapter) >= chapterFiles.size())
        return {};
    QUrl target = QUrl::fromLocalFile(
        QString::fromStdString(folder + chapterFiles[static_cast<std::size_t>(entry.Chapter)]));
    if (!entry.Anchor.empty()) target.setFragment(QString::fromStdString(entry.Anchor));
    return target;
}

HeadingTree::HeadingTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    header()->setStretchLastSection(true);
    setVisible(false);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        const QUrl target = node->data(0, kTargetRole).toUrl();
        if (!target.isEmpty()) emit HeadingClicked(target);
    });
}

void HeadingTree::ClearHeadings() {
    clear();
    setVisible(false);
}

void HeadingTree::FillHeadingTree(const std::vector<HeadingEntry>& entries,
                                  const std::string& folder,
                                  const std::vector<std::string>& chapterFiles) {
    clear();
    std::vector<QTreeWidgetItem*> open;  // the nodes an entry may nest in, outermost first
    for (const HeadingEntry& entry : entries) {
        if (entry.List != NavigationList::Contents) continue;  // the tree is the contents'
        while (!open.empty() && static_cast<int>(open.size()) >= entry.Level) open.pop_back();
        auto* node = new QTreeWidgetItem(
            QStringList(QString::fromStdString(UnescapeForDisplay(entry.Text))));
        node->setData(0, kTargetRole, HeadingTarget(folder, chapterFiles, entry));
        node->setToolTip(0, node->text(0));
        if (open.empty())
            addTopLevelItem(node);
        else
            open.back()->addChild(node);
        open.push_back(node);
    }
    expandAll();
    setVisible(topLevelItemCount() > 0);
}

}  // namespace quirebook
