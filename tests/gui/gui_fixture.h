#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/desktop_program.h"
#include "support/fake_clock.h"
#include "support/scripted_transport.h"

// Lets a failed comparison of window texts show them as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace merovan::testing {

// Answers every message box at once with OK and keeps what it was asked to show.
class RecordingPresenter final : public gui::MessagePresenter {
  public:
    int show(QWidget*, const common::MessageBox& box) override {
        boxes.push_back(box);
        return common::answers::kOk;
    }
    std::vector<common::MessageBox> boxes;
};

// A working directory of its own with param.ini, the desktop program over a scripted register
// and a fake clock. The driver runs on the test's thread unless a test starts its thread.
class GuiTest : public ::testing::Test {
  protected:
    GuiTest();
    ~GuiTest() override;

    static QApplication& app();
    // A fixture param.ini with some lines replaced: key (as the line begins) -> whole line.
    void writeParam(const std::string& fixture,
                    const std::map<std::string, std::string>& lines = {});
    std::string readFile(const std::string& name) const;
    gui::GuiContext context();
    gui::DesktopProgram& program();
    void resetProgram() { program_.reset(); }

    template <typename Widget>
    Widget* child(QObject* parent, const char* name) {
        auto* found = parent->findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::filesystem::path dir_;
    FakeClock clock_;
    ScriptedTransport register_{clock_};
    RecordingPresenter messages_;
    std::unique_ptr<gui::DesktopProgram> program_;
};

}  // namespace merovan::testing
