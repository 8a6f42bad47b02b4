#include "gui/eft_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <vector>

#include "core/common/numeric.h"
#include "core/eft/eft_table.h"
#include "gui/select_on_focus.h"

namespace merovan::gui {
namespace {

constexpr const char* kWriteFailed = "Αδυναμία αποθήκευσης παραμέτρων πληρωμών";

QToolButton* addPictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap picture,
                              const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(picture));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(tip);
    return button;
}

void fillList(QComboBox* list, const std::vector<eft::ListEntry>& entries) {
    list->clear();
    for (const auto& entry : entries) {
        list->addItem(QString::fromStdString(entry.text), entry.value);
    }
    list->setCurrentIndex(0);
}

void selectValue(QComboBox* list, int value) {
    std::vector<int> values;
    for (int index = 0; index < list->count(); ++index) {
        values.push_back(list->itemData(index).toInt());
    }
    list->setCurrentIndex(eft::indexOfStoredValue(values, value));
}

}  // namespace

EftDialog::EftDialog(GuiContext context)
    : context_(std::move(context)),
      txtPay_(new QLineEdit("01", this)),
      cmbECRPayment_(new QComboBox(this)),
      cmbECREFT_(new QComboBox(this)),
      chkActive_(new QCheckBox("Ενεργή", this)),
      cmdRef_(addPictureButton(this, "cmdRef", QStyle::SP_BrowserReload, "Ανανέωση")) {
    setObjectName("frmEFT");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(eft::kEftDialogCaption);
    txtPay_->setObjectName("txtPay");
    txtPay_->setMaxLength(2);
    txtPay_->setFixedWidth(40);
    selectAllOnFocus(txtPay_);
    cmbECRPayment_->setObjectName("cmbECRPayment");
    cmbECREFT_->setObjectName("cmbECREFT");
    chkActive_->setObjectName("chkActive");

    auto* cmdFindButton =
        addPictureButton(this, "cmdFind", QStyle::SP_FileDialogContentsView, "Αναζήτηση");
    auto* saveButton = addPictureButton(this, "save", QStyle::SP_DialogSaveButton, "Αποθήκευση");
    auto* deleteButton = addPictureButton(this, "cmddelete", QStyle::SP_TrashIcon, "Διαγραφή");
    auto* exitButton = addPictureButton(this, "cmdexit", QStyle::SP_DialogCloseButton, "Έξοδος");
    connect(cmdFindButton, &QToolButton::clicked, this, &EftDialog::cmdFind);
    connect(saveButton, &QToolButton::clicked, this, &EftDialog::save);
    connect(deleteButton, &QToolButton::clicked, this, &EftDialog::cmddelete);
    connect(exitButton, &QToolButton::clicked, this, &EftDialog::close);
    connect(cmdRef_, &QToolButton::clicked, this, &EftDialog::refreshRequested);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("# πληρωμής Ταμειακής", this), 0, 0);
    auto* payRow = new QHBoxLayout;
    payRow->addWidget(txtPay_);
    payRow->addWidget(cmdFindButton);
    payRow->addStretch();
    fields->addLayout(payRow, 0, 1);
    fields->addWidget(cmbECRPayment_, 1, 1);
    fields->addWidget(new QLabel("# EFT POS", this), 2, 0);
    fields->addWidget(cmbECREFT_, 2, 1);
    fields->addWidget(chkActive_, 3, 1);
    fields->addWidget(cmdRef_, 0, 2, Qt::AlignRight | Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(deleteButton);
    buttons->addWidget(exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

std::string EftDialog::path() const {
    return context_.pathOf(eft::kEftFileName);
}

void EftDialog::frmFill() {
    show();
    repaint();
    QApplication::processEvents();
    setWindowTitle(eft::kEftDialogLoadingCaption);
    cmdRef_->hide();
    fillList(cmbECREFT_, eft::eftTerminalEntries());
    fillList(cmbECRPayment_, eft::ecrPayTypeEntries());
    setWindowTitle(eft::kEftDialogCaption);
    cmdRef_->show();
    repaint();
}

std::optional<int> EftDialog::payNumber() const {
    const auto number = common::parseInteger(txtPay_->text().trimmed().toStdString());
    if (!number || *number < 1 || *number > 99) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

void EftDialog::cmdFind() {
    const auto number = payNumber();
    if (!number) {
        return;
    }
    const auto record = eft::readEftRecord(path(), static_cast<std::int16_t>(*number));
    if (!record) {
        return;
    }
    selectValue(cmbECRPayment_, record->ecrPayType);
    selectValue(cmbECREFT_, record->eftTerminal);
    chkActive_->setChecked(record->active == -1);
}

void EftDialog::save() {
    const auto number = payNumber();
    if (!number) {
        return;
    }
    eft::EftPaymentRecord record;
    record.payNumber = static_cast<std::int16_t>(*number);
    record.ecrPayType = static_cast<std::int16_t>(cmbECRPayment_->currentData().toInt());
    record.eftTerminal = static_cast<std::int16_t>(cmbECREFT_->currentData().toInt());
    record.active = chkActive_->isChecked() ? -1 : 0;
    write(record);
}

void EftDialog::cmddelete() {
    const auto number = payNumber();
    if (!number) {
        return;
    }
    eft::EftPaymentRecord record;
    record.payNumber = static_cast<std::int16_t>(*number);
    write(record);
}

// A mapping the user believes saved would turn card payments into cash ones unnoticed.
void EftDialog::write(const eft::EftPaymentRecord& record) {
    if (!eft::writeEftRecord(path(), record)) {
        context_.messages.show(
            this, common::formatMessageBox(kWriteFailed, common::buttons::kExclamation, {}));
    }
}

}  // namespace merovan::gui
