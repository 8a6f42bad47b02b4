#include "gui_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace merovan::testing {

GuiTest::GuiTest() {
    app();
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("merovan-gui-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    writeParam("param_tar48.ini");
}

GuiTest::~GuiTest() {
    program_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

QApplication& GuiTest::app() {
    // Without a display Qt would abort; offscreen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

void GuiTest::writeParam(const std::string& fixture,
                         const std::map<std::string, std::string>& lines) {
    std::ifstream in(std::string(MEROVAN_FIXTURES_DIR) + "/settings/" + fixture, std::ios::binary);
    std::ofstream out(dir_ / "param.ini", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        for (const auto& [key, replacement] : lines) {
            if (line.starts_with(key)) {
                line = replacement + "\r";
            }
        }
        out << line << "\n";
    }
}

std::string GuiTest::readFile(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

gui::GuiContext GuiTest::context() {
    return gui::GuiContext{dir_.string(), clock_, messages_, ","};
}

gui::DesktopProgram& GuiTest::program() {
    if (!program_) {
        driver::DriverServices services;
        services.transports = register_.factory();
        driver::DriverOptions options;
        options.workDir = dir_.string();
        options.endMarker = (dir_ / "end.txt").string();
        program_ = std::make_unique<gui::DesktopProgram>(context(), services, options);
    }
    return *program_;
}

}  // namespace merovan::testing
