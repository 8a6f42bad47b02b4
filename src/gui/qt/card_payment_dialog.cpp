#include "gui/qt/card_payment_dialog.h"

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

#include "gui/qt/select_on_focus.h"

namespace merovan::gui {
namespace {

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
}

void selectValue(QComboBox* list, int value) {
    list->setCurrentIndex(std::max(0, list->findData(value)));
}

}  // namespace

CardPaymentDialog::CardPaymentDialog(GuiContext context)
    : context_(std::move(context)),
      form_(context_.files),
      payNumberField_(new QLineEdit(this)),
      registerPaymentList_(new QComboBox(this)),
      terminalList_(new QComboBox(this)),
      activeBox_(new QCheckBox("Ενεργή", this)),
      refreshButton_(addPictureButton(this, "cmdRef", QStyle::SP_BrowserReload, "Ανανέωση")) {
    setObjectName("frmEFT");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(eft::kEftDialogCaption);
    payNumberField_->setObjectName("txtPay");
    payNumberField_->setMaxLength(desktop::CardPaymentForm::kPayNumberLength);
    payNumberField_->setFixedWidth(40);
    payNumberField_->setText(QString::fromStdString(form_.fields().payNumber));
    selectAllOnFocus(payNumberField_);
    registerPaymentList_->setObjectName("cmbECRPayment");
    terminalList_->setObjectName("cmbECREFT");
    activeBox_->setObjectName("chkActive");

    auto* findButton =
        addPictureButton(this, "cmdFind", QStyle::SP_FileDialogContentsView, "Αναζήτηση");
    auto* saveButton = addPictureButton(this, "save", QStyle::SP_DialogSaveButton, "Αποθήκευση");
    auto* deleteButton = addPictureButton(this, "cmddelete", QStyle::SP_TrashIcon, "Διαγραφή");
    auto* exitButton = addPictureButton(this, "cmdexit", QStyle::SP_DialogCloseButton, "Έξοδος");
    connect(findButton, &QToolButton::clicked, this, &CardPaymentDialog::find);
    connect(saveButton, &QToolButton::clicked, this, &CardPaymentDialog::save);
    connect(deleteButton, &QToolButton::clicked, this, &CardPaymentDialog::remove);
    connect(exitButton, &QToolButton::clicked, this, &CardPaymentDialog::close);
    connect(refreshButton_, &QToolButton::clicked, this, &CardPaymentDialog::refreshRequested);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("# πληρωμής Ταμειακής", this), 0, 0);
    auto* payRow = new QHBoxLayout;
    payRow->addWidget(payNumberField_);
    payRow->addWidget(findButton);
    payRow->addStretch();
    fields->addLayout(payRow, 0, 1);
    fields->addWidget(registerPaymentList_, 1, 1);
    fields->addWidget(new QLabel("# EFT POS", this), 2, 0);
    fields->addWidget(terminalList_, 2, 1);
    fields->addWidget(activeBox_, 3, 1);
    fields->addWidget(refreshButton_, 0, 2, Qt::AlignRight | Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(deleteButton);
    buttons->addWidget(exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void CardPaymentDialog::fill() {
    show();
    repaint();
    QApplication::processEvents();
    setWindowTitle(eft::kEftDialogLoadingCaption);
    refreshButton_->hide();
    form_.fill();
    fillList(terminalList_, form_.terminals());
    fillList(registerPaymentList_, form_.registerPayments());
    drawFields();
    setWindowTitle(eft::kEftDialogCaption);
    refreshButton_->show();
    repaint();
}

void CardPaymentDialog::takeInput() {
    desktop::CardPaymentFields& fields = form_.fields();
    fields.payNumber = payNumberField_->text().toStdString();
    fields.registerPayment = registerPaymentList_->currentData().toInt();
    fields.terminal = terminalList_->currentData().toInt();
    fields.active = activeBox_->isChecked();
}

void CardPaymentDialog::drawFields() {
    const desktop::CardPaymentFields& fields = form_.fields();
    selectValue(registerPaymentList_, fields.registerPayment);
    selectValue(terminalList_, fields.terminal);
    activeBox_->setChecked(fields.active);
}

void CardPaymentDialog::find() {
    takeInput();
    if (form_.find()) {
        drawFields();
    }
}

void CardPaymentDialog::save() {
    takeInput();
    showFailure(form_.save());
}

void CardPaymentDialog::remove() {
    takeInput();
    showFailure(form_.remove());
}

void CardPaymentDialog::showFailure(const std::optional<common::MessageBox>& box) {
    if (box) {
        context_.messages.show(this, *box);
    }
}

}  // namespace merovan::gui
