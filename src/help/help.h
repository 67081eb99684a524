#pragma once
// The help: the help file of the working folder (or the one installed with
// the program) opened in the help window at its default topic.

#include <QIcon>
#include <QString>
#include <memory>

class QWidget;

namespace help {

class Help {
public:
    explicit Help(const QIcon& icon);
    ~Help();

    // Opens a help file at a context (every context shows the file's default
    // topic: the file has no context map); false when there is no such file.
    // A file that cannot be read opens a help window saying what is wrong.
    bool showHelpFile(const QString& fileName, QWidget* owner, int context);
    // The help file in the working folder, else the one installed with the
    // program (a register folder of the user's own holds no help file).
    void mnuHelp_Click();
    // The help window last opened (none before).
    QWidget* helpViewer() const { return helpViewer_.get(); }

private:
    QIcon icon_;
    std::unique_ptr<QWidget> helpViewer_;
};

}  // namespace help
