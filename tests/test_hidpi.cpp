// High-density screens: run at QT_SCALE_FACTOR 1, 1.5 and 2 (three tests of
// the one program). Lines are equally thick wherever they lie, the district
// column's edge is straight and its captions whole, and the help's pictures
// are shown at their natural size, pixel for pixel at scales 1 and 2.

#include "forms/controls.h"
#include "help/help_window.h"
#include "registers.h"
#include "shell/frmspectrum.h"
#include "support.h"
#include "window.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtTest>

namespace {

double scale() { return qApp->devicePixelRatio(); }

bool isScale(double s) { return std::fabs(scale() - s) < 1e-6; }

// The colour of a device pixel, without its alpha.
QRgb rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// Where `picture` stands in `shot` pixel for pixel, looked for around
// `near`, `reach` device pixels either way; (-1, -1) when it stands nowhere.
QPoint findPicture(const QImage& shot, const QImage& picture, QPoint near, int reach)
{
    const QImage p = picture.convertToFormat(QImage::Format_RGB32);
    auto matches = [&](int ox, int oy) {
        if (ox < 0 || oy < 0 || ox + p.width() > shot.width() || oy + p.height() > shot.height())
            return false;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                if (rgb(shot, ox + x, oy + y) != rgb(p, x, y))
                    return false;
        return true;
    };
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (rgb(shot, std::max(0, near.x() + dx), std::max(0, near.y() + dy)) == rgb(p, 0, 0) &&
                matches(near.x() + dx, near.y() + dy))
                return {near.x() + dx, near.y() + dy};
    return {-1, -1};
}

// The main window on a register of one record, shown.
std::unique_ptr<shell::FrmSpectrum> shownWindow(testing::WorkDir& wd)
{
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 1, 26, 2);
    }
    auto w = testing::openWindow();
    w->show();
    return w;
}

}  // namespace

class TestHidpi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void linesAreEquallyThick();
    void theDistrictColumnIsWholeAndStraight();
    void helpPicturesAtTheirNaturalSize();
    void theReliefMapAtTheScreensResolution();
};

void TestHidpi::initTestCase()
{
    // The scale is the environment's (the build runs this at 1, 1.5 and 2).
    qInfo() << "scale" << scale();
    QVERIFY(isScale(1) || isScale(1.5) || isScale(2));
}

