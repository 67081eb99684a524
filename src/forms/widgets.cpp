#include "forms/widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDate>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTime>
#include <cmath>

namespace forms {

namespace {
// Depth of keepPainting calls: timer ticks are skipped inside them.
int paintingDepth = 0;
}  // namespace


// ---------------------------------------------------------------------------
// CommandButton
// ---------------------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent, const QString& name, int index) : Control(parent, name, index)
{
    button_ = new QPushButton(this);
    button_->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    button_->setAutoDefault(false);
    setInner(button_);
    connect(button_, &QPushButton::clicked, this, &Control::clicked);
}

void CommandButton::setDefault(bool d)
{
    default_ = d;
    button_->setDefault(d);
}

QString CommandButton::caption() const { return button_->text(); }
void CommandButton::setCaption(const QString& c) { button_->setText(c); }
void CommandButton::setFont(const QFont& f) { button_->setFont(f); }

bool CommandButton::redirect(QMouseEvent* me)
{
    QWidget* win = window();
    const QPointF global = me->globalPosition();
    QWidget* w = win->childAt(win->mapFromGlobal(global.toPoint()));
    Control* target = nullptr;
    for (QWidget* p = w; p; p = p->parentWidget()) {
        if (auto* c = qobject_cast<Control*>(p)) {
            target = c;
            break;
        }
    }
    if (!target)
        return true;
    const QPointF local = target->mapFromGlobal(global);
    if (target == this)
        emitMouse(me->type(), local, me->button(), me->buttons(), me->modifiers());
    else
        target->deliverMouse(me->type(), local, me->button(), me->buttons(), me->modifiers());
    return true;
}

bool CommandButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == button_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            held_ = true;
            tracking_ = true;
            break;
        }
        case QEvent::FocusOut:
            if (held_ && tracking_) {
                tracking_ = false;
                button_->setDown(false);
            }
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (held_ && tracking_ && window()->focusWidget() != button_ && button_->hasFocus() == false
                && window()->focusWidget() != nullptr) {
                // The focus went elsewhere while the button was held.
                tracking_ = false;
                button_->setDown(false);
            }
            if (held_ && !tracking_) {
                if (event->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton)
                    held_ = false;
                return redirect(me);
            }
            if (event->type() == QEvent::MouseButtonRelease && me->buttons() == Qt::NoButton)
                held_ = false;
            break;
        }
        default:
            break;
        }
    }
    return Control::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// TextBox
// ---------------------------------------------------------------------------

TextBox::TextBox(QWidget* parent, const QString& name, bool multiLine, int index) : Control(parent, name, index)
{
    QWidget* ed;
    if (multiLine) {
        multi_ = new QPlainTextEdit(this);
        multi_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setFrameShape(QFrame::NoFrame);
        connect(multi_, &QPlainTextEdit::textChanged, this, &TextBox::changed);
        ed = multi_;
    } else {
        line_ = new QLineEdit(this);
        line_->setFrame(true);
        connect(line_, &QLineEdit::textChanged, this, &TextBox::changed);
        ed = line_;
    }
    ed->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    ed->installEventFilter(this);
    setInner(ed);
    if (multi_)
        watch(multi_->viewport());
    back_ = QColor(0xFF, 0xFF, 0xFF);
    fore_ = QColor(0, 0, 0);
    applyColors();
}

QWidget* TextBox::editor() const { return line_ ? static_cast<QWidget*>(line_) : multi_; }

QString TextBox::text() const
{
    if (line_)
        return line_->text();
    // A multi-line box gives back its text with the line breaks it was given.
    QString plain = lastSet_;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return plain == multi_->toPlainText() ? lastSet_ : multi_->toPlainText();
}

void TextBox::setText(const QString& t)
{
    if (line_) {
        if (line_->text() != t) {
            line_->setText(t);
            line_->setCursorPosition(0);
        }
    } else if (lastSet_ = t; multi_->toPlainText() != t) {
        QString plain = t;
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        multi_->setPlainText(plain);
    }
}

void TextBox::setAlignment(int a)
{
    alignment_ = a;
    const Qt::Alignment al = a == AlignRight ? Qt::AlignRight : a == AlignCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    if (line_)
        line_->setAlignment(al | Qt::AlignVCenter);
}

void TextBox::setLocked(bool l)
{
    locked_ = l;
    if (line_)
        line_->setReadOnly(l);
    else
        multi_->setReadOnly(l);
}

void TextBox::setFont(const QFont& f) { editor()->setFont(f); }

void TextBox::setBorderless(bool b)
{
    if (line_)
        line_->setFrame(!b);
}

void TextBox::takeFocus() { editor()->setFocus(Qt::OtherFocusReason); }

