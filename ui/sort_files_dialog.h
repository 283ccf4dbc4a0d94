#pragma once
// "Sort Files": the user lays the selected entries of the source list into an order of their
// own, which becomes the catalogue's custom order for numbering.

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"

class QListWidget;
class QPushButton;

namespace tidemark::ui {

class CSortFilesDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CSortFilesDlg(QWidget* parent = nullptr);

    // The selected entries' names and record indexes, in selection order (parallel lists).
    // The available list starts as a copy of them and the ordered list empty.
    void SetItems(std::vector<std::string> names, std::vector<std::uint32_t> indexes);

    // After OK: the ordered entries' record indexes, top to bottom.
    const catalogue::Order& Result() const { return result_; }

    void accept() override;

  private:
    void OnAdd();
    void OnAddAll();
    void OnRemove();
    void OnRemoveAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnOrderedSelectionChanged();
    void MoveOrdered(int step);
    void FillAvailable();

    std::vector<std::string> names_;
    std::vector<std::uint32_t> indexes_;
    catalogue::Order result_;
    bool programmatic_ = false;  // the dialog itself is changing the lists

    QListWidget* availableList_ = nullptr;
    QListWidget* orderedList_ = nullptr;
    QPushButton* moveUpButton_ = nullptr;
    QPushButton* moveDownButton_ = nullptr;
};

}  // namespace tidemark::ui
