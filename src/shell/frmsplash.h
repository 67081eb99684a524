#pragma once
// The splash window shown while the program loads, with a small animation
// of a spectrum trace sweeping and, while an Access register is read, the
// progress of the import.

#include "forms/widgets.h"
#include "register/connection.h"

class QMovie;

namespace shell {

class FrmSplash : public forms::Form {
    Q_OBJECT

public:
    FrmSplash();
    // Shows the import's progress, with the Cancel button, and keeps the
    // window drawn and answering.
    void showProgress(const reg::ImportProgress& p);
    // Whether Cancel was pressed.
    bool cancelled() const { return cancelled_; }

    forms::Frame* Frame1 = nullptr;
    forms::PictureBox* Gif89a1 = nullptr;
    forms::Label* lblProductName = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Label* Label2 = nullptr;
    forms::Label* lblProgress = nullptr;
    forms::CommandButton* cmdCancel = nullptr;  // shown while a register is read

private:
    QMovie* movie_ = nullptr;
    bool cancelled_ = false;
};

// The line the splash shows for the progress of reading a register.
QString progressText(const reg::ImportProgress& p);

// The disclaimer of the splash window and the About box.
QString disclaimerText();

}  // namespace shell
