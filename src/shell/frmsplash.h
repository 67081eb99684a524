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
    // Shows the import's progress and keeps the window drawn.
    void showProgress(const reg::ImportProgress& p);

    forms::Frame* Frame1 = nullptr;
    forms::PictureBox* Gif89a1 = nullptr;
    forms::Label* lblProductName = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Label* Label2 = nullptr;
    forms::Label* lblProgress = nullptr;

private:
    QMovie* movie_ = nullptr;
};

// The disclaimer of the splash window and the About box.
QString disclaimerText();

}  // namespace shell
