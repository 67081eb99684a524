#pragma once
// The splash window shown while the program loads, with a small animation
// of a spectrum trace sweeping and, while an Access register is read, the
// progress of the import.

#include "forms/widgets.h"
#include "register/connection.h"

#include <QElapsedTimer>

namespace shell {

// The splash window's animated picture: a spectrum trace sweeping across a
// dark screen, drawn from the time since it started.
class SweepAnimation : public forms::PictureBox {
    Q_OBJECT

public:
    SweepAnimation(QWidget* parent, const QString& name);

protected:
    void paintBackdrop(QPainter& p) override;

private:
    QElapsedTimer clock_;
    QTimer frames_;
};

class FrmSplash : public forms::Form {
    Q_OBJECT

public:
    FrmSplash();
    // Shows the import's progress and keeps the window drawn.
    void showProgress(const reg::ImportProgress& p);

    forms::Frame* Frame1 = nullptr;
    SweepAnimation* Gif89a1 = nullptr;
    forms::Label* lblProductName = nullptr;
    forms::Label* Label1 = nullptr;
    forms::Label* Label2 = nullptr;
    forms::Label* lblProgress = nullptr;
};

// The disclaimer of the splash window and the About box.
QString disclaimerText();

}  // namespace shell
