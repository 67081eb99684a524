// orvane-make-help-pictures: pictures of the real program for the help pages
// and the documentation. It opens the main window on the register in a
// folder, does what a user would do, and saves what the screen shows.
//
//   orvane-make-help-pictures REGISTER_FOLDER OUT_FOLDER [--help CHM]
//
// With QT_SCALE_FACTOR set (under Xvfb), the pictures show the window at that
// scale; their names then carry it ("window-scale2.png").

#include "base/numbers.h"
#include "find/frmfind.h"
#include "help/help_window.h"
#include "inspect/inspection.h"
#include "map/site_map.h"
#include "shell/frmspectrum.h"
#include "shell/frmsplash.h"
#include "shell/secondary.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QScreen>
#include <QTest>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <cstdio>

namespace {

QString suffix()
{
    const QByteArray s = qgetenv("QT_SCALE_FACTOR");
    return s.isEmpty() || s == "1" ? QString() : QStringLiteral("-scale") + QString::fromLatin1(s);
}

bool save(QWidget* w, const QDir& out, const QString& name, QRect part = QRect())
{
    QApplication::processEvents();
    QTest::qWait(300);
    QPixmap shot = w->grab(part.isNull() ? QRect(QPoint(0, 0), w->size()) : part);
    const QString path = out.filePath(name + suffix() + QStringLiteral(".png"));
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

int firstBarOfColour(shell::FrmSpectrum& w, const char* colour)
{
    for (int i = 0; i <= w.chart().lastRecordIndex; ++i)
        if (w.lblSpectrum->at(i)->backColorText() == QLatin1String(colour))
            return i;
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane Zaru"));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    if (argc < 3) {
        std::fprintf(stderr, "usage: orvane-make-help-pictures REGISTER_FOLDER OUT_FOLDER [--help CHM]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString chm = argc >= 5 && QByteArray(argv[3]) == "--help" ? QString::fromLocal8Bit(argv[4]) : QString();
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    forms::setMsgBoxHandler([](const QString& text, int, const QString&) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(forms::vbOK);
    });
    forms::setModalHandler([](forms::Form& f) { f.show(); });
    bool ok0 = true;

    // The splash window as it reads a national register.
    {
        shell::FrmSplash splash;
        splash.show();
        splash.showProgress({QStringLiteral("licence"), 1305999, 1718712});
        ok0 = save(&splash, out, QStringLiteral("splash"));
    }

    shell::FrmSpectrum w;
    w.formLoad();
    w.move(20, 20);
    w.show();
    bool ok = ok0 && save(&w, out, QStringLiteral("window-startup"));

    // The VHF land-mobile band: planned channels, licences in every district.
    w.Option1[1]->setValue(true);
    w.txtFrequencyDisplay->setText(QStringLiteral("157.250000"));
    w.frequency().rerunSearch();
    ok = ok && save(&w, out, QStringLiteral("window"));
    ok = ok && save(&w, out, QStringLiteral("chart"), QRect(0, 20, 410, 370));
    // The knob with its two buttons beneath.
    const QRect knob(w.Picture1->mapTo(&w, QPoint(0, 0)), w.Picture1->size());
    ok = ok && save(&w, out, QStringLiteral("knob"), knob.adjusted(-6, -6, 6, 30));

    // A licence listed in every district, then its sites on the map.
    const int licence = firstBarOfColour(w, "#80FF80");
    if (licence >= 0) {
        w.inspection().lblSpectrum_MouseDown(licence, 2, 0, 0, 0);
        w.inspection().lblSpectrum_MouseUp(licence, 2, 0, 0, 0);
        ok = ok && save(&w, out, QStringLiteral("listing"));
        w.siteMap().cmdMapGrid_Click();
        emit w.picMap->mouseMove(0, 0, 2000, 2000);
        ok = ok && save(&w, out, QStringLiteral("map"));
        w.siteMap().cmdMapGrid_Click();
    }
    // A district listed over the window, shown on the map.
    w.inspection().lblDistrict_MouseDown(8, 1, 0, 0, 0);
    if (!w.siteMap().mapShown)
        w.siteMap().cmdMapGrid_Click();
    emit w.picMap->mouseMove(0, 0, 2000, 2000);
    ok = ok && save(&w, out, QStringLiteral("district"));

    // Find: licences of a licensee, and the one chosen shown in the main window.
    w.mnuFind_Click();
    if (find::FrmFind* f = w.findWindow()) {
        f->move(60, 80);
        f->resize(760, 380);
        f->txtFind->setText(QStringLiteral("kowhai"));
        f->runFind();
        f->grdFind->selectRow(0);
        ok = ok && save(f, out, QStringLiteral("find"));
        f->chooseCurrent();
        ok = ok && save(&w, out, QStringLiteral("find-chosen"));
        f->hide();
    }

    // A planned channel's details, held under the pointer.
    const int planned = firstBarOfColour(w, "#FFFF80");
    if (planned >= 0) {
        w.inspection().lblSpectrum_MouseDown(planned, 1, 0, 0, 0);
        ok = ok && save(&w, out, QStringLiteral("details"), QRect(0, 20, 410, 370));
        w.inspection().lblSpectrum_MouseUp(planned, 1, 0, 0, 0);
    }

    // The secondary windows.
    shell::FrmITU legend(&w);
    legend.adjustSize();
    legend.show();
    ok = ok && save(&legend, out, QStringLiteral("legend"));
    legend.hide();
    shell::FrmAbout about(&w);
    about.show();
    ok = ok && save(&about, out, QStringLiteral("about"));
    about.hide();

    if (!chm.isEmpty()) {
        help::HelpWindow help(chm);
        if (help.showDefaultTopic()) {
            help.move(40, 40);
            help.show();
            help.contents()->setCurrentItem(help.contents()->topLevelItem(0));
            ok = ok && save(&help, out, QStringLiteral("help-window"));
            // The search of every page, its results and a page found.
            help.sideTabs()->setCurrentIndex(help.sideTabs()->count() - 1);
            help.searchBox()->setText(QStringLiteral("sheet reference"));
            help.openSearchResult(0);
            ok = ok && save(&help, out, QStringLiteral("help-search"));
        }
    }
    return ok ? 0 : 1;
}
