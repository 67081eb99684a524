#include "help/help.h"

#include "base/log.h"
#include "help/help_window.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace help {

Help::Help(const QIcon& icon) : icon_(icon) {}

Help::~Help() = default;

bool Help::showHelpFile(const QString& fileName, QWidget*, int context)
{
    if (!QFileInfo(fileName).isFile()) {
        qCInfo(base::lcHelp).noquote() << "no help file" << fileName;
        return false;
    }
    auto window = std::make_unique<HelpWindow>(QFileInfo(fileName).absoluteFilePath());
    // The file has no context map of its own: every context shows the default
    // topic. A file that cannot be read is named in the window, with what is wrong.
    (void)context;
    if (!window->showDefaultTopic())
        qCInfo(base::lcHelp).noquote() << "the help file" << fileName << "cannot be shown:" << window->problem();
    window->setWindowIcon(icon_);
    helpViewer_ = std::move(window);
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
    return true;
}

void Help::mnuHelp_Click()
{
    QString file = QStringLiteral("OrvaneZaru.chm");
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvane-zaru/OrvaneZaru.chm");
    if (!QFileInfo(file).isFile() && QFileInfo(installed).isFile())
        file = QFileInfo(installed).canonicalFilePath();
    showHelpFile(file, nullptr, 0);
}

}  // namespace help
