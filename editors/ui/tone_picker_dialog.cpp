#include "editors/ui/tone_picker_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "grid/ui/grid_ctrl.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

TonePickerDialog::TonePickerDialog(CMaItemDoc& doc, const TextLookup& texts, int channel,
                                   int column, const QString& cellText, QWidget* parent)
    : QDialog(parent),
      rules_(doc.editTarget(), texts, channel, column, cellText.toStdString()),
      off_(new QRadioButton(QStringLiteral("关闭"), this)),
      ctcss_(new QRadioButton(QStringLiteral("CTCSS"), this)),
      dcs_(new QRadioButton(QStringLiteral("CDCSS"), this)),
      inverted_(new QCheckBox(QStringLiteral("CDCSS反相"), this)),
      grid_(new CGridCtrl(this)) {
    setWindowTitle(QStringLiteral("CTC/DCS"));
    setResourceId(off_, kOffButton);
    setResourceId(ctcss_, kCtcssButton);
    setResourceId(dcs_, kDcsButton);
    setResourceId(inverted_, kInvertedBox);
    setResourceId(grid_, kGrid);
    auto* group = new QButtonGroup(this);
    group->addButton(off_);
    group->addButton(ctcss_);
    group->addButton(dcs_);

    grid_->setSelectionEnabled(false);
    grid_->setRowResize(false);
    grid_->setColumnResize(false);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(off_);
    buttons->addWidget(ctcss_);
    buttons->addWidget(dcs_);
    buttons->addWidget(inverted_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(grid_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(off_, &QRadioButton::clicked, this, [this] {
        rules_.chooseOff();
        accept();
    });
    connect(ctcss_, &QRadioButton::clicked, this, [this] {
        rules_.chooseCtcss();
        showState();
    });
    connect(dcs_, &QRadioButton::clicked, this, [this] {
        rules_.chooseDcs();
        showState();
    });
    connect(inverted_, &QCheckBox::clicked, this, [this](bool on) {
        rules_.setInverted(on);
        showState();
    });
    connect(grid_, &CGridCtrl::beginEdit, this, [this](int row, int column) {
        rules_.pick(row, column);
        accept();
    });

    translateDialog(this, kTemplate, texts);
    showState();
}

void TonePickerDialog::accept() {
    rules_.commit();
    QDialog::accept();
}

void TonePickerDialog::reject() {
    rules_.cancel();
    QDialog::reject();
}

void TonePickerDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TonePickerDialog::showState() {
    const QSignalBlocker blockInverted(inverted_);
    switch (rules_.mode()) {
        case ToneMode::Off:
            off_->setChecked(true);
            break;
        case ToneMode::Ctcss:
            ctcss_->setChecked(true);
            break;
        case ToneMode::Dcs:
            dcs_->setChecked(true);
            break;
    }
    inverted_->setChecked(rules_.inverted());
    inverted_->setEnabled(rules_.invertedEnabled());
    grid_->setVisible(rules_.gridVisible());
    if (rules_.gridVisible()) fillGrid();
}

void TonePickerDialog::fillGrid() {
    const ToneGridShape* shape = rules_.shape();
    if (shape == nullptr) return;
    grid_->setRedraw(false);
    grid_->deleteAllItems();
    grid_->setRowCount(shape->dataRows + 1);
    grid_->setColumnCount(shape->columns);
    grid_->setFixedRowCount(1);
    grid_->setFixedColumnCount(0);
    grid_->resetSelectedRange();
    grid_->setRowHeight(0, TonePickerRules::kHeaderRowHeight);
    for (int r = 1; r <= shape->dataRows; ++r)
        grid_->setRowHeight(r, TonePickerRules::kRowHeight);
    const QColor buttonFace = palette().color(QPalette::Button);
    for (int c = 0; c < shape->columns; ++c) {
        grid_->setColumnWidth(c, shape->widths[static_cast<std::size_t>(c)]);
        for (int r = 0; r <= shape->dataRows; ++r) {
            grid_->setItemText(r, c, QString::fromStdString(rules_.cellText(r, c)));
            grid_->setItemFormat(r, c, CGridCtrl::kCellFormat);
            if (r == 0) continue;
            QColor background;
            if (TonePickerRules::isNumberColumn(c)) background = buttonFace;
            if (std::optional<Rgb> mark = rules_.highlight(r, c))
                background = QColor(mark->red, mark->green, mark->blue);
            grid_->setItemBkColour(r, c, background);
        }
    }
    const int frame = 2 * grid_->frameWidth();
    grid_->setFixedSize(
        grid_->totalWidth() + frame,
        TonePickerRules::kHeaderRowHeight + shape->dataRows * TonePickerRules::kRowHeight + frame);
    grid_->setRedraw(true);
}

}  // namespace pl3
