#pragma once
// The help window over a compiled HTML help file (read with chmlib): the
// file's table of contents and index beside the page, Back, Forward and
// Home, find in page, links between pages and pictures. It remembers
// nothing between runs.

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <QTextBrowser>
#include <vector>

struct chmFile;
class QAction;
class QLineEdit;
class QListWidget;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace help {

// A reader of compiled HTML help files.
class ChmFile {
public:
    explicit ChmFile(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;
    bool isOpen() const { return h_ != nullptr; }
    // The bytes of an object ("/index.html"); empty when there is none.
    QByteArray object(const QString& path) const;
    // The file's default topic, from its system data (or the first page).
    QString defaultTopic() const;
    // The file's title, and its contents and index files ("/toc.hhc"), from
    // its system data; empty when it names none.
    QString title() const;
    QString contentsFile() const;
    QString indexFile() const;

private:
    // An entry of the #SYSTEM object by its code, up to its first zero byte.
    QByteArray systemEntry(int code) const;
    chmFile* h_ = nullptr;
};

// An entry of a help contents or index file (an HTML "sitemap"): its name,
// the page it opens (may be empty) and the entries under it.
struct HelpTopic {
    QString name;
    QString page;
    std::vector<HelpTopic> children;
};
// The entries of a sitemap, nested as its lists nest.
std::vector<HelpTopic> parseSitemap(const QByteArray& html);

// The page: a text browser reading its pages and pictures from the file.
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
    bool isOpen() const { return chm_.isOpen(); }
    // Shows the file's default topic; false when it has none.
    bool showDefaultTopic();
    // Finds `text` in the page, after the cursor (or before it), going round
    // the page once; false when the page does not hold it.
    bool find(const QString& text, bool backward = false);
    void showFindBar();

    HelpViewer* page() const { return page_; }
    QTreeWidget* contents() const { return contents_; }
    QListWidget* index() const { return index_; }
    QLineEdit* indexFilter() const { return indexFilter_; }
    QLineEdit* findBox() const { return findBox_; }
    QAction *backAction = nullptr, *forwardAction = nullptr, *homeAction = nullptr, *findAction = nullptr;

private:
    void fillContents(const std::vector<HelpTopic>& topics, QTreeWidgetItem* under);
    void fillIndex(const std::vector<HelpTopic>& topics, const QString& prefix);
    void filterIndex(const QString& text);
    void open(const QString& page);
    void markContents(const QUrl& source);

    ChmFile chm_;
    HelpViewer* page_ = nullptr;
    QTabWidget* side_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QListWidget* index_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findBox_ = nullptr;
};

}  // namespace help
