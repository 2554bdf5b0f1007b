// The dialog filters in Qt's syntax and the kinds of files handed over on the command line.
#include <QTest>

#include "GuiTests.h"
#include "TempFolder.h"
#include "gui/CommandLineFiles.h"
#include "gui/FileFilters.h"
#include "text/TextFiles.h"

namespace quirebook::testing {

class HandedFilesTest : public QObject {
    Q_OBJECT
  private slots:
    void FiltersBecomeQtFilters() {
        QCOMPARE(QtFileFilter("HTML Files(*.htm;*.html;*.xml)|*.htm;*.html;*.xml"),
                 "HTML Files (*.htm *.html *.xml)");
        QCOMPARE(QtFileFilter("*.epub|*.epub"), "*.epub (*.epub)");
        QCOMPARE(QtFileFilter("Jar file|*.jar"), "Jar file (*.jar)");
        // A caption whose own list is mistyped keeps its words; the patterns decide.
        QCOMPARE(QtFileFilter("All Images(*.jpg.*.png,*.gif)|*.jpg;*.png;*.gif|PNG(*.png)|*.png"),
                 "All Images (*.jpg *.png *.gif);;PNG (*.png)");
        QCOMPARE(QtFileFilter(""), "");
    }

    void FilesAreTakenAsAFileManagerHandsThem() {
        TempFolder temp;
        const QString folder = QString::fromStdString(temp.Path()) + "/";
        SaveTextFile(temp / "page.htm", "<html><head><title>t</title></head></html>");
        SaveTextFile(temp / "word.htm",
                     "<html><head><meta name=Generator content=\"Microsoft Word 15\">"
                     "</head></html>");
        // Word named in the body, not the head, is an ordinary page.
        SaveTextFile(temp / "about.htm",
                     "<html><head></head><body><meta name=Generator content=\"Microsoft Word "
                     "15\"></body></html>");
        QCOMPARE(KindOfHandedFiles({}), HandedFiles::None);
        QCOMPARE(KindOfHandedFiles({folder + "page.htm"}), HandedFiles::WebPages);
        QCOMPARE(KindOfHandedFiles({folder + "word.htm"}), HandedFiles::WordPage);
        QCOMPARE(KindOfHandedFiles({folder + "about.htm"}), HandedFiles::WebPages);
        QCOMPARE(KindOfHandedFiles({folder + "Book.DOCX"}), HandedFiles::WordDocument);
        QCOMPARE(KindOfHandedFiles({folder + "old.doc"}), HandedFiles::WordDocument);
        // Several pages are a web book even when one of them was saved by Word.
        QCOMPARE(KindOfHandedFiles({folder + "page.htm", folder + "word.htm"}),
                 HandedFiles::WebPages);
        QCOMPARE(KindOfHandedFiles({folder + "page.htm", folder + "b.docx"}), HandedFiles::Mixed);
    }
};

}  // namespace quirebook::testing

QUIREBOOK_GUI_TEST(quirebook::testing::HandedFilesTest)
#include "HandedFilesTest.moc"
