#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gui/qt/desktop_program.h"
#include "support/fake_clock.h"
#include "support/read_file.h"
#include "support/scripted_transport.h"

// Lets a failed comparison of window texts show them as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace merovan::testing {

// Answers every message box at once with OK and keeps what it was asked to show.
class RecordingMessageBoxes final : public gui::MessageBoxes {
  public:
    int show(QWidget*, const common::MessageBox& box) override {
        boxes.push_back(box);
        return common::answers::kOk;
    }
    std::vector<common::MessageBox> boxes;
};

// A working directory of its own with the fixture param_tar48.ini, the desktop program over a
// scripted register and a fake clock. The driver runs on the test's thread unless a test
// starts its thread. What the windows show is the presenter's (tests/desktop): these tests
// check the wiring.
class GuiTest : public ::testing::Test {
  protected:
    GuiTest() {
        // Without a display Qt would abort; offscreen unless the caller chose a platform.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "test_gui";
        static char* argv[] = {name, nullptr};
        // Never destroyed: at exit Qt's own globals may already be gone.
        [[maybe_unused]] static auto* application = new QApplication(argc, argv);
        static std::atomic<int> serial{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("merovan-gui-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::string(MEROVAN_FIXTURES_DIR) + "/settings/param_tar48.ini",
                                   dir_ / "param.ini");
    }
    ~GuiTest() override {
        program_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string readFile(const std::string& name) const { return testing::readFile(dir_ / name); }
    gui::GuiContext context() { return gui::GuiContext{{dir_.string(), clock_, ","}, messages_}; }
    gui::DesktopProgram& program(driver::DriverServices services = {}) {
        if (!program_) {
            if (!services.transports) {
                services.transports = register_.factory();
            }
            driver::DriverOptions options;
            options.workDir = dir_.string();
            options.endMarker = (dir_ / "end.txt").string();
            program_ = std::make_unique<gui::DesktopProgram>(context(), services, options);
        }
        return *program_;
    }

    template <typename Widget>
    Widget* child(QObject* parent, const char* name) {
        auto* found = parent->findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::filesystem::path dir_;
    FakeClock clock_;
    ScriptedTransport register_{clock_};
    RecordingMessageBoxes messages_;
    std::unique_ptr<gui::DesktopProgram> program_;
};

}  // namespace merovan::testing
