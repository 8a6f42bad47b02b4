#pragma once

#include <QDialog>
#include <array>

#include "core/desktop/settings_form.h"
#include "gui/qt/gui_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace merovan::gui {

// Draws the settings form and hands it the user's input. Only a click (or Alt+key) on
// "Kαταχωρηση" saves: Enter in a field must not end the program.
class SettingsDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit SettingsDialog(GuiContext context);

    // Fills the fields from param.ini and vats.dat.
    void load();
    // Resets the fields, then loads them again: what the files hold comes back.
    void restore();
    // Saves both files; false while the dialog must stay open.
    bool save();

  signals:
    // Both files are written and the restart notice was shown: the program ends.
    void saved();

  private:
    QCheckBox* addCheck(const char* name, const QString& caption);
    QPushButton* addButton(const char* name, const QString& caption);
    void takeInput();
    void drawFields();
    void showMessages(const std::vector<common::MessageBox>& boxes);

    GuiContext context_;
    desktop::SettingsForm form_;
    QLineEdit* portField_;
    QLineEdit* baudField_;
    QLineEdit* fileField_;
    QComboBox* registerFamilyList_;
    QLineEdit* locationField_;
    QCheckBox* printManagerBox_;
    QCheckBox* descriptionBox_;
    QCheckBox* numericCodeBox_;
    QCheckBox* textCodeBox_;
    QCheckBox* commentsBox_;
    QCheckBox* quantityBox_;
    QCheckBox* lockedKeyboardBox_;
    QCheckBox* directDepartmentBox_;
    QRadioButton* payAsJobOption_;
    QRadioButton* payMainOption_;
    QRadioButton* paySecondaryOption_;
    QCheckBox* autoStartBox_;
    std::array<QLineEdit*, 5> vatRateFields_{};
};

}  // namespace merovan::gui
