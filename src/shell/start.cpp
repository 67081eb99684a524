#include "shell/start.h"

#include "forms/core.h"
#include "shell/frmspectrum.h"
#include "shell/frmsplash.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace shell {

int modStart()
{
    auto splash = std::make_unique<FrmSplash>();
    splash->show();
    QApplication::processEvents();

    FrmSpectrum main;
    main.setRegisterProgress([&splash](const reg::ImportProgress& p) {
        if (!splash)
            return;
        splash->showProgress(p);
        if (splash->cancelled())
            throw reg::ImportCancelled();
    });
    try {
        main.formLoad();
    } catch (const reg::ImportCancelled& e) {
        // The user asked for it: said on the terminal, with no box to close.
        splash.reset();
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const reg::RegisterError& e) {
        splash.reset();
        forms::msgBox(e.message() + QStringLiteral("\r\n\r\nOrvane Zaru cannot go on and will close."),
                      forms::vbOKOnly | forms::vbCritical);
        return 1;
    } catch (const forms::Error& e) {
        splash.reset();
        forms::msgBox(QStringLiteral("%1 (error %2)\r\n\r\nOrvane Zaru cannot go on and will close.")
                          .arg(e.description())
                          .arg(e.number()),
                      forms::vbOKOnly | forms::vbCritical);
        return 1;
    }
    splash.reset();
    return QApplication::exec();
}

}  // namespace shell
