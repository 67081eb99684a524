#pragma once
// Basics of the forms layer: twips, colours, errors, VB-style mouse arguments,
// message boxes and beeps.

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>
#include <functional>
#include <memory>
#include <stdexcept>

class QMessageBox;
class QMouseEvent;

namespace forms {

// 15 twips to a logical pixel (1440 twips an inch at 96 dpi).
constexpr double kTwipsPerPixel = 15.0;
// The largest magnitude a graphical control accepts for a coordinate or size.
constexpr double kMaxTwips = 16777215.0;

inline double toPixels(double twips) { return twips / kTwipsPerPixel; }
inline double toTwips(double pixels) { return pixels * kTwipsPerPixel; }

// "#RRGGBB" text of a colour and back; an empty or bad text gives an invalid colour.
QString colorText(const QColor& c);
QColor colorFromText(const QString& text);

// A run-time error with a VB-style number and description.
class Error : public std::runtime_error {
public:
    Error(int number, const QString& description);
    int number() const { return number_; }
    QString description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Error 380: the refusal of a property value (a negative size, a position out of range).
class InvalidPropertyValue : public Error {
public:
    InvalidPropertyValue() : Error(380, QStringLiteral("Invalid property value")) {}
};

// Mouse buttons as VB numbers them: 1 left, 2 right, 4 middle.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
int vbButton(Qt::MouseButton b);
int vbButtons(Qt::MouseButtons b);
// Shift argument: 1 shift, 2 ctrl, 4 alt.
int vbShift(Qt::KeyboardModifiers m);

// Message box styles (VB values) and results.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Text is only text. Every text the program shows may come from a register
// file, so nothing is ever read as markup: message boxes and labels show
// plain text, and a tooltip (which Qt reads as markup when it looks like
// it) gets its text escaped so that it shows as written.
QString plainToolTip(const QString& text);

// Every message box of the program goes through msgBox, titled "Orvane".
QString applicationTitle();
using MsgBoxHandler = std::function<int(const QString& text, int style, const QString& title)>;
int msgBox(const QString& text, int style = vbOKOnly);
// The box msgBox shows (plain text, at most kMaxShownMessage characters of
// it, its icon and buttons), not yet shown.
constexpr int kMaxShownMessage = 2000;
std::unique_ptr<QMessageBox> messageBox(const QString& text, int style, const QString& title);

// Time the user spends in a modal box or dialog. Every one the program shows
// (message boxes, modal windows, file dialogs) tells the observer when it
// opens (true) and closes (false), so that time limits on the program's own
// work can leave the user's reading time out.
using ModalObserver = std::function<void(bool open)>;
ModalObserver setModalObserver(ModalObserver o);
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
// Replaces the handler (tests record instead of showing); returns the previous one.
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler h);

// The file a user chooses to save into (a file dialog), empty when the user
// cancels. Tests replace the handler; it returns the previous one.
using SaveFileHandler = std::function<QString(const QString& title, const QString& suggested, const QString& filter)>;
QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filter);
SaveFileHandler setSaveFileHandler(SaveFileHandler h);

using BeepHandler = std::function<void()>;
void beep();
BeepHandler setBeepHandler(BeepHandler h);

// Font stand-ins for the classic Windows faces.
QFont standInFont(const QString& face, double points, bool bold = false, bool italic = false);

}  // namespace forms
