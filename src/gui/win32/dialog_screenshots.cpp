#include "gui/win32/windows_api.h"

#include <cstdio>

#include "core/eft/eft_table.h"
#include "core/settings/param_file.h"
#include "core/vat/vat_table.h"
#include "gui/win32/about_box.h"
#include "gui/win32/card_payment_dialog.h"
#include "gui/win32/dialogs.h"
#include "gui/win32/settings_dialog.h"
#include "gui/win32/win32_view_thread.h"
#include "gui/win32/window_picture.h"

namespace merovan::gui::win32 {
namespace {

// Nobody looks at the boxes while the pictures are taken.
class QuietMessageBoxes final : public MessageBoxes {
  public:
    int show(HWND /*owner*/, const common::MessageBox& box) override {
        std::fprintf(stderr, "message: %s\n", box.text.c_str());
        return common::answers::kOk;
    }
};

// The files of a shop whose register is on COM1, with card payment 5 on terminal 1.
void writeSampleFiles(const std::filesystem::path& data, common::Clock& clock) {
    std::filesystem::create_directories(data);
    settings::ParamDialogValues values;
    values.port = "com1";
    values.baud = "9600";
    values.file = "print";
    values.registerFamily = "VeskoTan";
    values.multiType = true;
    values.printDesc = true;
    values.printCode = settings::PrintCodeChoice::AsNumber;
    values.comments = true;
    values.currency = settings::CurrencyChoice::Main;
    values.autoStart = true;
    values.location = "C:\\merovan\\";
    // A picture of a sample that failed to be written shows it: nothing to say here.
    (void)settings::writeParamFile((data / "param.ini").string(), values, clock.localDateTime());
    (void)vat::saveVatRates((data / vat::kVatFileName).string(), {24, 13, 6, 0, 17});
    (void)eft::writeEftRecord((data / eft::kEftFileName).string(), {5, 2, 1, -1});
}

// A few exchanges as the register trace shows them, Greek item texts among them.
const char* const kTraceLines[] = {
    "41:07       send:[KXST]",
    "41:07      reply: 0ASC(13) ASC(4) ",
    " -----------",
    "41:08       send:[KX1ΚΑΦΕΣ ΕΛΛΗΝΙΚΟΣ*2.50*1]",
    "41:08      reply: 0ASC(13) ASC(4) ",
    " -----------",
    "41:08       send:[KX1ΤΥΡΟΠΙΤΑ ΣΠΙΤΙΚΗ*3.20*2]",
    "41:09      reply: 0ASC(13) ASC(4) ",
    " -----------",
    "41:09       send:[KX590T2P1]",
    "41:09      reply: 0ASC(13) ASC(4) ",
    "41:21 reply async: 355OKASC(13) ASC(4) ",
    " -----------",
    "41:22       send:[KXΕΥΧΑΡΙΣΤΟΥΜΕ ΠΟΛΥ]",
    "41:22      reply: 0ASC(13) ASC(4) ",
    " -----------",
};

class Shots {
  public:
    explicit Shots(std::filesystem::path dir) : dir_(std::move(dir)) {}

    void take(HWND window, const char* name) {
        if (window == nullptr) {
            std::fprintf(stderr, "screenshots: %s: the window could not be made\n", name);
            return;
        }
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        serveWindowMessages();
        const auto file = dir_ / (std::string(name) + ".png");
        if (const std::string failure = saveWindowPicture(window, file); !failure.empty()) {
            std::fprintf(stderr, "screenshots: %s: %s\n", name, failure.c_str());
            return;
        }
        written_.push_back(file);
    }
    std::vector<std::filesystem::path> written() const { return written_; }

  private:
    std::filesystem::path dir_;
    std::vector<std::filesystem::path> written_;
};

void click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

std::vector<std::filesystem::path> screenshotDialogs(HWND owner, const std::filesystem::path& dir,
                                                     common::Clock& clock) {
    std::error_code failed;
    std::filesystem::create_directories(dir, failed);
    const std::filesystem::path data = dir / "dialog-data";
    writeSampleFiles(data, clock);
    QuietMessageBoxes messages;
    const DialogContext context{{data.string(), clock, ","}, messages};
    Shots shots(dir);

    {
        SettingsDialog settings(context);
        settings.create(owner);
        shots.take(settings.frame().handle(), "settings-dialog");
        // An IP address in the port field: the speed field goes.
        settings.frame().setText(SettingsDialog::Port, "192.168.1.50");
        shots.take(settings.frame().handle(), "settings-dialog-ip");
    }
    {
        CardPaymentDialog payments(context);
        payments.create(owner);
        payments.frame().setText(CardPaymentDialog::PayNumber, "05");
        click(payments.frame().handle(), CardPaymentDialog::Find);
        shots.take(payments.frame().handle(), "card-payments-dialog");
    }
    {
        TraceWindow trace({});
        trace.open(owner);
        for (const char* line : kTraceLines) {
            trace.appendLine(line);
        }
        shots.take(trace.handle(), "trace-window");
    }
    {
        AboutBox about(messages);
        about.create(owner);
        shots.take(about.frame().handle(), "about-box");
    }
    {
        int now = 36000;
        CardWaitWindow wait([&now] { return now; });
        wait.show(owner);
        now += 7;
        wait.tick();
        shots.take(wait.handle(), "card-wait-dialog");
    }
    return shots.written();
}

}  // namespace merovan::gui::win32
