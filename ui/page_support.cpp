#include "ui/page_support.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QSizePolicy>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace tidemark::ui {

namespace {

constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();

}  // namespace

std::int32_t ReadUnsignedNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !trimmed.front().isDigit()) {
        return 0;
    }
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok);
    if (!ok) {
        // Only digits but too long for 64 bits: still a number, just a large one.
        return std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isDigit(); })
                   ? static_cast<std::int32_t>(kInt32Max)
                   : 0;
    }
    return static_cast<std::int32_t>(std::min<qulonglong>(value, kInt32Max));
}

std::optional<long> ReadWholeNumber(const QString& text) {
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<long>(std::clamp(value, kInt32Min, kInt32Max));
}

std::int32_t ReadSignedNumber(const QString& text) {
    return static_cast<std::int32_t>(ReadWholeNumber(text).value_or(0));
}

void MakeNumberBox(QLineEdit* edit) {
    edit->setMaxLength(10);
    // Five digits plus the frame and the text margins.
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 10);
}

void MakeNarrowTextBox(QLineEdit* edit) {
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("MMM")));
}

namespace {

class FitTextFilter : public QObject {
  public:
    FitTextFilter(QLineEdit* edit, QString sample) : QObject(edit), sample_(std::move(sample)) {
        Fit(edit);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange) {
            Fit(static_cast<QLineEdit*>(watched));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Fit(QLineEdit* edit) const {
        // The frame on both sides and the edit's own text margins and cursor.
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(sample_) + 2 * frame + 8);
    }

    QString sample_;
};

}  // namespace

void FitTextBox(QLineEdit* edit, const QString& sample) {
    edit->installEventFilter(new FitTextFilter(edit, sample));
}

QGridLayout* MakeGroupGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 2, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    return grid;
}

QHBoxLayout* MakeIndentedRow(int indent, std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(indent, 0, 0, 0);
    row->setSpacing(4);
    for (QWidget* widget : widgets) {
        row->addWidget(widget, qobject_cast<QLabel*>(widget) != nullptr ? 0 : 1);
    }
    return row;
}

void KeepCaptionWhole(QWidget* caption) {
    // Minimum takes the size hint as the least width, whatever the text is later changed to.
    QSizePolicy policy = caption->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Minimum);
    caption->setSizePolicy(policy);
}

void LetCaptionTakeTwoLines(QLabel* caption) {
    caption->setWordWrap(true);
    // The least width is that of the wider line when the caption breaks at its best space.
    const QFontMetrics metrics = caption->fontMetrics();
    const QString text = caption->text();
    int least = metrics.horizontalAdvance(text);
    for (qsizetype space = text.indexOf(QLatin1Char(' ')); space >= 0;
         space = text.indexOf(QLatin1Char(' '), space + 1)) {
        least = std::min(least, std::max(metrics.horizontalAdvance(text.left(space)),
                                         metrics.horizontalAdvance(text.mid(space + 1))));
    }
    // One pixel more against rounding in the line breaking.
    caption->setMinimumWidth(least + 2 * caption->margin() + 1);
}

int CheckBoxTextIndent(const QWidget* checkBox) {
    const QStyle* style = checkBox->style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, checkBox) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, checkBox);
}

void PostCloseRequest(QObject* view) {
    auto* frame = view != nullptr ? qobject_cast<QWidget*>(view->parent()) : nullptr;
    if (frame != nullptr) {
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
    }
}

}  // namespace tidemark::ui
