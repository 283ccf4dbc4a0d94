#include "ui/sort_files_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/dialog_hooks.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

constexpr int kIndexRole = Qt::UserRole;

QListWidget* MakeList(QWidget* parent, const QString& name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(false);
    return list;
}

QListWidgetItem* MakeItem(const QString& text, QVariant index) {
    auto* item = new QListWidgetItem(text);
    item->setData(kIndexRole, std::move(index));
    return item;
}

std::vector<int> SelectedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The selected entries of from, top to bottom, go to the end of to; then they leave from,
// highest row first so the lower rows keep their places.
void MoveSelected(QListWidget* from, QListWidget* to) {
    const std::vector<int> rows = SelectedRows(from);
    for (int row : rows) {
        const QListWidgetItem* item = from->item(row);
        to->addItem(MakeItem(item->text(), item->data(kIndexRole)));
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        delete from->takeItem(*it);
    }
}

}  // namespace

CSortFilesDlg::CSortFilesDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sortFilesDialog"));
    setWindowTitle(tr("Sort Files"));
    setModal(true);
    AddHelpKey(this, QStringLiteral("custom-order.html"));

    availableList_ = MakeList(this, QStringLiteral("availableList"));
    availableList_->setToolTip(tr("The selected entries not yet in the order"));
    orderedList_ = MakeList(this, QStringLiteral("orderedList"));
    orderedList_->setToolTip(tr("The entries in the order they will be numbered"));

    auto makeButton = [this](const QString& text, const QString& name, const QString& tip,
                             void (CSortFilesDlg::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    QPushButton* add =
        makeButton(tr("&Add >"), QStringLiteral("addButton"),
                   tr("Append the selected entries to the order"), &CSortFilesDlg::OnAdd);
    QPushButton* addAll =
        makeButton(tr("Add a&ll >>"), QStringLiteral("addAllButton"),
                   tr("Append every remaining entry to the order"), &CSortFilesDlg::OnAddAll);
    QPushButton* remove =
        makeButton(tr("< &Remove"), QStringLiteral("removeButton"),
                   tr("Take the selected entries out of the order"), &CSortFilesDlg::OnRemove);
    QPushButton* removeAll =
        makeButton(tr("<< Remo&ve all"), QStringLiteral("removeAllButton"),
                   tr("Start again from the selected files"), &CSortFilesDlg::OnRemoveAll);
    moveUpButton_ =
        makeButton(tr("Move &up"), QStringLiteral("moveUpButton"),
                   tr("Move the selected entry one place up"), &CSortFilesDlg::OnMoveUp);
    moveDownButton_ =
        makeButton(tr("Move &down"), QStringLiteral("moveDownButton"),
                   tr("Move the selected entry one place down"), &CSortFilesDlg::OnMoveDown);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CSortFilesDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSortFilesDlg::reject);

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    for (QPushButton* button : {add, addAll, remove, removeAll}) {
        middle->addWidget(button);
    }
    middle->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addStretch(1);
    right->addWidget(moveUpButton_);
    right->addWidget(moveDownButton_);
    right->addStretch(1);
    right->addWidget(ok);
    right->addWidget(cancel);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(availableList_, 1);
    layout->addLayout(middle);
    layout->addWidget(orderedList_, 1);
    layout->addLayout(right);

    connect(orderedList_, &QListWidget::itemSelectionChanged, this,
            &CSortFilesDlg::OnOrderedSelectionChanged);

    setTabOrder(availableList_, add);
    setTabOrder(add, addAll);
    setTabOrder(addAll, remove);
    setTabOrder(remove, removeAll);
    setTabOrder(removeAll, orderedList_);
    setTabOrder(orderedList_, moveUpButton_);
    setTabOrder(moveUpButton_, moveDownButton_);
    setTabOrder(moveDownButton_, ok);
    setTabOrder(ok, cancel);

    moveUpButton_->setEnabled(false);
    moveDownButton_->setEnabled(false);
    resize(600, 420);
}

void CSortFilesDlg::SetItems(std::vector<std::string> names, std::vector<std::uint32_t> indexes) {
    const QScopedValueRollback quiet(programmatic_, true);
    names_ = std::move(names);
    indexes_ = std::move(indexes);
    orderedList_->clear();
    FillAvailable();
    moveUpButton_->setEnabled(false);
    moveDownButton_->setEnabled(false);
}

void CSortFilesDlg::FillAvailable() {
    availableList_->clear();
    const std::size_t count = std::min(names_.size(), indexes_.size());
    for (std::size_t i = 0; i < count; ++i) {
        availableList_->addItem(
            MakeItem(ToQString(names_[i]), QVariant::fromValue<quint32>(indexes_[i])));
    }
}

void CSortFilesDlg::OnAdd() {
    const QScopedValueRollback quiet(programmatic_, true);
    MoveSelected(availableList_, orderedList_);
}

void CSortFilesDlg::OnAddAll() {
    const QScopedValueRollback quiet(programmatic_, true);
    availableList_->selectAll();
    MoveSelected(availableList_, orderedList_);
}

void CSortFilesDlg::OnRemove() {
    const QScopedValueRollback quiet(programmatic_, true);
    MoveSelected(orderedList_, availableList_);
}

// Back to the starting state, buttons included.
void CSortFilesDlg::OnRemoveAll() {
    const QScopedValueRollback quiet(programmatic_, true);
    orderedList_->clear();
    FillAvailable();
    moveUpButton_->setEnabled(false);
    moveDownButton_->setEnabled(false);
}

void CSortFilesDlg::OnMoveUp() {
    MoveOrdered(-1);
}

void CSortFilesDlg::OnMoveDown() {
    MoveOrdered(1);
}

// The lowest selected entry moves one place; at either end, or with nothing selected, nothing
// happens.
void CSortFilesDlg::MoveOrdered(int step) {
    const std::vector<int> rows = SelectedRows(orderedList_);
    if (rows.empty()) {
        return;
    }
    const int from = rows.front();
    const int to = from + step;
    if (to < 0 || to >= orderedList_->count()) {
        return;
    }
    const QScopedValueRollback quiet(programmatic_, true);
    QListWidgetItem* item = orderedList_->takeItem(from);
    orderedList_->insertItem(to, item);
    orderedList_->clearSelection();
    orderedList_->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
}

// Only the user's own selecting counts: the buttons keep their state while the dialog itself
// moves, removes or reselects entries.
void CSortFilesDlg::OnOrderedSelectionChanged() {
    if (programmatic_) {
        return;
    }
    const bool single = orderedList_->selectionModel()->selectedRows().size() < 2;
    moveUpButton_->setEnabled(single);
    moveDownButton_->setEnabled(single);
}

void CSortFilesDlg::accept() {
    result_.clear();
    for (int row = 0; row < orderedList_->count(); ++row) {
        result_.push_back(orderedList_->item(row)->data(kIndexRole).value<quint32>());
    }
    QDialog::accept();
}

}  // namespace tidemark::ui
