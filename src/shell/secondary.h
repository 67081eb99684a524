#pragma once
// The secondary windows: the About box, the ITU allocation colour legend,
// and the help viewer over a compiled HTML help file.

#include "forms/widgets.h"

#include <QString>
#include <QTextBrowser>

struct chmFile;

namespace shell {

class FrmAbout : public forms::Form {
    Q_OBJECT

public:
    explicit FrmAbout(QWidget* owner = nullptr);
    // The load handler: caption, title and version.
    void formLoad();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    forms::PictureBox* picIcon = nullptr;
    forms::Label *lblTitle = nullptr, *lblVersion = nullptr, *lblDescription = nullptr, *Label1 = nullptr,
                 *Label2 = nullptr;
    std::unique_ptr<forms::ControlArray<forms::Line>> Line1;
    forms::CommandButton* cmdOK = nullptr;
    forms::CommandButton* cmdSysInfo = nullptr;
};

// The system-information programs looked for, in this order, on the PATH.
QStringList systemInformationTools();
// Starts the first one found; false when there is none (or it would not start).
bool startSysInfo();

class FrmITU : public forms::Form {
    Q_OBJECT

public:
    explicit FrmITU(QWidget* owner = nullptr);
    std::vector<forms::Shape*> swatches;
    std::vector<forms::Label*> labels;
    forms::TextBox* Text1 = nullptr;
};

// The text of the legend's service descriptions.
QString serviceDescriptionText();

// A reader of compiled HTML help files.
class ChmFile {
public:
    explicit ChmFile(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;
    bool isOpen() const { return h_ != nullptr; }
    // The bytes of an object ("/index.html"); empty when there is none.
    QByteArray object(const QString& path) const;
    // The file's default topic, from its system data (or the first page).
    QString defaultTopic() const;

private:
    chmFile* h_ = nullptr;
};

// The help viewer: a text browser reading its pages from a help file.
class HelpViewer : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpViewer(const QString& chmPath, QWidget* parent = nullptr);
    bool isOpen() const { return chm_.isOpen(); }
    QVariant loadResource(int type, const QUrl& name) override;
    // Shows the file's default topic.
    bool showDefaultTopic();

private:
    ChmFile chm_;
};

}  // namespace shell
