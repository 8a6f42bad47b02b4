#include "gui/eft_wait_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "core/eft/eft_table.h"

namespace merovan::gui {

EftWaitDialog::EftWaitDialog(SecondOfDay secondOfDay)
    : secondOfDay_(std::move(secondOfDay)),
      lblErr_(new QLabel(this)),
      lblErrDesc_(new QLabel(this)),
      timer_(new QTimer(this)) {
    if (!secondOfDay_) {
        secondOfDay_ = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000; };
    }
    setObjectName("frmErr");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    lblErr_->setObjectName("lblErr");
    lblErrDesc_->setObjectName("lblErrDesc");
    QFont big = lblErr_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    lblErr_->setFont(big);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblErr_);
    layout->addWidget(lblErrDesc_);
    setMinimumWidth(320);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &EftWaitDialog::TmrCom);
}

void EftWaitDialog::start() {
    startSecond_ = secondOfDay_();
    setWindowTitle(eft::kEftWaitCaption);
    lblErrDesc_->clear();
    lblErr_->setText(eft::kEftWaitFirstLabel);
    timer_->start();
    show();
}

void EftWaitDialog::TmrCom() {
    lblErr_->setText(QString::fromStdString(
        eft::eftWaitLabel(eft::eftWaitElapsedSeconds(startSecond_, secondOfDay_()))));
    repaint();
}

void EftWaitDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().topLeft());
    }
}

void EftWaitDialog::hideEvent(QHideEvent* event) {
    timer_->stop();
    QDialog::hideEvent(event);
}

}  // namespace merovan::gui
