#include "gui/qt/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt/select_on_focus.h"

namespace merovan::gui {
namespace {

using desktop::SettingsForm;
using settings::CurrencyChoice;
using settings::PrintCodeChoice;

QLineEdit* addField(QWidget* parent, const char* name, int maxLength = 32767) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    return field;
}

// The file may hold more than a field lets the user type; it is shown whole all the same.
void setFieldText(QLineEdit* field, const std::string& text, int typedLimit) {
    const QString shown = QString::fromStdString(text);
    field->setMaxLength(std::max<int>(typedLimit, shown.size()));
    field->setText(shown);
}

}  // namespace

SettingsDialog::SettingsDialog(GuiContext context)
    : context_(std::move(context)),
      form_(context_.files),
      portField_(addField(this, "comtxt", SettingsForm::kPortLength)),
      baudField_(addField(this, "baudtxt", SettingsForm::kBaudLength)),
      fileField_(addField(this, "filetxt", SettingsForm::kFileLength)),
      registerFamilyList_(new QComboBox(this)),
      locationField_(addField(this, "location")),
      printManagerBox_(addCheck("multi_print", "Print Manager")),
      descriptionBox_(addCheck("descreption", "Mε Περιγραφη")),
      numericCodeBox_(addCheck("print_code_numeric", "Mε Εκτυπωση Κωδικου Αριθμητικου")),
      textCodeBox_(addCheck("print_code_ascii", "Με Εκτυπωση Κωδικου Ascii")),
      commentsBox_(addCheck("comments", "Mε Σχολια")),
      quantityBox_(addCheck("quantity", "Mε Εκτυπωση Ποσοτητας")),
      lockedKeyboardBox_(addCheck("keyb_locked", "Κλειδωμενο Πληκτρολογιο")),
      directDepartmentBox_(addCheck("dirdep", "Direct Deparment")),
      payAsJobOption_(new QRadioButton("Οπως Στο Αρχειο", this)),
      payMainOption_(new QRadioButton("Παντα Κυριο Νομισμα", this)),
      paySecondaryOption_(new QRadioButton("Παντα Δευτερευων", this)),
      autoStartBox_(addCheck("ChkAuto", "Αυτόματη Έναρξη Εκτυπώσεων")) {
    setObjectName("frmparam");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Παράμετροι Merovan");
    registerFamilyList_->setObjectName("typetxt");
    for (const char* family : SettingsForm::kRegisterFamilies) {
        registerFamilyList_->addItem(family);
    }
    payAsJobOption_->setObjectName("total_file");
    payMainOption_->setObjectName("total_1");
    paySecondaryOption_->setObjectName("total_2");

    connect(portField_, &QLineEdit::textChanged, this, [this](const QString& text) {
        form_.fields().port = text.toStdString();
        baudField_->setHidden(form_.baudHidden());
    });
    connect(numericCodeBox_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.checkNumericCode(checked);
        textCodeBox_->setChecked(form_.fields().printCode == PrintCodeChoice::AsText);
    });
    connect(textCodeBox_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.checkTextCode(checked);
        numericCodeBox_->setChecked(form_.fields().printCode == PrintCodeChoice::AsNumber);
    });

    auto* link = new QGridLayout;
    link->addWidget(new QLabel("Πορτα σειριακή / IP", this), 0, 0);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portField_);
    portRow->addWidget(baudField_);
    link->addLayout(portRow, 0, 1);
    link->addWidget(new QLabel("Αρχειο", this), 1, 0);
    link->addWidget(fileField_, 1, 1);
    link->addWidget(new QLabel("Ταμειακη", this), 2, 0);
    link->addWidget(registerFamilyList_, 2, 1);
    link->addWidget(new QLabel("Διαδρομη", this), 3, 0);
    link->addWidget(locationField_, 3, 1);

    auto* printCode = new QGroupBox("Εκτυπωση Κωδικου Ειδους", this);
    auto* printCodeLayout = new QVBoxLayout(printCode);
    printCodeLayout->addWidget(numericCodeBox_);
    printCodeLayout->addWidget(textCodeBox_);

    auto* payment = new QGroupBox("Τροπος Εξοφλησης Αποδειξης", this);
    auto* paymentLayout = new QVBoxLayout(payment);
    for (QRadioButton* option : {payAsJobOption_, payMainOption_, paySecondaryOption_}) {
        paymentLayout->addWidget(option);
    }

    auto* vat = new QGroupBox("Κατηγορίες ΦΠΑ", this);
    auto* vatLayout = new QGridLayout(vat);
    const char* categories[] = {"Κατηγορία Α'", "Κατηγορία Β'", "Κατηγορία Γ'", "Κατηγορία Δ'",
                                "Κατηγορία Ε'"};
    for (int k = 0; k < 5; ++k) {
        vatRateFields_[k] = addField(vat, "txtVatRate", SettingsForm::kVatLength);
        vatRateFields_[k]->setProperty("index", k);
        selectAllOnFocus(vatRateFields_[k]);
        vatLayout->addWidget(new QLabel(categories[k], vat), k, 0);
        vatLayout->addWidget(vatRateFields_[k], k, 1);
    }

    auto* checks = new QVBoxLayout;
    for (QCheckBox* check : {printManagerBox_, descriptionBox_, commentsBox_, quantityBox_,
                             lockedKeyboardBox_, directDepartmentBox_, autoStartBox_}) {
        checks->addWidget(check);
    }
    checks->addStretch();

    auto* saveButton = addButton("OK", "&Kαταχωρηση");
    auto* restoreButton = addButton("restore", "&Eπαναφορα");
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (save()) {
            close();
            emit saved();
        }
    });
    connect(restoreButton, &QPushButton::clicked, this, &SettingsDialog::restore);

    auto* left = new QVBoxLayout;
    left->addLayout(link);
    left->addWidget(printCode);
    left->addWidget(payment);
    auto* right = new QVBoxLayout;
    right->addLayout(checks);
    right->addWidget(vat);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(restoreButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    drawFields();
    load();
}

