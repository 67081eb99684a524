#pragma once
// The windowed controls (button, text box, frame, option button, scroll bar),
// timers, menu items, the status bar, control arrays and the form itself.

#include "forms/controls.h"

#include <QAction>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <functional>
#include <map>
#include <set>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace forms {

// A command button. Pressed with the mouse, it tracks the press until the
// release; when it loses the keyboard focus while held it stops tracking, and
// from then on pointer moves and the release go to whatever control lies
// under the pointer.
class CommandButton : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(bool Cancel READ isCancel WRITE setCancel)
    Q_PROPERTY(bool Tracking READ isTracking)

public:
    CommandButton(QWidget* parent, const QString& name, int index = -1);
    QString caption() const;
    void setCaption(const QString& c);
    bool isDefault() const { return default_; }
    void setDefault(bool d);
    bool isCancel() const { return cancel_; }
    void setCancel(bool c) { cancel_ = c; }
    bool isTracking() const { return held_ && tracking_; }
    bool isHeld() const { return held_; }
    void setFont(const QFont& f);
    QPushButton* button() const { return button_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool redirect(QMouseEvent* me);
    QPushButton* button_;
    bool held_ = false;
    bool tracking_ = false;
    bool default_ = false;
    bool cancel_ = false;
};

class TextBox : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool Locked READ isLocked WRITE setLocked)
    Q_PROPERTY(bool MultiLine READ isMultiLine)

public:
    enum { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    TextBox(QWidget* parent, const QString& name, bool multiLine = false, int index = -1);
    QString text() const;
    void setText(const QString& t);
    int alignment() const { return alignment_; }
    void setAlignment(int a);
    bool isLocked() const { return locked_; }
    void setLocked(bool l);
    bool isMultiLine() const { return multi_ != nullptr; }
    void setFont(const QFont& f);
    void setBorderless(bool b);
    // Gives the keyboard focus to the box.
    void takeFocus();
    QWidget* editor() const;

signals:
    // A key typed into the box, as its character code (13 for Enter).
    void keyPress(int keyAscii);
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyColors() override;

private:
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    int alignment_ = AlignLeft;
    bool locked_ = false;
    QString lastSet_;
};

// A frame: an etched border with a caption; it holds windowed controls and,
// like a picture box, graphical ones.
class Frame : public PictureBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    Frame(QWidget* parent, const QString& name, int index = -1);
    QString caption() const { return caption_; }
    void setCaption(const QString& c);

protected:
    void paintBackdrop(QPainter& p) override;

private:
    QString caption_;
};

class OptionButton : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Value READ value WRITE setValue)

public:
    OptionButton(Control* parent, const QString& name, int index = -1);
    QString caption() const;
    void setCaption(const QString& c);
    bool value() const;
    void setValue(bool v);
    QRadioButton* radio() const { return radio_; }

signals:
    // Raised when the option becomes the selected one, by the user or by code.
    void selected();

private:
    QRadioButton* radio_;
};

class ScrollBar : public Control {
    Q_OBJECT
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int SmallChange READ smallChange WRITE setSmallChange)
    Q_PROPERTY(int LargeChange READ largeChange WRITE setLargeChange)

public:
    ScrollBar(QWidget* parent, const QString& name, Qt::Orientation o, int index = -1);
    int min() const;
    int max() const;
    int value() const;
    int smallChange() const;
    int largeChange() const;
    void setMin(int v);
    void setMax(int v);
    // Refuses a value outside Min..Max with InvalidPropertyValue; setting the
    // value the bar has raises no Change.
    void setValue(int v);
    void setSmallChange(int v);
    void setLargeChange(int v);
    QScrollBar* bar() const { return bar_; }

signals:
    // Once per change of value: a step, a released thumb, or code.
    void change();

private:
    QScrollBar* bar_;
};

// A timer: Interval in milliseconds, Enabled; enabling it starts the interval afresh.
class Timer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)

public:
    Timer(QObject* parent, const QString& name, int interval, bool enabled);
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e);
    // Runs one tick now (tests).
    void fire() { emit timer(); }
    // Milliseconds to the next tick; -1 when disabled.
    int remainingMs() const { return qt_.remainingTime(); }

signals:
    void timer();

private:
    void restart();
    QTimer qt_;
    int interval_;
    bool enabled_;
};

// A menu item; Caption and Checked as properties.
class MenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Checked READ isChecked WRITE setCheckedState)

public:
    MenuItem(QObject* parent, const QString& name, const QString& caption, bool checkable = false,
             bool checked = false);
    QString caption() const { return text(); }
    void setCaption(const QString& c) { setText(c); }
    void setCheckedState(bool c) { setChecked(c); }

signals:
    // A choice of the item. The check mark is the handler's to change, as in
    // the classic toolkit: the toggle Qt makes on its own is undone first.
    void click();
};

// The five-panel status bar: three text panels, the date and the time.
class StatusBar : public QStatusBar {
    Q_OBJECT
    Q_PROPERTY(QString Panel1 READ panel1 WRITE setPanel1)
    Q_PROPERTY(QString Panel2 READ panel2 WRITE setPanel2)
    Q_PROPERTY(QString Panel3 READ panel3 WRITE setPanel3)
    Q_PROPERTY(QString Panel4 READ panel4)
    Q_PROPERTY(QString Panel5 READ panel5)

public:
    StatusBar(QWidget* parent, const QString& name, const QList<double>& textPanelTwips);
    QString panelText(int panel) const;  // 1-based
    void setPanelText(int panel, const QString& t);
    QString panel1() const { return panelText(1); }
    QString panel2() const { return panelText(2); }
    QString panel3() const { return panelText(3); }
    QString panel4() const { return panelText(4); }
    QString panel5() const { return panelText(5); }
    void setPanel1(const QString& t) { setPanelText(1, t); }
    void setPanel2(const QString& t) { setPanelText(2, t); }
    void setPanel3(const QString& t) { setPanelText(3, t); }

private:
    void tick();
    QList<QLabel*> panels_;
    QTimer clock_;
};

