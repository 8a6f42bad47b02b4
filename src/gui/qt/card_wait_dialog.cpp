#include "gui/qt/card_wait_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "core/eft/eft_table.h"

namespace merovan::gui {

CardWaitDialog::CardWaitDialog(SecondOfDay secondOfDay)
    : secondOfDay_(std::move(secondOfDay)),
      waitLabel_(new QLabel(this)),
      detailLabel_(new QLabel(this)),
      timer_(new QTimer(this)) {
    if (!secondOfDay_) {
        secondOfDay_ = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000; };
    }
    setObjectName("frmErr");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    waitLabel_->setObjectName("lblErr");
    detailLabel_->setObjectName("lblErrDesc");
    QFont big = waitLabel_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    waitLabel_->setFont(big);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(waitLabel_);
    layout->addWidget(detailLabel_);
    setMinimumWidth(320);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &CardWaitDialog::tick);
}

void CardWaitDialog::start() {
    startSecond_ = secondOfDay_();
    setWindowTitle(eft::kEftWaitCaption);
    detailLabel_->clear();
    waitLabel_->setText(eft::kEftWaitFirstLabel);
    timer_->start();
    show();
}

void CardWaitDialog::tick() {
    waitLabel_->setText(QString::fromStdString(
        eft::eftWaitLabel(eft::eftWaitElapsedSeconds(startSecond_, secondOfDay_()))));
    repaint();
}

void CardWaitDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().topLeft());
    }
}

void CardWaitDialog::hideEvent(QHideEvent* event) {
    timer_->stop();
    QDialog::hideEvent(event);
}

}  // namespace merovan::gui
