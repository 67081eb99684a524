#include "forms/core.h"

#include "base/log.h"
#include "base/shown_text.h"
#include "forms/events.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTextDocument>

namespace forms {

QString colorText(const QColor& c)
{
    if (!c.isValid())
        return QString();
    return QStringLiteral("#%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QColor colorFromText(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!re.match(text).hasMatch())
        return QColor();
    return QColor(text);
}

Error::Error(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description)
{
}

int vbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

int vbButtons(Qt::MouseButtons b)
{
    int r = 0;
    if (b & Qt::LeftButton) r |= vbLeftButton;
    if (b & Qt::RightButton) r |= vbRightButton;
    if (b & Qt::MiddleButton) r |= vbMiddleButton;
    return r;
}

int vbShift(Qt::KeyboardModifiers m)
{
    int r = 0;
    if (m & Qt::ShiftModifier) r |= 1;
    if (m & Qt::ControlModifier) r |= 2;
    if (m & Qt::AltModifier) r |= 4;
    return r;
}

QString applicationTitle() { return QStringLiteral("Orvane"); }

namespace {

ModalObserver& modalObserver()
{
    static ModalObserver o;
    return o;
}

int showMessageBox(const QString& text, int style, const QString& title)
{
    const std::unique_ptr<QMessageBox> box = messageBox(text, style, title);
    switch (box->exec()) {
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbOK;
    }
}

}  // namespace

QString plainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

std::unique_ptr<QMessageBox> messageBox(const QString& text, int style, const QString& title)
{
    auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    box->setWindowTitle(title);
    box->setTextFormat(Qt::PlainText);
    // A message may carry a text of the register's, which may be long: the
    // box shows its beginning (laying out a text of megabytes takes long).
    box->setText(base::boundedText(text, kMaxShownMessage));
    switch (style & 0x70) {
    case vbCritical: box->setIcon(QMessageBox::Critical); break;
    case vbQuestion: box->setIcon(QMessageBox::Question); break;
    case vbExclamation: box->setIcon(QMessageBox::Warning); break;
    case vbInformation: box->setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (style & 0x0F) {
    case vbOKCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case vbYesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box->setStandardButtons(QMessageBox::Ok); break;
    }
    return box;
}

ModalObserver setModalObserver(ModalObserver o)
{
    ModalObserver old = modalObserver();
    modalObserver() = std::move(o);
    return old;
}

ModalScope::ModalScope()
{
    if (modalObserver())
        modalObserver()(true);
}

ModalScope::~ModalScope()
{
    if (modalObserver())
        modalObserver()(false);
}

namespace {

MsgBoxHandler& msgBoxHandler()
{
    static MsgBoxHandler h = showMessageBox;
    return h;
}

BeepHandler& beepHandler()
{
    static BeepHandler h = [] { QApplication::beep(); };
    return h;
}

}  // namespace

int msgBox(const QString& text, int style)
{
    const ModalScope modal;
    return msgBoxHandler()(text, style, applicationTitle());
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler h)
{
    MsgBoxHandler old = msgBoxHandler();
    msgBoxHandler() = h ? std::move(h) : MsgBoxHandler(showMessageBox);
    return old;
}

namespace {

QString showSaveDialog(const QString& title, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter);
}

SaveFileHandler& saveFileHandler()
{
    static SaveFileHandler h = showSaveDialog;
    return h;
}

}  // namespace

QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filter)
{
    const ModalScope modal;
    return saveFileHandler()(title, suggested, filter);
}

SaveFileHandler setSaveFileHandler(SaveFileHandler h)
{
    SaveFileHandler old = saveFileHandler();
    saveFileHandler() = h ? std::move(h) : SaveFileHandler(showSaveDialog);
    return old;
}

void beep() { beepHandler()(); }

BeepHandler setBeepHandler(BeepHandler h)
{
    BeepHandler old = beepHandler();
    beepHandler() = h ? std::move(h) : BeepHandler([] { QApplication::beep(); });
    return old;
}

QFont standInFont(const QString& face, double points, bool bold, bool italic)
{
    QString family = QStringLiteral("Liberation Sans");
    if (face.compare(QLatin1String("Arial Narrow"), Qt::CaseInsensitive) == 0)
        family = QStringLiteral("Liberation Sans Narrow");
    else if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        family = QStringLiteral("Liberation Serif");
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void reportUnanticipated(const std::exception_ptr& error) noexcept
{
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        qCInfo(base::lcWindow).noquote() << "a handler stopped: error" << e.number() << e.description();
        msgBox(QStringLiteral("Unanticipated error %1: %2").arg(e.number()).arg(e.description()),
               vbOKOnly | vbExclamation);
    } catch (const std::exception& e) {
        qCInfo(base::lcWindow) << "a handler stopped:" << e.what();
        msgBox(QString::fromUtf8(e.what()), vbOKOnly | vbExclamation);
    } catch (...) {
        qCInfo(base::lcWindow) << "a handler stopped";
        msgBox(QStringLiteral("Unanticipated error"), vbOKOnly | vbExclamation);
    }
}

}  // namespace forms
