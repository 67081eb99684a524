#include "shell/secondary.h"

#include "forms/events.h"

#include "spectrum/chart_rules.h"

#include "shell/frmsplash.h"
#include "shell/pictures.h"


#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextDocument>

namespace shell {

using namespace forms;

// ---------------------------------------------------------------------------
// About box
// ---------------------------------------------------------------------------

FrmAbout::FrmAbout(QWidget* owner) : Form(QStringLiteral("frmAbout"), 6165, 3975, owner)
{
    setWindowFlags(Qt::Dialog);
    PictureBox* f = surface();
    f->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    picIcon = new PictureBox(f, "picIcon");
    picIcon->place(240, 225, 480, 480);
    picIcon->setBorderStyle(0);
    picIcon->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    picIcon->setPicture(iconPicture());
    auto label = [f](const char* name, double l, double t, double w, double h, const QString& caption = QString()) {
        auto* x = new Label(f, name);
        x->place(l, t, w, h);
        x->setBackStyle(0);
        x->setCaption(caption);
        return x;
    };
    lblTitle = label("lblTitle", 1035, 210, 4155, 480);
    lblTitle->setFont(standInFont("MS Sans Serif", 13.5));
    lblVersion = label("lblVersion", 1035, 780, 3885, 225);
    lblDescription = label("lblDescription", 1020, 1125, 2700, 450,
                           "By the Orvane Zaru developers.");
    Label2 = label("Label2", 120, 1800, 5895, 855, disclaimerText());
    Label2->setForeColor(QColor(0xFF, 0x00, 0x00));
    Line1 = std::make_unique<ControlArray<Line>>(f, "Line1");
    Line* white = Line1->create(0);
    white->setPoints(120, 2895, 6000, 2895);
    white->setBorderColor(QColor(0xFF, 0xFF, 0xFF));
    Line* grey = Line1->create(1);
    grey->setPoints(120, 2880, 6000, 2880);
    grey->setBorderColor(QColor(0x80, 0x80, 0x80));
    Label1 = label("Label1", 120, 3120, 4005, 615,
                   "Warning: the register is read-only here; licensing decisions need the register itself.");
    cmdOK = new CommandButton(f, "cmdOK");
    cmdOK->place(4740, 3000, 1260, 345);
    cmdOK->setCaption("OK");
    cmdOK->setDefault(true);
    cmdOK->setCancel(true);
    cmdSysInfo = new CommandButton(f, "cmdSysInfo");
    cmdSysInfo->place(4740, 3480, 1245, 345);
    cmdSysInfo->setCaption("&System Info...");
    connectGuarded(cmdOK, &Control::clicked, this, [this] { cmdOK_Click(); });
    connectGuarded(cmdSysInfo, &Control::clicked, this, [this] { cmdSysInfo_Click(); });
    setDefaultButton(cmdOK);
    setCancelButton(cmdOK);
    formLoad();
}

void FrmAbout::formLoad()
{
    setCaption(QStringLiteral("About Orvane"));
    lblVersion->setCaption(QStringLiteral("Version ") + QString::number(ORVANE_VERSION_MAJOR) + QStringLiteral(".") +
                           QString::number(ORVANE_VERSION_MINOR) + QStringLiteral(".") +
                           QString::number(ORVANE_VERSION_PATCH));
    lblTitle->setCaption(QStringLiteral("Orvane Zaru"));
}

void FrmAbout::cmdOK_Click() { close(); }

void FrmAbout::cmdSysInfo_Click()
{
    if (!startSysInfo())
        msgBox("System Information Is Unavailable At This Time");
}

QStringList systemInformationTools()
{
    return {QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"), QStringLiteral("xfce4-taskmanager"),
            QStringLiteral("hardinfo")};
}

bool startSysInfo()
{
    for (const QString& tool : systemInformationTools()) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return QProcess::startDetached(path, {});
    }
    return false;
}

// ---------------------------------------------------------------------------
// ITU legend
// ---------------------------------------------------------------------------

QString serviceDescriptionText()
{
    return QStringLiteral("SERVICE DESCRIPTIONS\r\n     \r\n    Primary\r\n     Capital Letters\r\n     eg FIXED\r\n\r\n"
                          "     Secondary\r\n     Mixed Case\r\n     eg Maritime mobile\r\n");
}

FrmITU::FrmITU(QWidget* owner) : Form(QStringLiteral("frmITU"), 4755, 3270, owner)
{
    setWindowFlags(Qt::Dialog);
    setCaption(QStringLiteral("ITU Allocation Colour Codes"));
    setClosesOnEscape(true);
    PictureBox* f = surface();
    f->setPicture(skyPicture());
    // The swatches and names of the allocation colours, one under the other.
    static const double tops[] = {120, 405, 705, 1005, 1305, 1605, 1905, 2205, 2490, 2790};
    int k = 0;
    for (const spectrum::ItuService& e : spectrum::ituServices()) {
        auto* s = new Shape(f, QStringLiteral("Shape1"), k);
        s->place(315, tops[k], 705, 240);
        s->setFillStyle(Shape::FillSolid);
        s->setFillColor(e.legend);
        s->setBackColor(e.legend);
        swatches.push_back(s);
        auto* l = new Label(f, QStringLiteral("Label1"), k);
        l->place(1275, tops[k], 1200, 240);
        l->setCaption(e.name);
        l->setBackColor(QColor(0xFF, 0xFF, 0xFF));  // the caption-text colour
        labels.push_back(l);
        ++k;
    }
    Text1 = new TextBox(f, "Text1", true);
    Text1->place(2535, 120, 2070, 2130);
    Text1->setBackColor(QColor(0xE0, 0xE0, 0xE0));
    Text1->setLocked(true);
    Text1->setText(serviceDescriptionText());
}

}  // namespace shell