void TextBox::applyColors()
{
    QPalette pal = editor()->palette();
    if (back_.isValid()) {
        pal.setColor(QPalette::Base, back_);
        pal.setColor(QPalette::Window, back_);
    }
    if (fore_.isValid()) {
        pal.setColor(QPalette::Text, fore_);
        pal.setColor(QPalette::WindowText, fore_);
    }
    editor()->setPalette(pal);
    editor()->setAutoFillBackground(true);
}

bool TextBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor()) {
        if (event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            int code = 0;
            if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)
                code = 13;
            else if (!ke->text().isEmpty())
                code = ke->text().at(0).unicode();
            if (code)
                emit keyPress(code);
            if (code == 13 && line_)
                return true;
        }
    }
    if ((watched == editor() || (multi_ && watched == multi_->viewport())) &&
        event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton)
            emit clicked();
    }
    return Control::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Frame
// ---------------------------------------------------------------------------

Frame::Frame(QWidget* parent, const QString& name, int index) : PictureBox(parent, name, index)
{
    setBorderStyle(0);
    setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    fore_ = QColor(0, 0, 0);
}

void Frame::setCaption(const QString& c)
{
    caption_ = c;
    update();
}

void Frame::paintBackdrop(QPainter& p)
{
    p.fillRect(rect(), back_.isValid() ? back_ : palette().window().color());
    const QFontMetrics fm(font());
    const int top = fm.height() / 2;
    const QRect r = rect().adjusted(0, top, -1, -1);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawRect(r.adjusted(1, 1, 0, 0));
    if (!caption_.isEmpty()) {
        const int w = fm.horizontalAdvance(caption_) + 4;
        const QRect cap(6, 0, w, fm.height());
        p.fillRect(cap, back_.isValid() ? back_ : palette().window().color());
        p.setPen(fore_.isValid() ? fore_ : QColor(Qt::black));
        p.setFont(font());
        p.drawText(cap, Qt::AlignCenter, caption_);
    }
}

// ---------------------------------------------------------------------------
// OptionButton
// ---------------------------------------------------------------------------

OptionButton::OptionButton(Control* parent, const QString& name, int index) : Control(parent, name, index)
{
    radio_ = new QRadioButton(this);
    radio_->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    radio_->setAutoExclusive(false);
    parent->optionGroup()->addButton(radio_);
    setInner(radio_);
    connect(radio_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit selected();
    });
}

QString OptionButton::caption() const { return radio_->text(); }
void OptionButton::setCaption(const QString& c) { radio_->setText(c); }
bool OptionButton::value() const { return radio_->isChecked(); }
void OptionButton::setValue(bool v) { radio_->setChecked(v); }

// ---------------------------------------------------------------------------
// ScrollBar
// ---------------------------------------------------------------------------

ScrollBar::ScrollBar(QWidget* parent, const QString& name, Qt::Orientation o, int index)
    : Control(parent, name, index)
{
    bar_ = new QScrollBar(o, this);
    bar_->setTracking(false);
    setInner(bar_);
    connect(bar_, &QScrollBar::valueChanged, this, &ScrollBar::change);
}

int ScrollBar::min() const { return bar_->minimum(); }
int ScrollBar::max() const { return bar_->maximum(); }
int ScrollBar::value() const { return bar_->value(); }
int ScrollBar::smallChange() const { return bar_->singleStep(); }
int ScrollBar::largeChange() const { return bar_->pageStep(); }
void ScrollBar::setMin(int v) { bar_->setMinimum(v); }
void ScrollBar::setMax(int v) { bar_->setMaximum(v); }
void ScrollBar::setSmallChange(int v) { bar_->setSingleStep(v); }
void ScrollBar::setLargeChange(int v) { bar_->setPageStep(v); }

void ScrollBar::setValue(int v)
{
    if (v < bar_->minimum() || v > bar_->maximum())
        throw InvalidPropertyValue();
    if (v == bar_->value())
        return;
    bar_->setValue(v);
}

// ---------------------------------------------------------------------------
// Timer
// ---------------------------------------------------------------------------

Timer::Timer(QObject* parent, const QString& name, int interval, bool enabled)
    : QObject(parent), interval_(interval), enabled_(enabled)
{
    setObjectName(name);
    connect(&qt_, &QTimer::timeout, this, [this] {
        if (paintingDepth == 0)
            emit timer();
    });
    restart();
}

void Timer::restart()
{
    qt_.stop();
    if (enabled_ && interval_ > 0)
        qt_.start(interval_);
}

void Timer::setInterval(int ms)
{
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool e)
{
    if (enabled_ == e)
        return;
    enabled_ = e;
    restart();
}

