#pragma once
// Printing the licence listing: a small printer interface, the page layout
// of the listing (pure, over any source of cell texts), a recording printer
// for checks and the Qt printer that draws on the default printer or a PDF.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace inspect {

// One item of a printed line: its text and the column it starts at.
struct PrintItem {
    int column;
    QString text;
};

class Printer {
public:
    virtual ~Printer() = default;
    // Opens the job; false (with a reason) when there is no printer to print on.
    virtual bool begin(QString& reason) = 0;
    virtual void setLandscape(bool landscape) = 0;
    virtual bool landscape() const = 0;
    virtual void setFont(const QString& name, double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setItalic(bool italic) = 0;
    // The vertical print position, twips below the top of the printable area.
    virtual void setCurrentY(double twips) = 0;
    // Prints the items at their columns and ends the line. A column n starts n
    // average character widths from the left edge; an item whose column the
    // line has already passed starts at that column on the next line.
    virtual void printLine(const std::vector<PrintItem>& items) = 0;
    virtual void newPage() = 0;
    // Sends the job; false (with a reason) when it failed.
    virtual bool endDoc(QString& reason) = 0;
};

// The cells the listing is printed from (the grid's text matrix).
struct GridSource {
    int rowCount;  // heading row included
    std::function<QString(int row, int col)> cell;
};

// The texts of the listing's printed fields.
QString fieldText(const QString& text, int width);  // right-aligned in width, leftmost kept when longer
QString frequencyField(const QString& cell);         // "#####0.000000" in 13
QString licenceField(const QString& cell);           // "######" in 6
QString managementRightField(const QString& cell);   // "###" in 4
QString cutText(const QString& text, int keep, int limit);  // trimmed; over limit: first keep chars and "...."
QString pageLine(int page, int pages);

// Prints the listing on the printer: landscape, Times New Roman 9 pt, 50 rows a page.
void printListing(Printer& printer, const GridSource& grid);

// A printer that records what it is asked to print.
class RecordingPrinter : public Printer {
public:
    struct Line {
        int page;
        bool bold, italic;
        std::vector<PrintItem> items;
    };
    bool begin(QString& reason) override;
    void setLandscape(bool l) override { landscape_ = l; }
    bool landscape() const override { return landscape_; }
    void setFont(const QString& name, double points) override;
    void setBold(bool b) override { bold_ = b; }
    void setItalic(bool i) override { italic_ = i; }
    void setCurrentY(double twips) override { y_ = twips; }
    void printLine(const std::vector<PrintItem>& items) override;
    void newPage() override { ++page_; }
    bool endDoc(QString& reason) override;

    std::vector<Line> lines;
    int pages() const { return page_; }
    bool ended = false;
    bool landscapeWhilePrinting = false;
    QString fontName;
    double fontPoints = 0;
    std::vector<double> pageTops;
    bool failToBegin = false;

private:
    bool landscape_ = false, bold_ = false, italic_ = false;
    double y_ = 0;
    int page_ = 1;
};

// Draws on a Qt printer: the desktop's default printer, or a PDF file.
class QtPrinter : public Printer {
public:
    // An empty file name prints on the default printer.
    explicit QtPrinter(const QString& pdfFile = QString());
    ~QtPrinter() override;
    bool begin(QString& reason) override;
    void setLandscape(bool l) override;
    bool landscape() const override;
    void setFont(const QString& name, double points) override;
    void setBold(bool b) override;
    void setItalic(bool i) override;
    void setCurrentY(double twips) override;
    void printLine(const std::vector<PrintItem>& items) override;
    void newPage() override;
    bool endDoc(QString& reason) override;

private:
    void applyFont();
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QString fontName_ = QStringLiteral("Times New Roman");
    double points_ = 9;
    bool bold_ = false, italic_ = false;
    double y_ = 0;  // device pixels
};

}  // namespace inspect
