#include "gui/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "gui/program_icon.h"
#include "gui/sys_info.h"

namespace merovan::gui {
namespace {

constexpr const char* kTitle = "Merovan";

QLabel* addLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

QString AboutBox::versionText() {
    const QStringList parts = QString(MEROVAN_VERSION).split('.');
    const auto part = [&parts](int index) {
        return index < parts.size() ? QString::number(parts[index].toInt()) : QString("0");
    };
    return "Version " + part(0) + "." + part(1) + "." + part(2);
}

AboutBox::AboutBox(MessagePresenter& messages) : messages_(messages) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString("Σχετικα ") + kTitle);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(programIcon().pixmap(48, 48));
    auto* lblTitle = addLabel(this, "lblTitle", kTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto* lblVersion = addLabel(this, "lblVersion", versionText());
    auto* lblDescription =
        addLabel(this, "lblDescription",
                 "Οδηγός φορολογικής ταμειακής μηχανής για εφαρμογές POS.\n"
                 "Για υποστήριξη απευθυνθείτε στον προμηθευτή της εφαρμογής σας.");
    auto* lblDisclaimer =
        addLabel(this, "lblDisclaimer",
                 "Προειδοποίηση: το πρόγραμμα αυτό προστατεύεται από τους νόμους περί πνευματικής "
                 "ιδιοκτησίας. Απαγορεύεται η χρήση ή η αναδιανομή του χωρίς άδεια.");
    auto* cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    auto* cmdSysInfoButton = new QPushButton("&System Info...", this);
    cmdSysInfoButton->setObjectName("cmdSysInfo");
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        close();
        emit okClicked();
    });
    connect(cmdSysInfoButton, &QPushButton::clicked, this, &AboutBox::cmdSysInfo);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1, 1, 2);
    layout->addWidget(lblVersion, 1, 1, 1, 2);
    layout->addWidget(lblDescription, 2, 1, 1, 2);
    layout->addWidget(lblDisclaimer, 3, 0, 1, 2);
    layout->addWidget(cmdOK, 3, 2, Qt::AlignTop);
    layout->addWidget(cmdSysInfoButton, 4, 2);
    layout->setColumnStretch(1, 1);
    setFixedWidth(420);
}

void AboutBox::cmdSysInfo() {
    if (!StartSysInfo()) {
        messages_.show(this,
                       common::formatMessageBox("System Information Is Unavailable At This Time",
                                                common::buttons::kOk, {}));
    }
}

}  // namespace merovan::gui
