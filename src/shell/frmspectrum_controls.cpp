// The main window's composition: every control in its place, with its
// design-time look.

#include "shell/frmspectrum.h"

#include "shell/pictures.h"

#include <QMenu>
#include <QMenuBar>

namespace shell {

using namespace forms;

namespace {

const QColor kGreen(0x00, 0x80, 0x00);
const QColor kLightGreen(0x80, 0xFF, 0x80);
const QColor kDarkGreen(0x00, 0x40, 0x00);
const QColor kBlack(0, 0, 0);
const QColor kWindowText(0, 0, 0);
const QColor kWindowBackground(0xFF, 0xFF, 0xFF);
const QColor kScrollBarColour(0xD4, 0xD0, 0xC8);
const QColor kButtonFace(0xD4, 0xD0, 0xC8);
const QColor kFormGrey(0xC0, 0xC0, 0xC0);
const QColor kLabelGrey(0xE0, 0xE0, 0xE0);

struct LabelLook {
    QString caption = {};
    QColor back = kFormGrey;
    QColor fore = kBlack;
    int align = Label::AlignLeft;
    bool border = false;
    bool visible = true;
    QString tip = {};
};

Label* setUp(Label* l, double left, double top, double width, double height, const LabelLook& look)
{
    l->place(left, top, width, height);
    l->setCaption(look.caption);
    l->setBackColor(look.back);
    l->setForeColor(look.fore);
    l->setAlignment(look.align);
    l->setBorderStyle(look.border ? 1 : 0);
    l->setVisible(look.visible);
    l->setToolTipText(look.tip);
    return l;
}

Label* label(PictureBox* host, const char* name, double left, double top, double width, double height,
             const LabelLook& look)
{
    return setUp(new Label(host, QString::fromLatin1(name)), left, top, width, height, look);
}

Line* line(PictureBox* host, const char* name, double x1, double y1, double x2, double y2,
           QColor colour = QColor(0, 0, 0))
{
    auto* l = new Line(host, QString::fromLatin1(name));
    l->setPoints(x1, y1, x2, y2);
    l->setBorderColor(colour);
    return l;
}

TextBox* markBox(QWidget* host, const char* name, double left, double top, double width, double height,
                 const QString& text, double points, bool visible)
{
    auto* t = new TextBox(host, QString::fromLatin1(name));
    t->place(left, top, width, height);
    t->setText(text);
    t->setBackColor(kLabelGrey);
    t->setFont(standInFont("MS Sans Serif", points, true));
    t->setAlignment(TextBox::AlignCenter);
    t->setEnabledFlag(false);
    t->setShownFlag(visible);
    return t;
}

TextBox* readoutBox(QWidget* host, const char* name, double left, double top, double width, double height,
                    int align)
{
    auto* t = new TextBox(host, QString::fromLatin1(name));
    t->place(left, top, width, height);
    t->setBackColor(kBlack);
    t->setForeColor(QColor(0x00, 0xFF, 0x00));
    t->setAlignment(align);
    t->setLocked(true);
    t->setShownFlag(false);
    return t;
}

CommandButton* button(QWidget* host, const char* name, double left, double top, double width, double height,
                      const QString& caption, bool visible = true)
{
    auto* b = new CommandButton(host, QString::fromLatin1(name));
    b->place(left, top, width, height);
    b->setCaption(caption);
    b->setShownFlag(visible);
    return b;
}

ScrollBar* scrollBar(QWidget* host, const char* name, Qt::Orientation o, double left, double top, double width,
                     double height, int min, int max, int smallChange, int largeChange, int value, bool visible)
{
    auto* s = new ScrollBar(host, QString::fromLatin1(name), o);
    s->place(left, top, width, height);
    s->setMin(min);
    s->setMax(max);
    s->setSmallChange(smallChange);
    s->setLargeChange(largeChange);
    s->setValue(value);
    s->setShownFlag(visible);
    return s;
}

}  // namespace

void FrmSpectrum::buildControls()
{
    PictureBox* f = surface();
    f->setBackColor(kFormGrey);
    buildChart(f);
    buildDistrictColumn(f);
    buildFrequencyControls(f);
    buildMapAndGridArea(f);
    buildTitleAndLogo(f);
    buildTimers();
    buildStatusBar(f);
}

// Spectrum chart.
void FrmSpectrum::buildChart(PictureBox* f)
{
    picSpectrum = new PictureBox(f, "picSpectrum");
    picSpectrum->place(120, 165, 4995, 4950);
    picSpectrum->setBackColor(kGreen);
    Shape2 = new Shape(picSpectrum, "Shape2");
    Shape2->place(-15, -15, 4965, 600);
    Shape2->setFillStyle(Shape::FillSolid);
    Shape2->setFillColor(kBlack);
    Shape2->setBackColor(kBlack);
    Shape2->setBorderColor(kBlack);
    Line17 = line(picSpectrum, "Line17", -30, 592, 4935, 592);
    Line1 = line(picSpectrum, "Line1", 2475, -30, 2475, 4890, QColor(0xFF, 0x80, 0x80));
    Line3 = line(picSpectrum, "Line3", 4935, -45, 4935, 4530, QColor(0xC0, 0xFF, 0xFF));
    const QColor grey(0x80, 0x80, 0x80);
    Line16 = line(picSpectrum, "Line16", -30, 1283, 4935, 1283, grey);
    Line15 = line(picSpectrum, "Line15", -30, 1480, 4935, 1480, grey);
    Line14 = line(picSpectrum, "Line14", -45, 1677, 4920, 1677, grey);
    Line13 = line(picSpectrum, "Line13", -45, 1875, 4920, 1875, grey);
    Line12 = line(picSpectrum, "Line12", -30, 2072, 4935, 2072, grey);
    Line11 = line(picSpectrum, "Line11", -15, 2269, 4950, 2269, grey);
    Line10 = line(picSpectrum, "Line10", -45, 2467, 4920, 2467, grey);
    Line9 = line(picSpectrum, "Line9", -15, 2664, 4950, 2664, grey);
    Line8 = line(picSpectrum, "Line8", -15, 2861, 4950, 2861, grey);
    Line7 = line(picSpectrum, "Line7", -30, 3059, 4935, 3059, grey);
    Line6 = line(picSpectrum, "Line6", -30, 3256, 4935, 3256, grey);
    Line5 = line(picSpectrum, "Line5", 0, 3453, 4965, 3453, grey);
    Line4 = line(picSpectrum, "Line4", 0, 3651, 4965, 3651, grey);
    Line2 = line(picSpectrum, "Line2", -30, 3848, 4935, 3848, grey);
    Line20 = line(picSpectrum, "Line20", 0, 4045, 4965, 4045, grey);
    Line21 = line(picSpectrum, "Line21", -30, 4243, 4935, 4243, grey);

    lblSpectrum = std::make_unique<ControlArray<Label>>(picSpectrum, "lblSpectrum");
    setUp(lblSpectrum->create(0), 750, 1860, 885, 197,
          {"Label1", kFormGrey, kBlack, Label::AlignLeft, true, false, {}});
    setUp(lblSpectrum->create(1), 1335, 2190, 885, 197,
          {"Label1", kLightGreen, kBlack, Label::AlignRight, true, false, {}});
    lblUnsearchedLow = label(picSpectrum, "lblUnsearchedLow", -2468, 1, 2468, 4243, {{}, kDarkGreen, kWindowText});
    lblUnsearchedHigh = label(picSpectrum, "lblUnsearchedHigh", 4935, 1, 2468, 4243, {{}, kDarkGreen, kWindowText});
    lblSelect = label(picSpectrum, "lblSelect", -30, 870, 1275, 3390,
                      {{}, kButtonFace, kWindowText, Label::AlignLeft, false, false});
    txtSpectrumInfo = new TextBox(picSpectrum, "txtSpectrumInfo", true);
    txtSpectrumInfo->place(870, 1530, 3315, 1305);
    txtSpectrumInfo->setShownFlag(false);
    txtSpectrumInfo->setBorderless(true);
    txtSpectrumInfo->setLocked(true);
    lblScroll = label(picSpectrum, "lblScroll", 315, 4302, 1290, 255, {{}, QColor(0x00, 0x80, 0x00), kLightGreen});
    lblZoom = label(picSpectrum, "lblZoom", 3751, 4302, 1290, 255, {{}, QColor(0x00, 0x80, 0x00), kLightGreen});
}

// District column.
void FrmSpectrum::buildDistrictColumn(PictureBox* f)
{
    picDistricts = new PictureBox(f, "picDistricts");
    picDistricts->place(5085, 165, 600, 4950);
    picDistricts->setBackColor(kGreen);
    cmdITU = button(picDistricts, "cmdITU", 38, 60, 465, 450, "ITU ");
    cmdITU->setToolTipText("ITU Allocation Colour Codes");
    const LabelLook row{{}, kGreen, kLightGreen, Label::AlignCenter};
    auto rowLabel = [&](const char* name, double left, double top, const QString& caption, const QString& tip) {
        LabelLook look = row;
        look.caption = caption;
        look.tip = tip;
        return label(picDistricts, name, left, top, 555, 210, look);
    };
    lblMR = rowLabel("lblMR", -15, 585, "M/R", "Management Right");
    lblPlan = rowLabel("lblPlan", -15, 795, "Plan", "Planned Spectrum");
    lblBand = rowLabel("lblBand", -15, 1110, "Band", "Spectrum Band");
    lblUnspec = rowLabel("lblUnspec", 0, 1290, "Unspec", "District not specified");
    struct D {
        double left, top;
        const char* caption;
        const char* tip;
        bool visible;
    };
    static const D districts[17] = {
        {-30, 1485, "WR", "Whangarei", true},      {-15, 1695, "AK", "Auckland", true},
        {-30, 1890, "HN", "Hamilton", true},       {-15, 2070, "TG", "Tauranga", true},
        {-15, 2265, "RO", "Rotorua", true},        {-15, 2265, "NU", "New Plymouth", false},
        {-15, 2460, "NA", "Napier", true},         {-15, 2670, "PM", "Palmerston North", true},
        {-15, 2865, "WN", "Wellington", true},     {0, 3060, "NN", "Nelson", true},
        {-15, 3255, "CH", "Christchurch", true},   {0, 3435, "DN", "Dunedin", true},
        {-15, 3645, "IN", "Invercargill", true},   {-15, 3660, "HO", "Head Office", false},
        {-15, 3855, "CHM", "Chatham Is", true},    {-15, 3855, "CHM", "Overseas", false},
        {-15, 4050, "NZ", "New Zealand", true},
    };
    lblDistrict = std::make_unique<ControlArray<Label>>(picDistricts, "lblDistrict");
    for (int i = 0; i < 17; ++i) {
        LabelLook look = row;
        look.caption = districts[i].caption;
        look.tip = districts[i].tip;
        look.visible = districts[i].visible;
        setUp(lblDistrict->create(i), districts[i].left, districts[i].top, 555, 210, look);
    }
}

// Frequency controls.
void FrmSpectrum::buildFrequencyControls(PictureBox* f)
{
    txtFrequencyDisplay = new TextBox(f, "txtFrequencyDisplay");
    txtFrequencyDisplay->place(1740, 4450, 1830, 375);
    txtFrequencyDisplay->setBackColor(kGreen);
    txtFrequencyDisplay->setForeColor(QColor(0xFF, 0xFF, 0x80));
    txtFrequencyDisplay->setFont(standInFont("Arial Narrow", 15.75, true));
    txtFrequencyDisplay->setAlignment(TextBox::AlignRight);
    hsbFrequency = scrollBar(f, "hsbFrequency", Qt::Horizontal, 120, 4815, 4995, 270, -2500, 2500, 10, 100, 0, true);
    txtMinusLabel2 = markBox(f, "txtMinusLabel2", 105, 4815, 255, 270, "-", 8.25, true);
    txtPlusLabel2 = markBox(f, "txtPlusLabel2", 4860, 4815, 255, 255, "+", 8.25, true);
    lblLowFrequency = label(f, "lblLowFrequency", 135, 5100, 1200, 255,
                            {{}, kBlack, kLightGreen, Label::AlignLeft, true});
    lblHighFrequency = label(f, "lblHighFrequency", 3930, 5115, 1200, 255,
                             {{}, kBlack, kLightGreen, Label::AlignRight, true});

    fraWidth = new Frame(f, "fraWidth");
    fraWidth->place(120, 5490, 1680, 1440);
    fraWidth->setCaption("Display Width (Hz)");
    fraWidth->setForeColor(QColor(0xFF, 0x00, 0x00));
    fraWidth->setBackColor(kFormGrey);
    fraTuning = new Frame(f, "fraTuning");
    fraTuning->place(3465, 5490, 1680, 1440);
    fraTuning->setCaption("Tuning Step (Hz)");
    fraTuning->setForeColor(QColor(0xFF, 0x00, 0x00));
    fraTuning->setBackColor(kFormGrey);
    struct O {
        int index;
        bool width;  // in fraWidth, else fraTuning
        double left, top, w, h;
        const char* caption;
    };
    static const O options[16] = {
        {0, true, 60, 240, 765, 210, "100 k"},    {1, true, 840, 240, 780, 195, "500 k"},
        {2, true, 60, 525, 675, 195, "1 M"},      {3, true, 840, 525, 630, 195, "5 M"},
        {4, true, 80, 810, 720, 195, "10 M"},     {11, true, 840, 810, 795, 195, "100 M"},
        {12, true, 80, 1110, 780, 195, "500 M"},  {13, true, 840, 1110, 720, 195, "1 G"},
        {9, false, 45, 240, 675, 210, "10 k"},    {14, false, 825, 240, 825, 210, "12.5k"},
        {15, false, 45, 525, 675, 210, "25 k"},   {8, false, 825, 525, 795, 195, "100 k"},
        {7, false, 45, 810, 780, 195, "500 k"},   {6, false, 825, 810, 750, 195, "10 M"},
        {5, false, 45, 1110, 810, 195, "100 M"},  {10, false, 825, 1110, 810, 195, "500 M"},
    };
    Option1.assign(16, nullptr);
    for (const O& o : options) {
        auto* b = new OptionButton(o.width ? fraWidth : fraTuning, "Option1", o.index);
        b->place(o.left, o.top, o.w, o.h);
        b->setCaption(o.caption);
        Option1[size_t(o.index)] = b;
    }
    Option1[1]->setValue(true);
    Option1[15]->setValue(true);

    Picture1 = new PictureBox(f, "Picture1");
    Picture1->place(1875, 5160, 1500, 1500);
    Picture1->setBackColor(kScrollBarColour);
    Picture1->setPicture(knobPicture());
    shpSpinner = new Shape(Picture1, "shpSpinner");
    shpSpinner->place(1125, 630, 270, 255);
    shpSpinner->setShapeKind(Shape::Circle);
    shpSpinner->setBackColor(kLabelGrey);
    shpSpinner->setFillColor(kFormGrey);
    shpSpinner->setFillStyle(Shape::FillSolid);
    shpSpinner->setBorderColor(QColor(0x80, 0x80, 0x80));
    cmdMinus = button(f, "cmdMinus", 1920, 6705, 705, 240, "-");
    cmdMinus->setFont(standInFont("MS Sans Serif", 9.75, true));
    cmdPlus = button(f, "cmdPlus", 2625, 6705, 720, 240, "+");
    cmdPlus->setFont(standInFont("MS Sans Serif", 9.75, true));
    cmdZoomIn = button(f, "cmdZoomIn", 5535, 5550, 1035, 255, "Zoom In");
    cmdZoomOut = button(f, "cmdZoomOut", 5535, 5925, 1035, 255, "Zoom Out");
    lblSpectrumZoom = label(f, "lblSpectrumZoom", 5475, 6300, 1215, 285, {"Spectrum Zoom"});
}

// Map and grid area.
void FrmSpectrum::buildMapAndGridArea(PictureBox* f)
{
    imgMapContainer = new Image(f, "imgMapContainer");
    imgMapContainer->place(5790, 135, 5940, 4635);
    imgMapContainer->setStretch(true);
    imgMapContainer->setPicture(skyPicture());

    picMap = new PictureBox(f, "picMap");
    picMap->place(6120, 390, 4000, 4000);
    picMap->setShownFlag(false);
    lblMapDistrict = label(picMap, "lblMapDistrict", 1500, 975, 45, 195,
                           {{}, kWindowBackground, kWindowText, Label::AlignLeft, false, false});
    lblMapDistrict->setAutoSize(true);
    lblLocationName = label(picMap, "lblLocationName", 915, 1425, 75, 225,
                            {{}, kWindowBackground, kWindowText, Label::AlignLeft, true, false});
    lblLocationName->setAutoSize(true);
    lblLocationRef = std::make_unique<ControlArray<Label>>(picMap, "lblLocationRef");
    setUp(lblLocationRef->create(0), 540, 375, 60, 60, {{}, kBlack, kWindowText, Label::AlignLeft, false, false});
    setUp(lblLocationRef->create(1), 525, 210, 60, 60, {{}, kBlack, kWindowText, Label::AlignLeft, false, false});

    hsbEasting = scrollBar(f, "hsbEasting", Qt::Horizontal, 6120, 4395, 4020, 100, 0, 900, 20, 50, 0, false);
    vsbNorthing = scrollBar(f, "vsbNorthing", Qt::Vertical, 10140, 405, 100, 3960, 0, 1350, 20, 50, 1350, false);
    lblEasting = label(f, "lblEasting", 10500, 330, 885, 465,
                       {"NZMG Easting", kFormGrey, kBlack, Label::AlignCenter, false, false});
    txtEasting = readoutBox(f, "txtEasting", 10395, 840, 1125, 330, TextBox::AlignCenter);
    lblNorthing = label(f, "lblNorthing", 10380, 1225, 1140, 240,
                        {"Northing", kFormGrey, kBlack, Label::AlignCenter, false, false});
    txtNorthing = readoutBox(f, "txtNorthing", 10395, 1500, 1125, 330, TextBox::AlignCenter);
    txtPlusLabel1 = markBox(f, "txtPlusLabel1", 10770, 1995, 255, 315, "+", 9.75, false);
    vsbMapZoom = scrollBar(f, "vsbMapZoom", Qt::Vertical, 10770, 2070, 255, 1365, 0, 300, 20, 50, 0, false);
    txtMinusLabel1 = markBox(f, "txtMinusLabel1", 10770, 3195, 255, 315, "-", 9.75, false);
    lblMapZoom = label(f, "lblMapZoom", 10515, 3600, 855, 315,
                       {"Map Zoom", kFormGrey, kBlack, Label::AlignCenter, false, false});
    txtMap = readoutBox(f, "txtMap", 10380, 4080, 435, 330, TextBox::AlignLeft);
    txtReference = readoutBox(f, "txtReference", 10890, 4080, 660, 330, TextBox::AlignLeft);
    for (TextBox* t : {txtEasting, txtNorthing, txtMap, txtReference})
        t->setText(" ");
    lblOverlap = label(f, "lblOverlap", 7680, 4515, 2025, 240,
                       {{}, kFormGrey, QColor(0xFF, 0x00, 0x00), Label::AlignCenter, false, false});
    lblOverlap->setFont(standInFont("MS Sans Serif", 9.75, true));
    Shape1 = new Shape(f, "Shape1");
    Shape1->place(5805, 4800, 5940, 300);
    Shape1->setBackColor(QColor(0x80, 0x80, 0x80));
    Shape1->setBackStyle(1);
    Shape1->setBorderColor(QColor(0x80, 0x80, 0x80));
    cmdMapGrid = button(f, "cmdMapGrid", 6195, 4830, 1035, 255, "Map On/Off", false);
    cmdSiteStepNorth = button(f, "cmdSiteStepNorth", 7665, 4830, 1035, 255, "N          Site", false);
    cmdSiteStepSouth = button(f, "cmdSiteStepSouth", 8715, 4830, 1035, 255, "Step          S", false);
    cmdPrintGrid = button(f, "cmdPrintGrid", 10245, 4830, 1035, 255, "Print Grid", false);
    cmdPrintGrid->setToolTipText("Press to print data grid");

    MSHFlexGrid1 = new FlexGrid(f, "MSHFlexGrid1");
    MSHFlexGrid1->place(5820, 165, 5880, 4380);
    MSHFlexGrid1->setShownFlag(false);
    PictureClip1 = new QObject(this);
    PictureClip1->setObjectName("PictureClip1");
    reliefMap_ = reliefMapPicture();
    // Its size in the map's own pixels (of 1 km), whichever copy is loaded.
    PictureClip1->setProperty("Width", qRound(reliefMap_.deviceIndependentSize().width()));
    PictureClip1->setProperty("Height", qRound(reliefMap_.deviceIndependentSize().height()));
}

// Title and logo.
void FrmSpectrum::buildTitleAndLogo(PictureBox* f)
{
    lblDAV = label(f, "lblDAV", 7110, 5190, 3150, 360, {"DAV Spectrum Analyser", kFormGrey, QColor(0x00, 0x00, 0xFF)});
    lblDAV->setFont(standInFont("MS Sans Serif", 13.5));
    picKEL = new PictureBox(f, "picKEL");
    picKEL->place(8820, 5730, 2850, 1050);
    picKEL->setBackColor(kScrollBarColour);
    picKEL->setPicture(logoPicture());
}

// Timers.
void FrmSpectrum::buildTimers()
{
    tmrSearch = new Timer(this, "tmrSearch", 100, false);
    tmrFlash = new Timer(this, "tmrFlash", 200, true);
    tmrITU = new Timer(this, "tmrITU", 1000, false);
}

// The status bar, along the bottom of the client area.
void FrmSpectrum::buildStatusBar(PictureBox* f)
{
    StatusBar1 = new StatusBar(f, "StatusBar1", {3075, 3000, 3000});
    const int h = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, f->height() - h, f->width(), h);
}

