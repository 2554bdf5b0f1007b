// Builds the heading tree from the heading entries and turns a click into a preview target.
#include "gui/HeadingTree.h"

#include <QHeaderView>

#include "epub/EscapeRules.h"

namespace quirebook {

namespace {

constexpr int kTargetRole = Qt::UserRole;

int Depth(const QTreeWidgetItem* node) {
    int depth = 0;
    for (; node->parent() != nullptr; node = node->parent()) ++depth;
    return depth;
}

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
    QTreeWidgetItem* current = nullptr;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const HeadingEntry& entry = entries[k];
        QTreeWidgetItem* parent = nullptr;
        if (k > 0) {
            const int previous = entries[k - 1].Level;
            if (entry.Level > previous) {
                parent = current;
            } else {
                // The same level stays beside the current node; a shallower one climbs until
                // its depth below the first heading's level is reached.
                QTreeWidgetItem* node = current;
                const int depth = entry.Level - entries.front().Level;
                while (entry.Level < previous && node->parent() != nullptr && Depth(node) > depth)
                    node = node->parent();
                parent = node->parent();
            }
        }
        auto* node = new QTreeWidgetItem(
            QStringList(QString::fromStdString(UnescapeForDisplay(entry.Text))));
        node->setData(0, kTargetRole, HeadingTarget(folder, chapterFiles, entry));
        node->setToolTip(0, node->text(0));
        if (parent != nullptr)
            parent->addChild(node);
        else
            addTopLevelItem(node);
        current = node;
    }
    expandAll();
    setVisible(topLevelItemCount() > 0);
}

}  // namespace quirebook