// A control array of graphical controls of one kind in one container.
// Elements share the name and carry their index; a loaded element copies
// element 0 and starts hidden.
template <class T>
class ControlArray {
public:
    using Connector = std::function<void(T*)>;
    ControlArray(PictureBox* host, QString name) : host_(host), name_(std::move(name)) {}

    // Creates a design-time element.
    T* create(int index) { return make(index, nullptr); }
    // Loads a run-time element as a hidden copy of element 0.
    T* load(int index)
    {
        if (elements_.count(index))
            throw Error(360, QStringLiteral("Object already loaded"));
        // Run-time elements belong to one owner object, so that they can all
        // go at once (see unloadFrom).
        if (!loaded_)
            loaded_ = new QObject(host_);
        T* el = make(index, loaded_);
        loadedIndexes_.insert(index);
        if (T* first = at(0))
            el->copyFrom(*first);
        el->setVisible(false);
        return el;
    }
    void unload(int index)
    {
        auto it = elements_.find(index);
        if (it == elements_.end())
            return;
        delete it->second;
        elements_.erase(it);
        loadedIndexes_.erase(index);
    }
    // Unloads every element from `first` up, in time proportional to their
    // number: when they are exactly the run-time elements, their owner goes
    // with them all (one by one, each would be looked up among its siblings).
    void unloadFrom(int first)
    {
        const auto from = elements_.lower_bound(first);
        const bool allLoaded = !loadedIndexes_.empty() && *loadedIndexes_.begin() >= first &&
                               size_t(std::distance(from, elements_.end())) == loadedIndexes_.size();
        if (allLoaded) {
            host_->removeGraphicsAfter([this] { delete loaded_; });
            loaded_ = nullptr;
            elements_.erase(from, elements_.end());
            loadedIndexes_.clear();
            return;
        }
        while (!elements_.empty() && elements_.rbegin()->first >= first)
            unload(elements_.rbegin()->first);
    }
    T* at(int index) const
    {
        auto it = elements_.find(index);
        return it == elements_.end() ? nullptr : it->second;
    }
    T* operator()(int index) const
    {
        T* el = at(index);
        if (!el)
            throw Error(340, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
        return el;
    }
    bool exists(int index) const { return elements_.count(index) != 0; }
    int count() const { return int(elements_.size()); }
    int ubound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
    void setConnector(Connector c) { connector_ = std::move(c); }
    const QString& name() const { return name_; }

private:
    T* make(int index, QObject* owner)
    {
        T* el = new T(host_, name_, index, owner);
        elements_[index] = el;
        if (connector_)
            connector_(el);
        return el;
    }
    PictureBox* host_;
    QString name_;
    std::map<int, T*> elements_;
    QObject* loaded_ = nullptr;  // the owner of the run-time elements
    std::set<int> loadedIndexes_;
    Connector connector_;
};

// Mouse pointer shapes (VB numbers).
enum MousePointer { vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbHourglass = 11, vbCustom = 99 };
Qt::CursorShape cursorShape(int pointer);
// Screen.MousePointer: the pointer over the whole screen.
void setScreenPointer(int pointer);
int screenPointer();

// Lets the windows repaint while a long piece of work runs on the event
// thread: window and paint events are handled; user input waits, and timer
// ticks that fall due meanwhile are skipped (a tick never starts work inside
// other work).
void keepPainting();

// The hourglass over the screen for as long as it lives; the default pointer
// comes back however the work ends.
class BusyPointer {
public:
    BusyPointer() { setScreenPointer(vbHourglass); }
    ~BusyPointer() { setScreenPointer(vbDefault); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A form: a top-level window whose client area is a borderless picture box
// (the form's own surface, named "Form") sized in twips.
class Form : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)

public:
    Form(const QString& name, double clientWidthTwips, double clientHeightTwips, QWidget* parent = nullptr);
    PictureBox* surface() const { return surface_; }
    QString caption() const { return windowTitle(); }
    void setCaption(const QString& c) { setWindowTitle(c); }
    int mousePointer() const { return pointer_; }
    void setMousePointer(int p);
    double scaleWidth() const { return clientW_; }
    double scaleHeight() const { return clientH_; }
    // Centres the window on the screen (or on its owner).
    void centre(QWidget* owner = nullptr);
    // Enter presses the default button, Escape the cancel button.
    void setDefaultButton(CommandButton* b) { defaultButton_ = b; }
    void setCancelButton(CommandButton* b) { cancelButton_ = b; }
    // Escape closes a window without a cancel button (a legend, say).
    void setClosesOnEscape(bool on) { closesOnEscape_ = on; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    CommandButton* defaultButton_ = nullptr;
    CommandButton* cancelButton_ = nullptr;
    bool closesOnEscape_ = false;
    bool sized_ = false;
    PictureBox* surface_;
    double clientW_, clientH_;
    int pointer_ = vbDefault;
};

// Shows a form modally and returns when it closes. Tests replace the handler
// so that nothing blocks.
using ModalHandler = std::function<void(Form&)>;
void showModal(Form& form);
ModalHandler setModalHandler(ModalHandler h);

}  // namespace forms
