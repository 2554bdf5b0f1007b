// Time of the chapter conversion and the in-book link repair over a book of 200 chapters, at
// 2 MB and at 20 MB, so that their growth with the size of the book can be seen (ten times the
// book should take about ten times as long).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "book/BookProject.h"
#include "html/LinksAndResources.h"
#include "html/XhtmlConversion.h"
#include "text/FolderFiles.h"
#include "text/TextFiles.h"

namespace {

using namespace quirebook;

constexpr int kChapters = 200;

// Web-page chapters of paragraphs, each with an id of its own and a link to the id of a
// paragraph in a chapter chosen at random, with the markup the conversion rewrites (unquoted
// values, upper-case tags, void elements, spans, windows-1252 references), together
// `totalBytes` long or a little more.
std::vector<std::string> GeneratedChapters(std::size_t totalBytes) {
    const std::size_t paragraphs = totalBytes / kChapters / 120 + 1;
    std::mt19937 random(7);
    std::vector<std::string> chapters;
    for (int c = 0; c < kChapters; ++c) {
        std::string text =
            "<!DOCTYPE html><HTML><head><meta http-equiv=Content-Type content=\"text/html; "
            "charset=windows-1252\"><title>Chapter</title></head>\r\n<BODY class=x>\r\n";
        for (std::size_t p = 0; p < paragraphs; ++p) {
            const std::size_t target = random() % kChapters;
            const std::size_t targetParagraph = random() % paragraphs;
            text += "<p id=\"c" + std::to_string(c) + "p" + std::to_string(p) +
                    "\" align=center>The <span>quick</span> brown fox&#150;jumps<br>over the "
                    "<span class=\"k\"><img src=\"./i.png\"></span> dog, see <a href=\"#c" +
                    std::to_string(target) + "p" + std::to_string(targetParagraph) +
                    "\">there</a>.</p>\r\n";
        }
        chapters.push_back(text + "</BODY></HTML>");
    }
    return chapters;
}

// A private folder under the system's temporary folder, deleted with its contents at the end.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quirebook-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~ScratchFolder() { DeleteFolderTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

// A user interface that stays silent.
class QuietInterface : public UserInterface {
  public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    void ShowProgress(const std::string&, int) override {}
};

// Times `step` over the generated book of state.range(0) megabytes, written afresh (untimed)
// before each round.
void OverBook(benchmark::State& state, const auto& step) {
    const std::vector<std::string> chapters =
        GeneratedChapters(static_cast<std::size_t>(state.range(0)) << 20);
    ScratchFolder scratch;
    BookProject book({scratch.Path(), scratch.Path()}, scratch.Path() + "/work");
    book.ClearBookFolders();
    std::int64_t bytes = 0;
    for (int c = 0; c < kChapters; ++c) {
        book.ChapterFiles.push_back("chapter" + std::to_string(c) + ".xhtml");
        book.ChapterTitles.push_back("Chapter " + std::to_string(c));
        bytes += static_cast<std::int64_t>(chapters[c].size());
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (int c = 0; c < kChapters; ++c)
            SaveTextFile(book.OpsFolder + book.ChapterFiles[c], chapters[c]);
        state.ResumeTiming();
        step(book);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void RepairInBookLinksOverBook(benchmark::State& state) {
    OverBook(state, [](BookProject& book) {
        ChapterTexts texts = LoadChapterTexts(book);
        RepairInBookLinks(book, texts);
        SaveChapterTexts(book, texts);
    });
}

void FinishChaptersAndRepairOverBook(benchmark::State& state) {
    QuietInterface ui;
    OverBook(state, [&ui](BookProject& book) {
        ChapterTexts texts = LoadChapterTexts(book);
        FinishChapters(book, texts, ui);
        RepairInBookLinks(book, texts);
        SaveChapterTexts(book, texts);
    });
}

BENCHMARK(RepairInBookLinksOverBook)->Arg(2)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(FinishChaptersAndRepairOverBook)->Arg(2)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
