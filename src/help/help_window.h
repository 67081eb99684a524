#pragma once
// The help window over a compiled HTML help file (see chm_file.h): the
// file's table of contents, index and a search of every page beside the
// page; Back, Forward and Home, find in page, print, text size; links
// between pages and pictures. It remembers nothing between runs.

#include "help/chm_file.h"
#include "help/help_text.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QTextBrowser>
#include <memory>
#include <vector>

class QAction;
class QLineEdit;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QLabel;
class QPrinter;

namespace reg {
class TextIndex;
}

namespace help {


// "/pictures/window@2x.png" for "/pictures/window.png": the name of a
// picture's copy of twice the size, for high-density screens.
QString twiceSizeName(const QString& path);

// A page of the help window saying `text`.
QString messagePage(const QString& text);
// The page saying that `chm` cannot be shown, and why: what its reader
// reported, else `why`.
QString problemPage(const ChmFile& chm, const QString& why);

// The page: a text browser reading its pages and pictures from the file
// alone; a page too costly to lay out (see pageTooCostly) is replaced by a
// message saying so.
class HelpViewer : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpViewer(const ChmFile& chm, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    const ChmFile& chm_;
};

class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(const QString& chmPath, QWidget* parent = nullptr);
    ~HelpWindow() override;
    bool isOpen() const { return chm_.isOpen(); }
    // What is wrong with the file; empty while it reads well.
    QString problem() const { return chm_.error(); }
    // Shows the file's default topic; false, with a message naming the file
    // and what is wrong in its place, when the file cannot be read or has none.
    bool showDefaultTopic();
    // Finds `text` in the page, after the cursor (or before it), going round
    // the page once; false when the page does not hold it.
    bool find(const QString& text, bool backward = false);
    void showFindBar();
    // Searches every page for the words typed and lists the pages found,
    // best first; the number of pages found.
    int searchPages(const QString& typed);
    // Opens the page of a search result with the words searched marked.
    void openSearchResult(int row);
    // The page shown, on `printer` (the print dialog's, or a PDF file).
    void printPage(QPrinter* printer) const;
    // The page's text size: steps up (+) or down (-) from the usual, 0 for the usual.
    void setTextSize(int step);
    int textSize() const { return textSize_; }

    HelpViewer* page() const { return page_; }
    QTreeWidget* contents() const { return contents_; }
    QListWidget* index() const { return index_; }
    QLineEdit* indexFilter() const { return indexFilter_; }
    QLineEdit* findBox() const { return findBox_; }
    QLabel* findStatus() const { return findStatus_; }
    QLineEdit* searchBox() const { return searchBox_; }
    QListWidget* searchResults() const { return searchResults_; }
    QTabWidget* sideTabs() const { return side_; }
    QAction *backAction = nullptr, *forwardAction = nullptr, *homeAction = nullptr, *findAction = nullptr,
            *printAction = nullptr, *largerAction = nullptr, *smallerAction = nullptr, *usualSizeAction = nullptr,
            *closeAction = nullptr;

private:
    void fillContents(const std::vector<HelpTopic>& topics, QTreeWidgetItem* under);
    void fillIndex(const std::vector<HelpTopic>& topics, const QString& prefix);
    void filterIndex(const QString& text);
    void open(const QString& page);
    void markContents(const QUrl& source);
    void markSearchedWords();
    void buildSearchIndex();

    ChmFile chm_;
    HelpViewer* page_ = nullptr;
    QTabWidget* side_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QListWidget* index_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findBox_ = nullptr;
    QLabel* findStatus_ = nullptr;
    bool findFromTop_ = true;  // the first search of a page starts at its top
    QLineEdit* searchBox_ = nullptr;
    QListWidget* searchResults_ = nullptr;
    QLabel* searchCount_ = nullptr;
    std::unique_ptr<reg::TextIndex> searchIndex_;
    QStringList pages_;            // the file's pages
    QStringList searchPagesList_;  // the pages the search index numbers
    QStringList markedWords_;      // the words marked on the page opened from a search
    int textSize_ = 0;
    qreal usualPointSize_ = 10;
};

}  // namespace help
