#pragma once
// The secondary windows: the About box and the ITU allocation colour legend
// (the help window is in help.h).

#include "forms/widgets.h"

#include <QString>

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

}  // namespace shell