QCheckBox* SettingsDialog::addCheck(const char* name, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(name);
    return check;
}

QPushButton* SettingsDialog::addButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    // A dialog's push buttons take Enter by default; here Enter in a field must do nothing.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void SettingsDialog::takeInput() {
    settings::ParamDialogValues& f = form_.fields();
    f.port = portField_->text().toStdString();
    f.baud = baudField_->text().toStdString();
    f.file = fileField_->text().toStdString();
    f.registerFamily = registerFamilyList_->currentText().toStdString();
    f.location = locationField_->text().toStdString();
    f.multiType = printManagerBox_->isChecked();
    f.printDesc = descriptionBox_->isChecked();
    f.printCode = numericCodeBox_->isChecked() ? PrintCodeChoice::AsNumber
                  : textCodeBox_->isChecked()  ? PrintCodeChoice::AsText
                                               : PrintCodeChoice::None;
    f.comments = commentsBox_->isChecked();
    f.quantity = quantityBox_->isChecked();
    f.keybOff = lockedKeyboardBox_->isChecked();
    f.dirDepa = directDepartmentBox_->isChecked();
    f.currency = payMainOption_->isChecked()        ? CurrencyChoice::Main
                 : paySecondaryOption_->isChecked() ? CurrencyChoice::Secondary
                                                    : CurrencyChoice::AsJob;
    f.autoStart = autoStartBox_->isChecked();
    for (std::size_t k = 0; k < vatRateFields_.size(); ++k) {
        form_.vatRates()[k] = vatRateFields_[k]->text().toStdString();
    }
}

void SettingsDialog::drawFields() {
    const settings::ParamDialogValues& f = form_.fields();
    setFieldText(portField_, f.port, SettingsForm::kPortLength);
    setFieldText(baudField_, f.baud, SettingsForm::kBaudLength);
    setFieldText(fileField_, f.file, SettingsForm::kFileLength);
    registerFamilyList_->setCurrentText(QString::fromStdString(f.registerFamily));
    setFieldText(locationField_, f.location, 32767);
    printManagerBox_->setChecked(f.multiType);
    descriptionBox_->setChecked(f.printDesc);
    numericCodeBox_->setChecked(f.printCode == PrintCodeChoice::AsNumber);
    textCodeBox_->setChecked(f.printCode == PrintCodeChoice::AsText);
    commentsBox_->setChecked(f.comments);
    quantityBox_->setChecked(f.quantity);
    lockedKeyboardBox_->setChecked(f.keybOff);
    directDepartmentBox_->setChecked(f.dirDepa);
    payAsJobOption_->setChecked(f.currency == CurrencyChoice::AsJob);
    payMainOption_->setChecked(f.currency == CurrencyChoice::Main);
    paySecondaryOption_->setChecked(f.currency == CurrencyChoice::Secondary);
    autoStartBox_->setChecked(f.autoStart);
    for (std::size_t k = 0; k < vatRateFields_.size(); ++k) {
        vatRateFields_[k]->setText(QString::fromStdString(form_.vatRates()[k]));
    }
    baudField_->setHidden(form_.baudHidden());
}

void SettingsDialog::showMessages(const std::vector<common::MessageBox>& boxes) {
    for (const auto& box : boxes) {
        context_.messages.show(this, box);
    }
}

void SettingsDialog::load() {
    takeInput();
    const auto boxes = form_.load();
    drawFields();
    showMessages(boxes);
    repaint();
}

void SettingsDialog::restore() {
    takeInput();
    const auto boxes = form_.restore();
    drawFields();
    showMessages(boxes);
}

bool SettingsDialog::save() {
    takeInput();
    const auto outcome = form_.save();
    drawFields();
    showMessages(outcome.messages);
    return outcome.done;
}

}  // namespace merovan::gui
