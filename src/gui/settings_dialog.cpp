#include "gui/settings_dialog.h"

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

#include "core/common/codepage.h"
#include "core/vat/vat_table.h"
#include "gui/select_on_focus.h"

namespace merovan::gui {
namespace {

constexpr const char* kVatParseFailed = "Λάθος στίς κατηγορίες ΦΠΑ!";
constexpr const char* kVatSaveFailed = "Λάθος κατά την αποθήκευση τών κατηγορίών ΦΠΑ!";
constexpr const char* kRestartTitle = "Merovan-Προσοχη";
constexpr const char* kRestartText =
    "Πρεπει να επανεκκινησετε το Merovan για ενεργοποιηση των μεταβολων ";

QLineEdit* addField(QWidget* parent, const char* name, int maxLength = 32767) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    return field;
}

// The file may hold more than a field lets the user type; it is shown whole all the same.
void setFieldText(QLineEdit* field, const std::string& bytes, int typedLimit) {
    const QString text = QString::fromStdString(common::cp1253ToUtf8(bytes));
    field->setMaxLength(std::max<int>(typedLimit, text.size()));
    field->setText(text);
}

}  // namespace

SettingsDialog::SettingsDialog(GuiContext context)
    : context_(std::move(context)),
      comtxt_(addField(this, "comtxt", 17)),
      baudtxt_(addField(this, "baudtxt", 12)),
      filetxt_(addField(this, "filetxt", 12)),
      typetxt_(new QComboBox(this)),
      location_(addField(this, "location")),
      multi_print_(addCheck("multi_print", "Print Manager")),
      descreption_(addCheck("descreption", "Mε Περιγραφη")),
      print_code_numeric_(addCheck("print_code_numeric", "Mε Εκτυπωση Κωδικου Αριθμητικου")),
      print_code_ascii_(addCheck("print_code_ascii", "Με Εκτυπωση Κωδικου Ascii")),
      comments_(addCheck("comments", "Mε Σχολια")),
      quantity_(addCheck("quantity", "Mε Εκτυπωση Ποσοτητας")),
      keyb_locked_(addCheck("keyb_locked", "Κλειδωμενο Πληκτρολογιο")),
      dirdep_(addCheck("dirdep", "Direct Deparment")),
      total_file_(new QRadioButton("Οπως Στο Αρχειο", this)),
      total_1_(new QRadioButton("Παντα Κυριο Νομισμα", this)),
      total_2_(new QRadioButton("Παντα Δευτερευων", this)),
      ChkAuto_(addCheck("ChkAuto", "Αυτόματη Έναρξη Εκτυπώσεων")) {
    setObjectName("frmparam");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Παράμετροι Merovan");
    typetxt_->setObjectName("typetxt");
    typetxt_->addItems({"VeskoTan", "Tar48"});
    location_->setText("Text1");
    total_file_->setObjectName("total_file");
    total_1_->setObjectName("total_1");
    total_2_->setObjectName("total_2");
    total_file_->setChecked(true);

    connect(comtxt_, &QLineEdit::textChanged, this,
            [this](const QString& text) { baudtxt_->setHidden(text.contains('.')); });
    // At most one way of printing the item code; ticking one clears the other.
    connect(print_code_ascii_, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked) {
            print_code_numeric_->setChecked(false);
        }
    });
    connect(print_code_numeric_, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked) {
            print_code_ascii_->setChecked(false);
        }
    });

    auto* link = new QGridLayout;
    link->addWidget(new QLabel("Πορτα σειριακή / IP", this), 0, 0);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(comtxt_);
    portRow->addWidget(baudtxt_);
    link->addLayout(portRow, 0, 1);
    link->addWidget(new QLabel("Αρχειο", this), 1, 0);
    link->addWidget(filetxt_, 1, 1);
    link->addWidget(new QLabel("Ταμειακη", this), 2, 0);
    link->addWidget(typetxt_, 2, 1);
    link->addWidget(new QLabel("Διαδρομη", this), 3, 0);
    link->addWidget(location_, 3, 1);

    auto* printCode = new QGroupBox("Εκτυπωση Κωδικου Ειδους", this);
    auto* printCodeLayout = new QVBoxLayout(printCode);
    printCodeLayout->addWidget(print_code_numeric_);
    printCodeLayout->addWidget(print_code_ascii_);

    auto* payment = new QGroupBox("Τροπος Εξοφλησης Αποδειξης", this);
    auto* paymentLayout = new QVBoxLayout(payment);
    for (QRadioButton* option : {total_file_, total_1_, total_2_}) {
        paymentLayout->addWidget(option);
    }

    auto* vat = new QGroupBox("Κατηγορίες ΦΠΑ", this);
    auto* vatLayout = new QGridLayout(vat);
    const char* categories[] = {"Κατηγορία Α'", "Κατηγορία Β'", "Κατηγορία Γ'", "Κατηγορία Δ'",
                                "Κατηγορία Ε'"};
    for (int k = 0; k < 5; ++k) {
        txtVatRate_[k] = addField(vat, "txtVatRate", 5);
        txtVatRate_[k]->setProperty("index", k);
        txtVatRate_[k]->setText("0.00");
        selectAllOnFocus(txtVatRate_[k]);
        vatLayout->addWidget(new QLabel(categories[k], vat), k, 0);
        vatLayout->addWidget(txtVatRate_[k], k, 1);
    }

    auto* checks = new QVBoxLayout;
    for (QCheckBox* check :
         {multi_print_, descreption_, comments_, quantity_, keyb_locked_, dirdep_, ChkAuto_}) {
        checks->addWidget(check);
    }
    checks->addStretch();

    auto* okButton = new QPushButton("Kαταχωρηση", this);
    okButton->setObjectName("OK");
    auto* restoreButton = new QPushButton("Eπαναφορα", this);
    restoreButton->setObjectName("restore");
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (OK()) {
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
    buttons->addWidget(okButton);
    buttons->addWidget(restoreButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    load();
}

QCheckBox* SettingsDialog::addCheck(const char* name, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(name);
    return check;
}

int SettingsDialog::message(const char* text, int buttons, const char* title) {
    return context_.messages.show(this, common::formatMessageBox(text, buttons, title));
}

void SettingsDialog::load() {
    const auto read = settings::readParamFile(context_.pathOf("param.ini"));
    if (!read) {
        // The dialog is how a missing param.ini is made anew: it stays open for that.
        context_.messages.show(
            this, common::formatMessageBox(read.error().what, common::buttons::kCritical, {}));
    } else {
        const settings::ParamSettings& s = *read;
        const std::string& address = s.linkAddress;
        const auto colon = address.find(':');
        setFieldText(comtxt_, address.substr(0, colon), 17);
        std::string baud;
        if (colon != std::string::npos) {
            baud = address.substr(colon + 1);
            baud = baud.substr(0, baud.find(':'));
        }
        setFieldText(baudtxt_, baud, 12);
        setFieldText(filetxt_, s.file, 12);
        const settings::ReceiptSettings& r = s.receipt;
        if (r.registerFamily == settings::RegisterFamily::Vesko) {
            typetxt_->setCurrentIndex(0);
        } else if (r.registerFamily == settings::RegisterFamily::Tar48) {
            typetxt_->setCurrentIndex(1);
        }
        multi_print_->setChecked(s.jobFiles == settings::JobFiles::Numbered);
        descreption_->setChecked(r.printDescription == settings::Flag::On);
        print_code_numeric_->setChecked(r.printCode == settings::PrintCodeChoice::AsNumber);
        print_code_ascii_->setChecked(r.printCode == settings::PrintCodeChoice::AsText);
        comments_->setChecked(r.comments == settings::Comments::On);
        quantity_->setChecked(r.printQuantity);
        keyb_locked_->setChecked(r.keyboardLocked);
        dirdep_->setChecked(r.directDepartment);
        if (r.currency == settings::Currency::AsJob) {
            total_file_->setChecked(true);
        } else if (r.currency == settings::Currency::Main) {
            total_1_->setChecked(true);
        } else if (r.currency == settings::Currency::Secondary) {
            total_2_->setChecked(true);
        }
        setFieldText(location_, s.location, 32767);
        if (s.autoStart) {
            ChkAuto_->setChecked(true);
        }
    }
    if (const auto rates = vat::loadVatRates(context_.pathOf(vat::kVatFileName))) {
        for (int k = 0; k < 5; ++k) {
            txtVatRate_[k]->setText(QString::fromStdString(
                vat::formatRateForDisplay((*rates)[k], context_.decimalSeparator)));
        }
    }
    repaint();
}

void SettingsDialog::restore() {
    comtxt_->setText("0");
    baudtxt_->setText("0");
    filetxt_->clear();
    typetxt_->setCurrentIndex(0);
    for (QCheckBox* check : {multi_print_, descreption_, print_code_numeric_, print_code_ascii_,
                             comments_, quantity_, keyb_locked_, dirdep_}) {
        check->setChecked(false);
    }
    total_file_->setChecked(true);
    location_->setText(" ");
    load();
}

settings::ParamDialogValues SettingsDialog::values() const {
    settings::ParamDialogValues v;
    v.port = comtxt_->text().toStdString();
    v.baud = baudtxt_->text().toStdString();
    v.baudHidden = baudtxt_->isHidden();
    v.file = filetxt_->text().toStdString();
    v.registerFamily = typetxt_->currentText().toStdString();
    v.multiType = multi_print_->isChecked();
    v.printDesc = descreption_->isChecked();
    if (print_code_numeric_->isChecked()) {
        v.printCode = settings::PrintCodeChoice::AsNumber;
    } else if (print_code_ascii_->isChecked()) {
        v.printCode = settings::PrintCodeChoice::AsText;
    }
    v.comments = comments_->isChecked();
    if (total_1_->isChecked()) {
        v.currency = settings::CurrencyChoice::Main;
    } else if (total_2_->isChecked()) {
        v.currency = settings::CurrencyChoice::Secondary;
    }
    v.keybOff = keyb_locked_->isChecked();
    v.dirDepa = dirdep_->isChecked();
    v.quantity = quantity_->isChecked();
    v.autoStart = ChkAuto_->isChecked();
    v.location = location_->text().toStdString();
    return v;
}

bool SettingsDialog::OK() {
    const auto written = settings::writeParamFile(context_.pathOf("param.ini"), values(),
                                                  context_.clock.localDateTime());
    if (!written) {
        // Asking for a restart would promise settings that were never saved.
        context_.messages.show(this, common::formatMessageBox(written.error().what,
                                                              common::buttons::kExclamation, {}));
        return false;
    }
    std::array<std::string, 5> texts;
    for (int k = 0; k < 5; ++k) {
        texts[k] = txtVatRate_[k]->text().toStdString();
    }
    vat::VatRates rates{};
    const int parsed = vat::parseVatRates(texts, rates);
    for (int k = 0; k < 5; ++k) {
        txtVatRate_[k]->setText(QString::fromStdString(texts[k]));
    }
    if (parsed != 0) {
        message(kVatParseFailed, common::buttons::kExclamation);
        return false;
    }
    if (!vat::saveVatRates(context_.pathOf(vat::kVatFileName), rates)) {
        message(kVatSaveFailed, common::buttons::kExclamation);
    }
    message(kRestartText, common::buttons::kCritical, kRestartTitle);
    return true;
}

}  // namespace merovan::gui