// ---------------------------------------------------------------------------
// MenuItem and StatusBar
// ---------------------------------------------------------------------------

MenuItem::MenuItem(QObject* parent, const QString& name, const QString& caption, bool checkable, bool checked)
    : QAction(caption, parent)
{
    setObjectName(name);
    setCheckable(checkable);
    setChecked(checked);
    connect(this, &QAction::triggered, this, [this] {
        if (isCheckable())
            setChecked(!isChecked());
        emit click();
    });
}

StatusBar::StatusBar(QWidget* parent, const QString& name, const QList<double>& textPanelTwips)
    : QStatusBar(parent)
{
    setObjectName(name);
    setSizeGripEnabled(false);
    QList<double> widths = textPanelTwips;
    widths << 1440 << 1440;
    for (double w : widths) {
        auto* l = new QLabel(this);
        l->setTextFormat(Qt::PlainText);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setFixedWidth(int(std::lround(toPixels(w))));
        l->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
        addWidget(l);
        panels_ << l;
    }
    tick();
    connect(&clock_, &QTimer::timeout, this, &StatusBar::tick);
    clock_.start(1000);
}

QString StatusBar::panelText(int panel) const
{
    if (panel < 1 || panel > panels_.size())
        return QString();
    return panels_[panel - 1]->text();
}

void StatusBar::setPanelText(int panel, const QString& t)
{
    if (panel < 1 || panel > 3)
        return;
    panels_[panel - 1]->setText(t);
}

void StatusBar::tick()
{
    const QLocale loc;
    panels_[3]->setText(loc.toString(QDate::currentDate(), QLocale::ShortFormat));
    panels_[4]->setText(loc.toString(QTime::currentTime(), QLocale::ShortFormat));
}

// ---------------------------------------------------------------------------
// Pointers and the form
// ---------------------------------------------------------------------------

Qt::CursorShape cursorShape(int pointer)
{
    switch (pointer) {
    case vbCrosshair: return Qt::CrossCursor;
    case vbHourglass: return Qt::WaitCursor;
    default: return Qt::ArrowCursor;
    }
}

namespace {
int g_screenPointer = vbDefault;
}

void keepPainting()
{
    ++paintingDepth;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --paintingDepth;
}

void setScreenPointer(int pointer)
{
    if (pointer == g_screenPointer)
        return;
    if (g_screenPointer != vbDefault)
        QApplication::restoreOverrideCursor();
    g_screenPointer = pointer;
    if (pointer != vbDefault)
        QApplication::setOverrideCursor(QCursor(cursorShape(pointer)));
}

int screenPointer() { return g_screenPointer; }

Form::Form(const QString& name, double clientWidthTwips, double clientHeightTwips, QWidget* parent)
    : QMainWindow(parent), clientW_(clientWidthTwips), clientH_(clientHeightTwips)
{
    setObjectName(name);
    surface_ = new PictureBox(this, QStringLiteral("Form"));
    surface_->setBorderStyle(0);
    surface_->setFixedSize(int(std::lround(toPixels(clientWidthTwips))), int(std::lround(toPixels(clientHeightTwips))));
    setCentralWidget(surface_);
}

void Form::showEvent(QShowEvent* e)
{
    // The window is as large as its client area (and menu bar), and stays so.
    if (!sized_) {
        sized_ = true;
        setFixedSize(sizeHint());
    }
    QMainWindow::showEvent(e);
}

void Form::closeEvent(QCloseEvent* e)
{
    QMainWindow::closeEvent(e);
    emit closed();
}

void Form::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && defaultButton_) {
        defaultButton_->button()->click();
        return;
    }
    if (e->key() == Qt::Key_Escape && cancelButton_) {
        cancelButton_->button()->click();
        return;
    }
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && closesOnEscape_) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

namespace {

void runModal(Form& form)
{
    QEventLoop loop;
    QObject::connect(&form, &Form::closed, &loop, &QEventLoop::quit);
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    loop.exec();
}

ModalHandler& modalHandler()
{
    static ModalHandler h = runModal;
    return h;
}

}  // namespace

void showModal(Form& form)
{
    const ModalScope modal;
    modalHandler()(form);
}

ModalHandler setModalHandler(ModalHandler h)
{
    ModalHandler old = modalHandler();
    modalHandler() = h ? std::move(h) : ModalHandler(runModal);
    return old;
}

void Form::setMousePointer(int p)
{
    pointer_ = p;
    setCursor(QCursor(cursorShape(p)));
}

void Form::centre(QWidget* owner)
{
    adjustSize();
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (QScreen* s = QApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

}  // namespace forms