void TestHidpi::linesAreEquallyThick()
{
    // Rows at the chart's spacing, in twips that fall between pixels.
    forms::PictureBox box(nullptr, "picRows");
    box.setBorderStyle(0);
    box.place(0, 0, 3000, 4500);
    box.setBackColor(QColor(0, 0x80, 0));
    std::vector<double> tops;
    for (int i = 0; i < 14; ++i) {
        tops.push_back(1380 + 195.5 * i);
        auto* l = new forms::Line(&box, "linRow", i);
        l->setPoints(0, tops.back(), 3000, tops.back());
        l->setBorderColor(QColor(0x80, 0x80, 0x80));
    }
    auto* centre = new forms::Line(&box, "linCentre");
    centre->setPoints(1493, 0, 1493, 1300);
    centre->setBorderColor(QColor(0xFF, 0x80, 0x80));
    box.show();
    const QImage shot = box.grab().toImage();
    QCOMPARE(shot.width(), qRound(box.width() * scale()));
    const int thick = std::max(1, int(std::lround(scale())));
    // Down one device column: each grey run is `thick` device pixels.
    const int x = shot.width() / 3;
    std::vector<int> runs;
    for (int y = 0, run = 0; y < shot.height(); ++y) {
        const bool grey = rgb(shot, x, y) == 0x808080;
        if (grey)
            ++run;
        if ((!grey || y == shot.height() - 1) && run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    QCOMPARE(int(runs.size()), 14);
    for (int r : runs)
        QCOMPARE(r, thick);
    // Across one device row: the centre line as thick.
    int across = 0;
    for (int cx = 0; cx < shot.width(); ++cx)
        across += rgb(shot, cx, 10) == 0xFF8080;
    QCOMPARE(across, thick);
}

void TestHidpi::theDistrictColumnIsWholeAndStraight()
{
    testing::WorkDir wd;
    auto w = shownWindow(wd);
    QVERIFY(w && QTest::qWaitForWindowExposed(w.get()));
    forms::PictureBox* column = w->picDistricts;
    const QImage shot = column->grab().toImage();
    const double s = shot.width() / double(column->width());
    QVERIFY(std::fabs(s - scale()) < 0.01);
    // The last device column inside the border, from the top of the first
    // row caption to the bottom of the last: one colour, the column's green.
    const int right = int(std::floor((column->clientOrigin().x() + column->clientPixelSize().width()) * s)) - 1;
    const int top = int(std::ceil((column->clientOrigin().y() + w->lblMR->paintedRect().top()) * s));
    const int bottom = int(std::floor((column->clientOrigin().y() + w->lblDistrict->at(16)->paintedRect().bottom()) * s)) - 1;
    QVERIFY(bottom > top + 100);
    QStringList odd;
    for (int y = top; y <= bottom; ++y)
        if (rgb(shot, right, y) != 0x008000)
            odd << QStringLiteral("y=%1 #%2").arg(y).arg(rgb(shot, right, y), 6, 16, QLatin1Char('0'));
    QVERIFY2(odd.isEmpty(), qPrintable(odd.join(", ")));
    // No caption reaches the column's edge: none is cut there ("Unspec" the widest).
    for (const forms::Label* l : {w->lblUnspec, w->lblBand, w->lblDistrict->at(14)}) {
        const QRectF r = l->paintedRect().translated(column->clientOrigin());
        for (int y = int(r.top() * s); y < int(r.bottom() * s); ++y)
            QVERIFY2(rgb(shot, right, y) == 0x008000,
                     qPrintable(QStringLiteral("%1 touches the edge at y=%2").arg(l->caption()).arg(y)));
    }
}

void TestHidpi::helpPicturesAtTheirNaturalSize()
{
    help::HelpWindow help(QStringLiteral(ORVANE_HELP_FILE));
    QVERIFY(help.isOpen());
    help.resize(1000, 700);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    help::HelpViewer* page = help.page();
    int pictures = 0;
    for (const char* name : {"index.html", "window.html", "chart.html", "listing.html", "find.html", "map.html",
                             "menus.html", "register.html"}) {
        page->setSource(QUrl(QStringLiteral("/") + QLatin1String(name)));
        QTextDocument* doc = page->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (!f.charFormat().isImageFormat())
                    continue;
                const QTextImageFormat image = f.charFormat().toImageFormat();
                const QImage shown = doc->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
                QVERIFY2(!shown.isNull(), qPrintable(image.name()));
                ++pictures;
                // The page gives each picture its own size; the picture
                // chosen has the screen's density (twice the pixels above 1).
                const double density = scale() > 1 ? 2.0 : 1.0;
                QCOMPARE(shown.devicePixelRatio(), density);
                QCOMPARE(QSizeF(image.width(), image.height()), QSizeF(shown.size()) / density);
                if (isScale(1.5))
                    continue;
                // Pixel for pixel on the screen.
                QTextCursor c(doc);
                c.setPosition(f.position());
                page->setTextCursor(c);
                page->ensureCursorVisible();
                QApplication::processEvents();
                const QRect at = page->cursorRect(c);
                const QImage shot = page->viewport()->grab().toImage();
                const QPoint near(qRound(at.left() * scale()), qRound((at.bottom() - image.height()) * scale()));
                const QPoint found = findPicture(shot, shown, near, int(30 * scale()));
                QVERIFY2(found.x() >= 0, qPrintable(QStringLiteral("%1 on %2 is not shown pixel for pixel")
                                                        .arg(image.name(), QLatin1String(name))));
            }
        }
    }
    QVERIFY(pictures >= 10);
}

void TestHidpi::theReliefMapAtTheScreensResolution()
{
    testing::WorkDir wd;
    auto w = shownWindow(wd);
    QVERIFY(w && QTest::qWaitForWindowExposed(w.get()));
    w->siteMap().cmdMapGrid_Click();
    QVERIFY(w->siteMap().mapShown);
    // Over the middle of the North Island, Lake Taupo and the mountains.
    w->siteMap().viewOriginX = 760;
    w->siteMap().viewOriginY = 480;
    w->siteMap().centreMapView();
    // The piece shown has a device pixel for each of the box's: cut from
    // the map of 500 m a pixel above scale 1, not stretched from the 1 km one.
    const QImage& shown = w->picMap->picture();
    const double density = scale() > 1 ? 2.0 : 1.0;
    QCOMPARE(shown.devicePixelRatio(), density);
    QCOMPARE(shown.size(), w->picMap->clientPixelSize() * density);
    // And it is the map's own: land where the view holds Lake Taupo's shore.
    QVERIFY(shown.pixelColor(shown.width() / 2, shown.height() / 2) != QColor(58, 104, 168));
}

QTEST_MAIN(TestHidpi)
#include "test_hidpi.moc"
