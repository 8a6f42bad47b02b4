#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QTimer;

namespace merovan::gui {

// The waiting window shown while a card terminal is awaited: it counts the seconds so that
// the person at the counter sees the driver is still waiting, not stuck.
class CardWaitDialog final : public QDialog {
    Q_OBJECT

  public:
    // The time of day in whole seconds since midnight; tests give a clock of their own.
    using SecondOfDay = std::function<int()>;

    explicit CardWaitDialog(SecondOfDay secondOfDay = {});

    // Shows the window with its first texts and starts counting.
    void start();
    // One tick of the counter (every second while shown).
    void tick();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    SecondOfDay secondOfDay_;
    int startSecond_ = 0;
    QLabel* waitLabel_;
    QLabel* detailLabel_;
    QTimer* timer_;
};

}  // namespace merovan::gui
