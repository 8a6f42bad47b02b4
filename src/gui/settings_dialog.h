#pragma once

#include <QDialog>
#include <array>

#include "core/settings/param_file.h"
#include "gui/gui_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace merovan::gui {

// The settings dialog: everything param.ini holds and the five VAT rates. Saved settings take
// effect at the next start, so saving ends the program after the restart notice.
class SettingsDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit SettingsDialog(GuiContext context);

    // Fills the fields from param.ini and vats.dat.
    void load();
    // Resets the fields, then loads them again: what the files hold comes back.
    void restore();
    // Saves both files; false while the dialog must stay open.
    bool OK();

    settings::ParamDialogValues values() const;

  signals:
    // Both files are written and the restart notice was shown: the program ends.
    void saved();

  private:
    QCheckBox* addCheck(const char* name, const QString& caption);
    int message(const char* text, int buttons, const char* title = "");

    GuiContext context_;
    QLineEdit* comtxt_;
    QLineEdit* baudtxt_;
    QLineEdit* filetxt_;
    QComboBox* typetxt_;
    QLineEdit* location_;
    QCheckBox* multi_print_;
    QCheckBox* descreption_;
    QCheckBox* print_code_numeric_;
    QCheckBox* print_code_ascii_;
    QCheckBox* comments_;
    QCheckBox* quantity_;
    QCheckBox* keyb_locked_;
    QCheckBox* dirdep_;
    QRadioButton* total_file_;
    QRadioButton* total_1_;
    QRadioButton* total_2_;
    QCheckBox* ChkAuto_;
    std::array<QLineEdit*, 5> txtVatRate_{};
};

}  // namespace merovan::gui
