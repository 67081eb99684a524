#include "find/frmfind.h"

#include "base/log.h"
#include "find/find_model.h"
#include "forms/widgets.h"
#include "register/connection.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace find {

QString countCaption(qint64 shown, qint64 total)
{
    if (shown < total)
        return QStringLiteral("First %1 of %2 shown").arg(shown).arg(total);
    return QStringLiteral("%1 found").arg(total);
}

FrmFind::FrmFind(const reg::Connection& c, QWidget* parent) : QWidget(parent, Qt::Window), register_(c)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    resize(760, 420);

    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Licensee, licence number or location"));
    txtFind->setClearButtonEnabled(true);
    txtFind->setToolTip(QStringLiteral("Every word must begin a word of what is found; case and macrons do not "
                                       "matter"));
    cboFindIn = new QComboBox(this);
    cboFindIn->setObjectName(QStringLiteral("cboFindIn"));
    cboFindIn->addItems({QStringLiteral("Everything"), QStringLiteral("Licensee"), QStringLiteral("Licence number"),
                         QStringLiteral("Location")});
    cboFindIn->setToolTip(QStringLiteral("What to search"));

    model_ = new FindModel(this);
    grdFind = new QTableView(this);
    grdFind->setObjectName(QStringLiteral("grdFind"));
    grdFind->setModel(model_);
    grdFind->setSortingEnabled(true);
    grdFind->horizontalHeader()->setSortIndicatorShown(true);
    grdFind->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grdFind->horizontalHeader()->setStretchLastSection(true);
    grdFind->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFind->setSelectionMode(QAbstractItemView::SingleSelection);
    grdFind->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFind->verticalHeader()->hide();
    grdFind->setAlternatingRowColors(true);
    grdFind->setWordWrap(false);
    grdFind->setToolTip(QStringLiteral("Enter or a double click shows the licence on the chart, in the grid and "
                                       "on the map"));
    const int widths[] = {80, 220, 170, 180, 60};
    for (int col = 0; col < 5; ++col)
        grdFind->setColumnWidth(col, widths[col]);

    lblFindCount = new QLabel(this);
    lblFindCount->setObjectName(QStringLiteral("lblFindCount"));
    lblFindCount->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->addWidget(txtFind, 1);
    top->addWidget(cboFindIn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdFind, 1);
    layout->addWidget(lblFindCount);

    // Typing restarts the clock; the find runs once typing rests.
    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(kDebounceMs);
    connect(txtFind, &QLineEdit::textChanged, debounce_, qOverload<>(&QTimer::start));
    connect(cboFindIn, &QComboBox::currentIndexChanged, debounce_, qOverload<>(&QTimer::start));
    connect(debounce_, &QTimer::timeout, this, &FrmFind::runFind);
    connect(txtFind, &QLineEdit::returnPressed, this, [this] {
        if (debounce_->isActive()) {
            debounce_->stop();
            runFind();
        }
        chooseCurrent();
    });
    connect(grdFind, &QTableView::activated, this, [this](const QModelIndex& i) {
        if (const reg::FindRow* r = model_->row(i.row()))
            emit chosen(*r);
    });
}

FrmFind::~FrmFind() = default;

reg::FindField FrmFind::field() const { return reg::FindField(std::clamp(cboFindIn->currentIndex(), 0, 3)); }

void FrmFind::runFind()
{
    const QString typed = txtFind->text();
    if (reg::findWords(typed).isEmpty()) {
        model_->setRows({});
        lblFindCount->clear();
        return;
    }
    const reg::Budget budget(&register_.database(), reg::kActionBudgetMs);
    try {
        if (!index_) {
            // Made at the first find: a second or so for a national register.
            const forms::BusyPointer busy;
            lblFindCount->setText(QStringLiteral("Indexing the register..."));
            index_ = reg::FindIndex::build(register_);
        }
        reg::FindResult found = index_->find(typed, field());
        lblFindCount->setText(countCaption(qint64(found.rows.size()), found.total));
        model_->setRows(std::move(found.rows));
    } catch (const reg::RegisterError& e) {
        qCInfo(base::lcFind).noquote() << "the find for" << typed.left(200) << "failed:" << e.message();
        model_->setRows({});
        lblFindCount->setText(e.tooLong() ? e.message() : QStringLiteral("The register could not be searched: ") +
                                                              e.message());
    }
}

void FrmFind::chooseCurrent()
{
    const QModelIndex current = grdFind->currentIndex();
    const reg::FindRow* r = model_->row(current.isValid() ? current.row() : 0);
    if (r)
        emit chosen(*r);
}

void FrmFind::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

}  // namespace find
