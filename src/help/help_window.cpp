#include "help/help_window.h"

#include "forms/events.h"
#include "help/help_text.h"
#include "base/log.h"
#include "forms/core.h"
#include "register/find_index.h"
#include "register/text_index.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace help {

namespace {

// A path inside the help file, from its root.
QString fromRoot(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

}  // namespace

// ---------------------------------------------------------------------------
// The page

HelpViewer::HelpViewer(const ChmFile& chm, QWidget* parent) : QTextBrowser(parent), chm_(chm)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

namespace {

// The most memory a picture of the help may take once decoded, and the
// largest style sheet read.
constexpr int kMaxPictureMegabytes = 64;
constexpr qsizetype kMaxStyleSheetBytes = 256 * 1024;

QImage decodedPicture(const QByteArray& bytes, qreal pixelRatio)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kMaxPictureMegabytes);
    QImage image = reader.read();
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

}  // namespace

QString twiceSizeName(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot) : path + QStringLiteral("@2x");
}

QVariant HelpViewer::loadResource(int type, const QUrl& name)
{
    const QString path = fromRoot(name.path());
    if (type == QTextDocument::ImageResource) {
        // On a high-density screen, the picture's copy of twice the size
        // where the file has one; drawn at the size the page gives, either
        // shows pixel for pixel at scales 1 and 2.
        if (devicePixelRatioF() > 1.0) {
            const QByteArray twice = chm_.object(twiceSizeName(path));
            if (!twice.isEmpty()) {
                const QImage image = decodedPicture(twice, 2.0);
                if (!image.isNull())
                    return image;
            }
        }
        const QByteArray bytes = chm_.object(path);
        if (!bytes.isEmpty()) {
            const QImage image = decodedPicture(bytes, 1.0);
            if (!image.isNull())
                return image;
        }
        // A picture that is missing or cannot be shown is one clear pixel,
        // which the page keeps: nothing is asked again each time it is laid
        // out (a damaged page of nested tables is laid out very many times).
        QImage none(1, 1, QImage::Format_ARGB32);
        none.fill(Qt::transparent);
        return none;
    }
    // Pages and pictures come from the help file alone, never from the disk
    // or the network.
    if (type == QTextDocument::StyleSheetResource) {
        const QByteArray bytes = chm_.object(path);
        return bytes.size() > kMaxStyleSheetBytes ? QVariant() : QVariant(QString::fromUtf8(bytes));
    }
    if (type != QTextDocument::HtmlResource)
        return {};
    const QByteArray bytes = chm_.object(path);
    if (!chm_.isOpen())
        return problemPage(chm_, QString());
    if (bytes.isEmpty())
        return messagePage(QStringLiteral("The page %1 is not in the help file %2.").arg(path, chm_.path()));
    const QString tooCostly = pageTooCostly(bytes);
    if (!tooCostly.isEmpty())
        return messagePage(QStringLiteral("The page %1 of the help file %2 is not shown: %3.")
                               .arg(path, chm_.path(), tooCostly));
    return QString::fromUtf8(bytes);
}

QString messagePage(const QString& text)
{
    return QStringLiteral("<html><head><title>Orvane Zaru Help</title></head><body><p>%1</p></body></html>")
        .arg(text.toHtmlEscaped());
}

QString problemPage(const ChmFile& chm, const QString& why)
{
    return messagePage(QStringLiteral("The help file %1 cannot be shown: %2.")
                           .arg(chm.path(), !chm.error().isEmpty() ? chm.error() : why));
}

// ---------------------------------------------------------------------------
// The window

