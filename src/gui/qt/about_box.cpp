#include "gui/qt/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "core/desktop/about_info.h"
#include "core/desktop/system_information.h"
#include "gui/qt/program_icon.h"

namespace merovan::gui {
namespace {

QLabel* addLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

AboutBox::AboutBox(MessageBoxes& messages) : messages_(messages) {
    const desktop::AboutInfo info = desktop::aboutInfo();
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(info.caption));

    auto* icon = new QLabel(this);
    icon->setObjectName("picIcon");
    icon->setPixmap(programIcon().pixmap(48, 48));
    auto* title = addLabel(this, "lblTitle", QString::fromStdString(info.title));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* version = addLabel(this, "lblVersion", QString::fromStdString(info.version));
    auto* description = addLabel(this, "lblDescription", QString::fromStdString(info.description));
    auto* disclaimer = addLabel(this, "lblDisclaimer", QString::fromStdString(info.disclaimer));
    auto* okButton = new QPushButton("OK", this);
    okButton->setObjectName("cmdOK");
    okButton->setDefault(true);
    auto* sysInfoButton = new QPushButton("&System Info...", this);
    sysInfoButton->setObjectName("cmdSysInfo");
    connect(okButton, &QPushButton::clicked, this, [this] {
        close();
        emit okClicked();
    });
    connect(sysInfoButton, &QPushButton::clicked, this, &AboutBox::startSystemInformation);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1, 1, 2);
    layout->addWidget(version, 1, 1, 1, 2);
    layout->addWidget(description, 2, 1, 1, 2);
    layout->addWidget(disclaimer, 3, 0, 1, 2);
    layout->addWidget(okButton, 3, 2, Qt::AlignTop);
    layout->addWidget(sysInfoButton, 4, 2);
    layout->setColumnStretch(1, 1);
    setFixedWidth(420);
}

void AboutBox::startSystemInformation() {
    if (!desktop::startSystemInformationTool()) {
        messages_.show(this, common::formatMessageBox(desktop::kSystemInformationUnavailable,
                                                      common::buttons::kOk, {}));
    }
}

}  // namespace merovan::gui