void FrmSpectrum::buildMenus()
{
    mnuFile = menuBar()->addMenu("File");
    mnuFile->setObjectName("mnuFile");
    mnuFind = new MenuItem(this, "mnuFind", "Find...");
    mnuFind->setShortcut(QKeySequence::Find);
    mnuFind->setToolTip("Find licences by licensee, licence number or location");
    mnuPrint = new MenuItem(this, "mnuPrint", "Print Grid");
    mnuExportGrid = new MenuItem(this, "mnuExportGrid", "Export Grid...");
    mnuExportGrid->setToolTip("Write the listing to a CSV file, with each site's coordinates");
    mnuExportSites = new MenuItem(this, "mnuExportSites", "Export Sites...");
    mnuExportSites->setToolTip("Write the plotted sites to a GeoJSON file");
    mnuOverlap = new MenuItem(this, "mnuOverlap", "Overlap On", true, true);
    mnuFlash = new MenuItem(this, "mnuFlash", "Label Flash On", true, true);
    mnuMapDistrict = new MenuItem(this, "mnuMapDistrict", "Map District On", true, true);
    mnuNZMS260 = new MenuItem(this, "mnuNZMS260", "NZMS260 On", true, true);
    mnuMapLabels = new MenuItem(this, "mnuMapLabels", "Map Labels Opaque", true, true);
    mnuExit = new MenuItem(this, "mnuExit", "Exit");
    auto separator = [&](const char* name) { mnuFile->addSeparator()->setObjectName(name); };
    mnuFile->addAction(mnuFind);
    separator("SepFind");
    mnuFile->addAction(mnuPrint);
    mnuFile->addAction(mnuExportGrid);
    mnuFile->addAction(mnuExportSites);
    separator("Sep1");
    mnuFile->addAction(mnuOverlap);
    separator("Sep2");
    mnuFile->addAction(mnuFlash);
    mnuFile->addAction(mnuMapDistrict);
    mnuFile->addAction(mnuNZMS260);
    mnuFile->addAction(mnuMapLabels);
    separator("Sep3");
    mnuFile->addAction(mnuExit);
    mnuHelpTop = menuBar()->addMenu("Help");
    mnuHelpTop->setObjectName("mnuHelpTop");
    mnuHelp = new MenuItem(this, "mnuHelp", "Help");
    mnuAbout = new MenuItem(this, "mnuAbout", "About");
    mnuHelpTop->addAction(mnuHelp);
    mnuHelpTop->addAction(mnuAbout);
}

}  // namespace shell
