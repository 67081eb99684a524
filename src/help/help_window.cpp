#include "help/help_window.h"

#include "forms/events.h"

#include <chm_lib.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
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
#include <functional>

namespace help {

namespace {

// A path inside the help file, from its root.
QString fromRoot(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

// Larger objects are not read: a help page or picture is far smaller, and a
// damaged file's length could ask for any amount of memory.
constexpr quint64 kMaxObjectBytes = 64 * 1024 * 1024;

}  // namespace

// ---------------------------------------------------------------------------
// The file

ChmFile::ChmFile(const QString& path) : h_(chm_open(QFile::encodeName(path).constData())) {}

ChmFile::~ChmFile()
{
    if (h_)
        chm_close(h_);
}

QByteArray ChmFile::object(const QString& path) const
{
    if (!h_)
        return {};
    chmUnitInfo ui;
    const QByteArray p = path.toUtf8();
    if (chm_resolve_object(h_, p.constData(), &ui) != CHM_RESOLVE_SUCCESS || ui.length > kMaxObjectBytes)
        return {};
    QByteArray data(qsizetype(ui.length), '\0');
    const LONGINT64 got =
        chm_retrieve_object(h_, &ui, reinterpret_cast<unsigned char*>(data.data()), 0, LONGINT64(ui.length));
    data.truncate(qsizetype(std::max<LONGINT64>(got, 0)));
    return data;
}

QByteArray ChmFile::systemEntry(int wanted) const
{
    // #SYSTEM: a version word, then entries of a code, a length and data.
    const QByteArray sys = object(QStringLiteral("/#SYSTEM"));
    qsizetype at = 4;
    while (at + 4 <= sys.size()) {
        const int code = uchar(sys[at]) | (uchar(sys[at + 1]) << 8);
        const int len = uchar(sys[at + 2]) | (uchar(sys[at + 3]) << 8);
        at += 4;
        if (at + len > sys.size())
            break;
        if (code == wanted) {
            QByteArray value = sys.mid(at, len);
            const qsizetype zero = value.indexOf('\0');
            if (zero >= 0)
                value.truncate(zero);
            return value;
        }
        at += len;
    }
    return {};
}

namespace {

QString asPath(const QByteArray& name)
{
    return name.isEmpty() ? QString() : fromRoot(QString::fromUtf8(name));
}

}  // namespace

QString ChmFile::defaultTopic() const
{
    const QString topic = asPath(systemEntry(2));
    if (!topic.isEmpty())
        return topic;
    for (const char* guess : {"/index.html", "/index.htm", "/default.html", "/default.htm"})
        if (!object(QString::fromLatin1(guess)).isEmpty())
            return QString::fromLatin1(guess);
    return QString();
}

QString ChmFile::title() const { return QString::fromUtf8(systemEntry(3)); }
QString ChmFile::contentsFile() const { return asPath(systemEntry(0)); }
QString ChmFile::indexFile() const { return asPath(systemEntry(1)); }

// ---------------------------------------------------------------------------
// Contents and index files

namespace {

QString decodeEntities(QString s)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    QRegularExpressionMatch m;
    qsizetype from = 0;
    while ((m = numeric.match(s, from)).hasMatch()) {
        const uint code = m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16);
        const QString ch = code ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1) : QString();
        s.replace(m.capturedStart(), m.capturedLength(), ch);
        from = m.capturedStart() + ch.size();
    }
    s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    s.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return s;
}

QString attribute(const QString& tag, const QString& name)
{
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return QString();
    for (int g : {2, 3, 4})
        if (m.capturedStart(g) >= 0)
            return decodeEntities(m.captured(g));
    return QString();
}

}  // namespace