namespace {

constexpr int kPageRole = Qt::UserRole;

QAction* action(QWidget* owner, const char* name, const QString& text, const QIcon& icon,
                const QList<QKeySequence>& keys)
{
    auto* a = new QAction(icon, text, owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setToolTip(text + QStringLiteral(" (") + keys.first().toString(QKeySequence::NativeText) + QLatin1Char(')'));
    owner->addAction(a);
    return a;
}

QAction* action(QWidget* owner, const char* name, const QString& text, QStyle::StandardPixmap icon,
                const QList<QKeySequence>& keys)
{
    return action(owner, name, text, owner->style()->standardIcon(icon), keys);
}

// A page's path without its anchor, for comparing pages.
QString pageOf(const QString& link) { return fromRoot(link.section(QLatin1Char('#'), 0, 0)); }
// A link from the root, its anchor kept.
QString linkOf(const QUrl& source)
{
    return fromRoot(source.path()) + (source.hasFragment() ? QLatin1Char('#') + source.fragment() : QString());
}

// The desktop's home icon, or a house drawn in its place where the desktop
// has no icon theme.
QIcon homeIcon()
{
    QIcon themed = QIcon::fromTheme(QStringLiteral("go-home"));
    if (!themed.isNull())
        return themed;
    QIcon drawn;
    for (int size : {16, 22, 24, 32, 48}) {
        for (qreal ratio : {1.0, 2.0}) {
            QPixmap pm(int(size * ratio), int(size * ratio));
            pm.setDevicePixelRatio(ratio);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal u = size / 16.0;
            QPainterPath roof;
            roof.moveTo(1 * u, 8 * u);
            roof.lineTo(8 * u, 1.5 * u);
            roof.lineTo(15 * u, 8 * u);
            p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.4 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(roof);
            p.setBrush(QColor(0xF2, 0xF2, 0xF2));
            p.drawRect(QRectF(3.5 * u, 7.5 * u, 9 * u, 7 * u));
            p.setBrush(QColor(0x4A, 0x6E, 0xA8));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(6.8 * u, 10 * u, 2.6 * u, 4.5 * u));
            p.end();
            drawn.addPixmap(pm);
        }
    }
    return drawn;
}

// The largest page indexed for the search, and how much of its text.
constexpr qsizetype kMaxSearchedPageBytes = 4 * 1024 * 1024;
constexpr qsizetype kMaxSearchedTextChars = 1024 * 1024;
constexpr int kMaxSearchedPages = 2000;
constexpr qint64 kMaxSearchIndexMs = 10000;
constexpr int kMinTextSize = -4, kMaxTextSize = 12;

}  // namespace

