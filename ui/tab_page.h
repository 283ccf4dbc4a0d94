#pragma once
// What the rename view needs from each of its four tab pages.

#include <QWidget>

class QComboBox;
class QObject;

namespace tidemark::ui {

class CTabPage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

    // The tab index, also the settings index of the three rename pages.
    virtual int PageIndex() const = 0;
    // The page's source folder combo box (1004).
    virtual QComboBox* FolderCombo() const = 0;
    // The page's destination combo box (1069); only the number page has one.
    virtual QComboBox* DestCombo() const { return nullptr; }
    // The page's "Rename selected files only" flag, read by the preview.
    virtual bool SelOnly() const = 0;
    // Puts the page's options into its controls.
    virtual void ShowOptions() = 0;
    // After a successful rename: rule switches off (rename pages) or PosMode 0 (number page),
    // then ShowOptions.
    virtual void ResetPage() = 0;

    // The receiver of the page's messages; by default the rename view above the page.
    void SetView(QObject* view) { view_ = view; }
    QObject* View() const;

  private:
    QObject* view_ = nullptr;
};

}  // namespace tidemark::ui