std::vector<HelpTopic> parseSitemap(const QByteArray& html)
{
    std::vector<HelpTopic> root;
    std::vector<std::vector<HelpTopic>*> lists{&root};
    int depth = 0;
    bool inObject = false;
    HelpTopic topic;
    static const QRegularExpression tagRe(QStringLiteral("<[^>]*>"));
    const QString text = QString::fromUtf8(html);
    for (auto it = tagRe.globalMatch(text); it.hasNext();) {
        const QString tag = it.next().captured(0);
        const QString lower = tag.toLower();
        if (lower.startsWith(QLatin1String("<ul"))) {
            // A list after an entry holds the entries under it.
            if (++depth > 1 && !lists.back()->empty())
                lists.push_back(&lists.back()->back().children);
            else if (depth > 1)
                lists.push_back(lists.back());
        } else if (lower.startsWith(QLatin1String("</ul"))) {
            if (depth > 1 && lists.size() > 1)
                lists.pop_back();
            depth = std::max(0, depth - 1);
        } else if (lower.startsWith(QLatin1String("<object")) && lower.contains(QLatin1String("text/sitemap"))) {
            inObject = true;
            topic = HelpTopic();
        } else if (inObject && lower.startsWith(QLatin1String("<param"))) {
            const QString name = attribute(tag, QStringLiteral("name")).toLower();
            const QString value = attribute(tag, QStringLiteral("value"));
            if (name == QLatin1String("name") && topic.name.isEmpty())
                topic.name = value;
            else if (name == QLatin1String("local") && topic.page.isEmpty())
                topic.page = value;
        } else if (inObject && lower.startsWith(QLatin1String("</object"))) {
            inObject = false;
            if (!topic.name.isEmpty())
                lists.back()->push_back(topic);
        }
    }
    return root;
}

// ---------------------------------------------------------------------------
// The page

HelpViewer::HelpViewer(const ChmFile& chm, QWidget* parent) : QTextBrowser(parent), chm_(chm)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setOpenLinks(true);
    setOpenExternalLinks(false);
}

QVariant HelpViewer::loadResource(int type, const QUrl& name)
{
    const QByteArray bytes = chm_.object(fromRoot(name.path()));
    if (bytes.isEmpty())
        return QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::ImageResource)
        return bytes;
    return QString::fromUtf8(bytes);
}

// ---------------------------------------------------------------------------
// The window

namespace {

constexpr int kPageRole = Qt::UserRole;

QAction* action(QWidget* owner, const char* name, const QString& text, QStyle::StandardPixmap icon,
                const QList<QKeySequence>& keys)
{
    auto* a = new QAction(owner->style()->standardIcon(icon), text, owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setToolTip(text + QStringLiteral(" (") + keys.first().toString(QKeySequence::NativeText) + QLatin1Char(')'));
    owner->addAction(a);
    return a;
}

// A page's path without its anchor, for comparing pages.
QString pageOf(const QString& link) { return fromRoot(link.section(QLatin1Char('#'), 0, 0)); }

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
    pageFont.setPointSizeF(10);
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
    findLayout->addWidget(close);
    findBar_->hide();
    forms::connectGuarded(findBox_, &QLineEdit::returnPressed, this, [this] { find(findBox_->text()); });
    forms::connectGuarded(findBox_, &QLineEdit::textEdited, this, [this](const QString& t) {
        // As the text is typed, the first match from the top of the page.
        QTextCursor c = page_->textCursor();
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
    homeAction = action(this, "mnuHome", QStringLiteral("Home"), QStyle::SP_DirHomeIcon, {QKeySequence(Qt::ALT | Qt::Key_Home)});
    findAction = action(this, "mnuFind", QStringLiteral("Find in Page"), QStyle::SP_FileDialogContentsView,
                        QKeySequence::keyBindings(QKeySequence::Find));
    auto* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addActions({backAction, forwardAction, homeAction, findAction});
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
        if (findBar_->isVisible()) {
            findBar_->hide();
            page_->setFocus();
        }
    });
}

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
    const QString shown = pageOf(source.toString());
    std::function<QTreeWidgetItem*(QTreeWidgetItem*)> search = [&](QTreeWidgetItem* item) -> QTreeWidgetItem* {
        if (pageOf(item->data(0, kPageRole).toString()) == shown)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            if (QTreeWidgetItem* found = search(item->child(i)))
                return found;
        return nullptr;
    };
    for (int i = 0; i < contents_->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* found = search(contents_->topLevelItem(i))) {
            const QSignalBlocker quiet(contents_);
            contents_->setCurrentItem(found);
            return;
        }
}

bool HelpWindow::showDefaultTopic()
{
    if (!chm_.isOpen())
        return false;
    const QString topic = chm_.defaultTopic();
    if (topic.isEmpty() || chm_.object(topic).isEmpty())
        return false;
    open(topic);
    return true;
}

void HelpWindow::showFindBar()
{
    findBar_->show();
    findBox_->setFocus();
    findBox_->selectAll();
}

bool HelpWindow::find(const QString& text, bool backward)
{
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (page_->find(text, flags))
        return true;
    // Round the page once, from its other end.
    QTextCursor c = page_->textCursor();
    c.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    page_->setTextCursor(c);
    return page_->find(text, flags);
}

}  // namespace help