HelpWindow::HelpWindow(const QString& chmPath, QWidget* parent) : QMainWindow(parent), chm_(chmPath)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QString title = chm_.title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Orvane Zaru Help") : title);
    resize(860, 600);

    page_ = new HelpViewer(chm_);
    QFont pageFont(QStringLiteral("Liberation Sans"));
    pageFont.setPointSizeF(usualPointSize_);
    page_->setFont(pageFont);

    // Find in page: a bar under the page.
    findBar_ = new QWidget;
    findBar_->setObjectName(QStringLiteral("fraFind"));
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(4, 2, 4, 2);
    findLayout->addWidget(new QLabel(QStringLiteral("Find:")));
    findBox_ = new QLineEdit;
    findBox_->setObjectName(QStringLiteral("txtFind"));
    findBox_->setClearButtonEnabled(true);
    findLayout->addWidget(findBox_, 1);
    auto* previous = new QPushButton(QStringLiteral("Previous"));
    previous->setObjectName(QStringLiteral("cmdFindPrevious"));
    auto* next = new QPushButton(QStringLiteral("Next"));
    next->setObjectName(QStringLiteral("cmdFindNext"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("cmdFindClose"));
    findLayout->addWidget(previous);
    findLayout->addWidget(next);
    findStatus_ = new QLabel;
    findStatus_->setObjectName(QStringLiteral("lblFindStatus"));
    findStatus_->setMinimumWidth(findStatus_->fontMetrics().horizontalAdvance(QStringLiteral("Not found")) + 8);
    findLayout->addWidget(findStatus_);
    findLayout->addWidget(close);
    findBar_->hide();
    forms::connectGuarded(findBox_, &QLineEdit::returnPressed, this, [this] { find(findBox_->text()); });
    forms::connectGuarded(findBox_, &QLineEdit::textEdited, this, [this](const QString& t) {
        // As the text is typed: the first time on a page from its top, then
        // from the start of the match shown, so that the match grows in place.
        QTextCursor c = page_->textCursor();
        if (findFromTop_)
            c.movePosition(QTextCursor::Start);
        else
            c.setPosition(c.selectionStart());
        page_->setTextCursor(c);
        find(t);
    });
    forms::connectGuarded(next, &QPushButton::clicked, this, [this] { find(findBox_->text()); });
    forms::connectGuarded(previous, &QPushButton::clicked, this, [this] { find(findBox_->text(), true); });
    forms::connectGuarded(close, &QPushButton::clicked, this, [this] {
        findBar_->hide();
        page_->setFocus();
    });

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(page_, 1);
    rightLayout->addWidget(findBar_);

    // Contents and index beside the page.
    side_ = new QTabWidget;
    side_->setObjectName(QStringLiteral("tabHelp"));
    // Both belong to the tab widget, shown as its pages or kept hidden.
    contents_ = new QTreeWidget(side_);
    contents_->setObjectName(QStringLiteral("tvwContents"));
    contents_->setHeaderHidden(true);
    auto* indexPane = new QWidget(side_);
    auto* indexLayout = new QVBoxLayout(indexPane);
    indexLayout->setContentsMargins(2, 2, 2, 2);
    indexFilter_ = new QLineEdit;
    indexFilter_->setObjectName(QStringLiteral("txtIndexFilter"));
    indexFilter_->setPlaceholderText(QStringLiteral("Type a word to look for"));
    indexFilter_->setClearButtonEnabled(true);
    index_ = new QListWidget;
    index_->setObjectName(QStringLiteral("lstIndex"));
    indexLayout->addWidget(indexFilter_);
    indexLayout->addWidget(index_, 1);

    const std::vector<HelpTopic> toc = parseSitemap(chm_.object(chm_.contentsFile()));
    const std::vector<HelpTopic> keywords = parseSitemap(chm_.object(chm_.indexFile()));
    if (!toc.empty()) {
        fillContents(toc, nullptr);
        contents_->expandAll();
        side_->addTab(contents_, QStringLiteral("Contents"));
    } else {
        contents_->hide();
    }
    if (!keywords.empty()) {
        fillIndex(keywords, QString());
        index_->sortItems();
        side_->addTab(indexPane, QStringLiteral("Index"));
    } else {
        indexPane->hide();
    }
    // Search: every page of the file, for words typed.
    auto* searchPane = new QWidget(side_);
    auto* searchLayout = new QVBoxLayout(searchPane);
    searchLayout->setContentsMargins(2, 2, 2, 2);
    searchBox_ = new QLineEdit;
    searchBox_->setObjectName(QStringLiteral("txtSearch"));
    searchBox_->setPlaceholderText(QStringLiteral("Words to search every page for"));
    searchBox_->setClearButtonEnabled(true);
    searchResults_ = new QListWidget;
    searchResults_->setObjectName(QStringLiteral("lstSearch"));
    searchCount_ = new QLabel;
    searchCount_->setObjectName(QStringLiteral("lblSearchCount"));
    searchLayout->addWidget(searchBox_);
    searchLayout->addWidget(searchCount_);
    searchLayout->addWidget(searchResults_, 1);
    pages_ = chm_.pages();  // the file's directory, read once
    if (!pages_.isEmpty())
        side_->addTab(searchPane, QStringLiteral("Search"));
    else
        searchPane->hide();
    forms::connectGuarded(searchBox_, &QLineEdit::textChanged, this, [this](const QString& t) { searchPages(t); });
    forms::connectGuarded(searchBox_, &QLineEdit::returnPressed, this, [this] {
        if (searchResults_->count() > 0)
            openSearchResult(0);
    });
    forms::connectGuarded(searchResults_, &QListWidget::itemActivated, this,
                          [this](QListWidgetItem* item) { openSearchResult(searchResults_->row(item)); });
    forms::connectGuarded(searchResults_, &QListWidget::itemClicked, this,
                          [this](QListWidgetItem* item) { openSearchResult(searchResults_->row(item)); });

    auto* split = new QSplitter;
    split->setObjectName(QStringLiteral("splHelp"));
    split->addWidget(side_);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 630});
    // A file without contents or index shows its pages alone.
    side_->setVisible(side_->count() > 0);
    setCentralWidget(split);

    forms::connectGuarded(contents_, &QTreeWidget::itemActivated, this,
                          [this](QTreeWidgetItem* item) { open(item->data(0, kPageRole).toString()); });
    forms::connectGuarded(contents_, &QTreeWidget::itemClicked, this,
                          [this](QTreeWidgetItem* item) { open(item->data(0, kPageRole).toString()); });
    forms::connectGuarded(index_, &QListWidget::itemActivated, this,
                          [this](QListWidgetItem* item) { open(item->data(kPageRole).toString()); });
    forms::connectGuarded(index_, &QListWidget::itemClicked, this,
                          [this](QListWidgetItem* item) { open(item->data(kPageRole).toString()); });
    forms::connectGuarded(indexFilter_, &QLineEdit::textChanged, this, [this](const QString& t) { filterIndex(t); });
    forms::connectGuarded(indexFilter_, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < index_->count(); ++i)
            if (!index_->item(i)->isHidden()) {
                open(index_->item(i)->data(kPageRole).toString());
                return;
            }
    });

    // Back, Forward, Home and Find, on the tool bar and the keyboard.
    backAction = action(this, "mnuBack", QStringLiteral("Back"), QStyle::SP_ArrowBack, QKeySequence::keyBindings(QKeySequence::Back));
    forwardAction = action(this, "mnuForward", QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                           QKeySequence::keyBindings(QKeySequence::Forward));
    homeAction = action(this, "mnuHome", QStringLiteral("Home"), homeIcon(), {QKeySequence(Qt::ALT | Qt::Key_Home)});
    findAction = action(this, "mnuFind", QStringLiteral("Find in Page"), QStyle::SP_FileDialogContentsView,
                        QKeySequence::keyBindings(QKeySequence::Find));
    printAction = action(this, "mnuPrint", QStringLiteral("Print..."), QIcon::fromTheme(QStringLiteral("document-print")),
                         {QKeySequence(QKeySequence::Print)});
    largerAction = action(this, "mnuLarger", QStringLiteral("Larger Text"), QIcon(),
                          {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    smallerAction = action(this, "mnuSmaller", QStringLiteral("Smaller Text"), QIcon(), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    usualSizeAction = action(this, "mnuUsualSize", QStringLiteral("Usual Text Size"), QIcon(), {QKeySequence(Qt::CTRL | Qt::Key_0)});
    closeAction = action(this, "mnuClose", QStringLiteral("Close"), QIcon(), {QKeySequence(Qt::CTRL | Qt::Key_W)});
    auto* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addActions({backAction, forwardAction, homeAction, findAction, printAction});
    forms::connectGuarded(printAction, &QAction::triggered, this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(page_->documentTitle().isEmpty() ? windowTitle() : page_->documentTitle());
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("dlgPrintHelp"));
        dialog.setOption(QAbstractPrintDialog::PrintSelection, page_->textCursor().hasSelection());
        if (dialog.exec() == QDialog::Accepted)
            printPage(&printer);
    });
    forms::connectGuarded(largerAction, &QAction::triggered, this, [this] { setTextSize(textSize_ + 1); });
    forms::connectGuarded(smallerAction, &QAction::triggered, this, [this] { setTextSize(textSize_ - 1); });
    forms::connectGuarded(usualSizeAction, &QAction::triggered, this, [this] { setTextSize(0); });
    forms::connectGuarded(closeAction, &QAction::triggered, this, [this] { this->close(); });
    backAction->setEnabled(false);
    forwardAction->setEnabled(false);
    forms::connectGuarded(backAction, &QAction::triggered, this, [this] { page_->backward(); });
    forms::connectGuarded(forwardAction, &QAction::triggered, this, [this] { page_->forward(); });
    forms::connectGuarded(homeAction, &QAction::triggered, this, [this] { open(chm_.defaultTopic()); });
    forms::connectGuarded(findAction, &QAction::triggered, this, [this] { showFindBar(); });
    forms::connectGuarded(page_, &QTextBrowser::backwardAvailable, this, [this](bool on) { backAction->setEnabled(on); });
    forms::connectGuarded(page_, &QTextBrowser::forwardAvailable, this, [this](bool on) { forwardAction->setEnabled(on); });
    forms::connectGuarded(page_, &QTextBrowser::sourceChanged, this, [this](const QUrl& u) { markContents(u); });
    auto* escape = new QAction(this);
    escape->setObjectName(QStringLiteral("mnuCloseFind"));
    escape->setShortcut(Qt::Key_Escape);
    addAction(escape);
    forms::connectGuarded(escape, &QAction::triggered, this, [this] {
        // Escape closes the find bar first, then the window.
        if (findBar_->isVisible()) {
            findBar_->hide();
            page_->setFocus();
        } else {
            this->close();
        }
    });
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::fillContents(const std::vector<HelpTopic>& topics, QTreeWidgetItem* under)
{
    for (const HelpTopic& t : topics) {
        auto* item = under ? new QTreeWidgetItem(under) : new QTreeWidgetItem(contents_);
        item->setText(0, t.name);
        item->setData(0, kPageRole, t.page);
        fillContents(t.children, item);
    }
}

void HelpWindow::fillIndex(const std::vector<HelpTopic>& topics, const QString& prefix)
{
    for (const HelpTopic& t : topics) {
        const QString name = prefix.isEmpty() ? t.name : prefix + QStringLiteral(", ") + t.name;
        if (!t.page.isEmpty()) {
            auto* item = new QListWidgetItem(name, index_);
            item->setData(kPageRole, t.page);
        }
        fillIndex(t.children, name);
    }
}

void HelpWindow::filterIndex(const QString& text)
{
    const QString t = text.trimmed();
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < index_->count(); ++i) {
        QListWidgetItem* item = index_->item(i);
        const bool shown = t.isEmpty() || item->text().contains(t, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    if (first)
        index_->setCurrentItem(first);
}

void HelpWindow::open(const QString& pagePath)
{
    if (pagePath.isEmpty())
        return;
    page_->setSource(QUrl(pagePath.startsWith(QLatin1Char('/')) ? pagePath : QLatin1Char('/') + pagePath));
}

void HelpWindow::markContents(const QUrl& source)
{
    findFromTop_ = true;
    findStatus_->clear();
    markSearchedWords();
    // The entry of the page and anchor shown (a sub-topic), else that of the
    // page; an entry of the page already chosen stays chosen.
    const QString link = linkOf(source);
    const QString shown = pageOf(link);
    QTreeWidgetItem* exact = nullptr;
    QTreeWidgetItem* samePage = nullptr;
    std::function<void(QTreeWidgetItem*)> search = [&](QTreeWidgetItem* item) {
        const QString entry = item->data(0, kPageRole).toString();
        if (!entry.isEmpty()) {
            if (!exact && fromRoot(entry) == link)
                exact = item;
            if (!samePage && pageOf(entry) == shown)
                samePage = item;
        }
        for (int i = 0; i < item->childCount() && !exact; ++i)
            search(item->child(i));
    };
    for (int i = 0; i < contents_->topLevelItemCount() && !exact; ++i)
        search(contents_->topLevelItem(i));
    QTreeWidgetItem* current = contents_->currentItem();
    QTreeWidgetItem* chosen = exact;
    if (!chosen && current && pageOf(current->data(0, kPageRole).toString()) == shown)
        chosen = current;
    if (!chosen)
        chosen = samePage;
    if (chosen && chosen != current) {
        const QSignalBlocker quiet(contents_);
        contents_->setCurrentItem(chosen);
    }
}

bool HelpWindow::showDefaultTopic()
{
    const QString topic = chm_.isOpen() ? chm_.defaultTopic() : QString();
    if (topic.isEmpty() || chm_.object(topic).isEmpty()) {
        // Said in the window: the file, and what is wrong with it.
        page_->setHtml(problemPage(chm_, topic.isEmpty()
                                             ? QStringLiteral("it names no page to show first")
                                             : QStringLiteral("its first page, %1, is missing or damaged").arg(topic)));
        return false;
    }
    open(topic);
    return true;
}

void HelpWindow::showFindBar()
{
    if (!findBar_->isVisible())
        findFromTop_ = true;
    findBar_->show();
    findBox_->setFocus();
    findBox_->selectAll();
}

bool HelpWindow::find(const QString& text, bool backward)
{
    findStatus_->clear();
    if (text.isEmpty())
        return false;
    const QTextCursor before = page_->textCursor();
    const int vertical = page_->verticalScrollBar()->value();
    const int horizontal = page_->horizontalScrollBar()->value();
    if (findFromTop_ && !backward) {
        QTextCursor top = before;
        top.movePosition(QTextCursor::Start);
        page_->setTextCursor(top);
    }
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = page_->find(text, flags);
    if (!found) {
        // Round the page once, from its other end.
        QTextCursor c = page_->textCursor();
        c.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        page_->setTextCursor(c);
        found = page_->find(text, flags);
    }
    if (found) {
        findFromTop_ = false;
        return true;
    }
    // Nothing: the page stays where it was, and the bar says so.
    page_->setTextCursor(before);
    page_->verticalScrollBar()->setValue(vertical);
    page_->horizontalScrollBar()->setValue(horizontal);
    findStatus_->setText(QStringLiteral("Not found"));
    return false;
}

void HelpWindow::buildSearchIndex()
{
    // The pages are read once, when the search is first used.
    searchIndex_ = std::make_unique<reg::TextIndex>();
    searchPagesList_.clear();
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : pages_) {
        // What a damaged file's reader hands over slowly is searched as far as it got.
        if (searchPagesList_.size() >= kMaxSearchedPages || clock.elapsed() > kMaxSearchIndexMs || !chm_.isOpen())
            break;
        const QByteArray html = chm_.object(path);
        if (html.isEmpty() || html.size() > kMaxSearchedPageBytes)
            continue;
        QString title = pageTitle(html);
        if (title.isEmpty())
            title = path.mid(1);
        try {
            searchIndex_->add(int(searchPagesList_.size()), title.left(200), pageText(html).left(kMaxSearchedTextChars));
            searchPagesList_ << path;
        } catch (const reg::RegisterError& e) {
            qCInfo(base::lcHelp).noquote() << "a help page cannot be searched:" << path << e.message();
        }
    }
}

int HelpWindow::searchPages(const QString& typed)
{
    searchResults_->clear();
    markedWords_.clear();
    if (reg::findWords(typed).isEmpty()) {
        searchCount_->clear();
        return 0;
    }
    if (!searchIndex_)
        buildSearchIndex();
    const std::vector<reg::TextMatch> found = searchIndex_->search(typed);
    for (const reg::TextMatch& m : found) {
        auto* item = new QListWidgetItem(m.title, searchResults_);
        item->setData(kPageRole, searchPagesList_.value(m.document));
        item->setToolTip(forms::plainToolTip(m.excerpt));
    }
    searchCount_->setText(found.empty() ? QStringLiteral("Not found")
                          : found.size() == 1 ? QStringLiteral("1 page")
                                              : QStringLiteral("%1 pages").arg(found.size()));
    return int(found.size());
}

void HelpWindow::openSearchResult(int row)
{
    QListWidgetItem* item = searchResults_->item(row);
    if (!item)
        return;
    searchResults_->setCurrentRow(row);
    const QStringList words = reg::findWords(searchBox_->text());
    const QUrl target(item->data(kPageRole).toString());
    markedWords_ = words;
    if (pageOf(page_->source().path()) == pageOf(target.path()))
        markSearchedWords();  // the page is already shown
    else
        open(target.path());
}

void HelpWindow::markSearchedWords()
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!markedWords_.isEmpty()) {
        QTextDocument* doc = page_->document();
        QTextCharFormat mark;
        mark.setBackground(QColor(0xFF, 0xE0, 0x6A));
        const auto spans = wordSpans(doc->toRawText(), markedWords_);
        for (const auto& [start, length] : spans) {
            QTextCursor c(doc);
            c.setPosition(start);
            c.setPosition(start + length, QTextCursor::KeepAnchor);
            marks.append({c, mark});
        }
        // The page opens at the first word marked.
        if (!spans.empty()) {
            QTextCursor first(doc);
            first.setPosition(spans.front().first);
            page_->setTextCursor(first);
            // The first word found near the top of the view, a line of the page above it.
            const int above = page_->cursorRect(first).top() - page_->fontMetrics().height() * 2;
            page_->verticalScrollBar()->setValue(page_->verticalScrollBar()->value() + above);
        }
        markedWords_.clear();
    }
    page_->setExtraSelections(marks);
}

void HelpWindow::printPage(QPrinter* printer) const
{
    page_->print(printer);
}

void HelpWindow::setTextSize(int step)
{
    textSize_ = std::clamp(step, kMinTextSize, kMaxTextSize);
    QFont f = page_->font();
    // Each step a tenth larger or smaller than the usual size.
    f.setPointSizeF(usualPointSize_ * std::pow(1.1, textSize_));
    page_->setFont(f);
    page_->document()->setDefaultFont(f);
    smallerAction->setEnabled(textSize_ > kMinTextSize);
    largerAction->setEnabled(textSize_ < kMaxTextSize);
}

}  // namespace help
