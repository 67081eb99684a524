#pragma once
// The Find window: licences found by licensee, licence number or location
// as the user types, in a table sortable by any column; choosing one (Enter
// or a double click) hands it to whoever listens (the main window shows it).
// The window is not modal: the main window stays in use beside it.

#include "register/find_index.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace reg {
class Connection;
}

namespace find {

class FindModel;

class FrmFind : public QWidget {
    Q_OBJECT

public:
    // How long typing rests before the find runs.
    static constexpr int kDebounceMs = 180;

    FrmFind(const reg::Connection& c, QWidget* parent = nullptr);
    ~FrmFind() override;

    QLineEdit* txtFind = nullptr;
    QComboBox* cboFindIn = nullptr;
    QTableView* grdFind = nullptr;
    QLabel* lblFindCount = nullptr;
    FindModel* model() const { return model_; }

    // Runs the find for the text and field now (typing runs it once it rests).
    void runFind();
    // The field chosen in cboFindIn.
    reg::FindField field() const;
    // Chooses the row of the table (the current one, else the first).
    void chooseCurrent();

signals:
    void chosen(const reg::FindRow& row);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    const reg::Connection& register_;
    std::unique_ptr<reg::FindIndex> index_;
    FindModel* model_ = nullptr;
    QTimer* debounce_ = nullptr;
};

// The count's caption: "123 found", or "First 1000 of 4321 shown".
QString countCaption(qint64 shown, qint64 total);

}  // namespace find
