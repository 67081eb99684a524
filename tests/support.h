#pragma once
// Helpers shared by the test programs: a temporary working directory, a small
// generated register, and a recorder for message boxes and beeps.

#include "forms/core.h"
#include "register/connection.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace testing {

// Runs the sample-register generator with `args`; returns its exit status.
inline int runMakeRegister(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ORVANE_MAKE_REGISTER), args);
    if (!p.waitForFinished(300000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Runs `program` with `args` to its end: its standard output, or nothing when
// it cannot start, does not end within ten minutes or exits with a failure.
inline std::optional<QString> runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << program << args.join(' ') << "failed:" << p.readAllStandardError().right(4000);
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Makes a sample register (SQLite, or Access with `format` "access").
inline int makeRegister(const QString& out, double scale, quint64 seed = 20261209,
                        const QString& format = QStringLiteral("sqlite"))
{
    return runMakeRegister({QStringLiteral("--out"), out, QStringLiteral("--scale"), QString::number(scale),
                            QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--format"), format});
}

// A temporary directory made the working directory for the life of the object.
class WorkDir {
public:
    WorkDir() : old_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkDir() { QDir::setCurrent(old_); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString old_;
};

struct Message {
    QString text;
    int style;
    QString title;
};

// Records message boxes and beeps instead of showing them. A box asking
// Yes or No is answered `answer` (No unless a test says otherwise); a file
// to save into is `saveAs` (none, as a user who cancels the dialog).
class Recorder {
public:
    Recorder()
    {
        oldBox_ = forms::setMsgBoxHandler([this](const QString& text, int style, const QString& title) {
            messages.push_back({text, style, title});
            return (style & 0xF) == forms::vbYesNo ? answer : int(forms::vbOK);
        });
        oldBeep_ = forms::setBeepHandler([this] { ++beeps; });
        oldSave_ = forms::setSaveFileHandler([this](const QString& title, const QString&, const QString&) {
            saveTitles << title;
            return saveAs;
        });
    }
    ~Recorder()
    {
        forms::setMsgBoxHandler(oldBox_);
        forms::setBeepHandler(oldBeep_);
        forms::setSaveFileHandler(oldSave_);
    }
    QStringList texts() const
    {
        QStringList t;
        for (const Message& m : messages)
            t << m.text;
        return t;
    }
    void clear()
    {
        messages.clear();
        beeps = 0;
    }
    std::vector<Message> messages;
    int beeps = 0;
    int answer = forms::vbNo;
    QString saveAs;
    QStringList saveTitles;

private:
    forms::MsgBoxHandler oldBox_;
    forms::BeepHandler oldBeep_;
    forms::SaveFileHandler oldSave_;
};

// Makes a window the active one, so that it takes the keyboard focus.
inline bool activate(QWidget* w)
{
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

inline QString sharedTestData(const QString& name)
{
    return QDir(QStringLiteral(ORVANE_SOURCE_DIR)).absoluteFilePath(QStringLiteral("../shared/testdata/") + name);
}

// The message of opening the register of the working folder; empty when it opens.
inline QString openingMessage()
{
    try {
        reg::Connection c;
        c.open(reg::connectionString);
    } catch (const reg::RegisterError& e) {
        return e.message();
    }
    return QString();
}

}  // namespace testing
