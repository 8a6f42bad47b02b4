#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/common/message_box.h"
#include "core/desktop/data_files.h"
#include "core/settings/param_file.h"

namespace merovan::desktop {

// The settings dialog without a toolkit: everything param.ini holds and the five VAT rates.
// Saved settings take effect at the next start, so a save ends with the restart notice.
class SettingsForm {
  public:
    // How much the user may type; the files may hold more, and it is shown whole.
    static constexpr int kPortLength = 17;
    static constexpr int kBaudLength = 12;
    static constexpr int kFileLength = 12;
    static constexpr int kVatLength = 5;
    static constexpr std::array<const char*, 2> kRegisterFamilies{"VeskoTan", "Tar48"};

    using VatRates = std::array<std::string, 5>;

    explicit SettingsForm(DataFiles files);

    // What the fields hold: the view writes the user's input here and draws it back.
    settings::ParamDialogValues& fields() { return fields_; }
    const settings::ParamDialogValues& fields() const { return fields_; }
    // The five VAT rate fields, categories 1 to 5, as typed.
    VatRates& vatRates() { return vatRates_; }
    const VatRates& vatRates() const { return vatRates_; }
    // An IP address in the port field takes the TCP port from the file: no speed to type.
    bool baudHidden() const { return fields_.port.find('.') != std::string::npos; }
    // At most one way of printing the item code; ticking one clears the other.
    void checkNumericCode(bool checked);
    void checkTextCode(bool checked);

    // Fills the fields from param.ini and vats.dat; the boxes to show (a missing param.ini).
    std::vector<common::MessageBox> load();
    // Resets the fields, then loads them again: what the files hold comes back.
    std::vector<common::MessageBox> restore();

    struct Saved {
        std::vector<common::MessageBox> messages;  // to show, in order
        bool done = false;  // the files are written: the dialog closes and the program ends
    };
    Saved save();

  private:
    DataFiles files_;
    settings::ParamDialogValues fields_;
    VatRates vatRates_{"0.00", "0.00", "0.00", "0.00", "0.00"};
};

}  // namespace merovan::desktop
