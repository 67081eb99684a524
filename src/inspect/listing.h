#pragma once
// The listing: the licences behind a pressed bar or district in the grid,
// their sites on the map, and the grid printed.

#include "register/statements.h"

#include <functional>
#include <memory>
#include <optional>

namespace forms {
class CommandButton;
class FlexGrid;
class Form;
}  // namespace forms

namespace reg {
class Connection;
class RegisterError;
}  // namespace reg

namespace nzmap {
class SiteMap;
}

namespace inspect {

class Printer;

// The rows of a listing, read before anything on the window changes.
struct ListingRows {
    reg::Criteria criteria;
    std::vector<reg::SiteRow> sites;
    bool moreSites = false;
    reg::LicenceRows grid;
};

class Listing {
public:
    // The grid's row count is 16-bit: the heading and 32766 licences.
    static constexpr int kMaxGridRows = 32767;

    // The controls the listing drives.
    struct Controls {
        forms::Form* form = nullptr;
        forms::FlexGrid* MSHFlexGrid1 = nullptr;
        forms::CommandButton* cmdPrintGrid = nullptr;
    };
    Listing(const Controls& controls, const reg::Connection& c, nzmap::SiteMap& map);
    ~Listing();

    // The grid's rows, the heading among them.
    qint16 gridRowCount = 0;
    // Makes the printer a listing goes to (the default printer unless replaced).
    std::function<std::unique_ptr<Printer>()> printerFactory;

    // A listing: its rows read first (false, with the failure reported, when
    // the register cannot give them: the window is then left as it was),
    // then shown together, the sites for a listing restricted to a district
    // when it is above 0.
    bool readListing(const reg::Criteria& criteria, ListingRows& rows);
    void showListing(ListingRows&& rows, double selectedDistrictId);
    // A listing the register could not give, said in a message box.
    static void reportListingFailure(const reg::RegisterError& e);
    // A file the listing could not be written to, said in a message box.
    static void reportWriteFailure(const QString& path, const QString& reason);

    void printLicenceGrid();
    void cmdPrintGrid_Click();
    void mnuPrint_Click();
    // The listing taken away, to a file the user chooses: the grid as CSV
    // with each site's coordinates of today, the plotted sites as GeoJSON.
    void mnuExportGrid_Click();
    void mnuExportSites_Click();
    // The same to a file named here; false, with the reason, when it
    // cannot be written (the file is then as it was).
    bool exportGrid(const QString& path, QString& reason);
    bool exportSites(const QString& path, QString& reason);
    // The columns of the grid's file.
    static QStringList exportGridHeader();
    void MSHFlexGrid1_MouseMove(int button, int shift, double x, double y);

private:
    // Asks for a file and writes it with `write`, the pointer busy meanwhile;
    // a file not written is reported.
    void exportToChosenFile(const QString& title, const QString& suggested, const QString& filter,
                            bool (Listing::*write)(const QString&, QString&));

    // The licences in the grid; a listing of none leaves the grid as it was.
    void showLicenceGrid(reg::LicenceRows&& rows);
    // Offers a PDF file when there is no printer; true when one was written.
    bool printToPdfInstead();
    void printTo(Printer& printer, QString& reason, bool& sent);
    Controls c_;
    const reg::Connection& register_;
    nzmap::SiteMap& map_;
    // What the grid and the map show: each grid row's licence, and the
    // criteria of the sites plotted.
    std::vector<qint64> gridLicences_;
    std::optional<reg::Criteria> siteCriteria_;
};

}  // namespace inspect
