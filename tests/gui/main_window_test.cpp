#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <tuple>

#include "core/jobs/progress_indicator.h"
#include "gui_fixture.h"

namespace merovan::testing {
namespace {

using gui::MainWindow;
using Piece = ScriptedTransport::Piece;

QString labelText(QWidget& window, const char* name) {
    auto* label = window.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString("<missing>");
}

bool actionOn(MainWindow& window, const char* name, bool checked = false) {
    auto* action = window.findChild<QAction*>(name);
    if (action == nullptr) {
        action = window.findChild<QMenu*>(name)->menuAction();
    }
    return checked ? action->isChecked() : action->isEnabled();
}

TEST_F(GuiTest, StartUpShowsTheSettingsInForce) {
    using Case = std::tuple<const char*, const char*, QString, QString>;
    for (const auto& [currency, printDesc, currtxt, desctxt] : {
             Case{"0", "true", "Κύριο Νόμισμα", "Να Εκτυπώνεται"},
             Case{"1", "false", "Κύριο Νόμισμα", "Να ΜΗΝ Εκτυπώνεται"},
             Case{"2", "true", "Δευτερεύων Νομισμα", "Να Εκτυπώνεται"},
             // An unknown payment setting leaves the label as designed.
             Case{"3", "tru", "", "Να ΜΗΝ Εκτυπώνεται"},
         }) {
        writeParam("param_tar48.ini", {{"[currency]", std::string("[currency]=") + currency},
                                       {"[print_desc]", std::string("[print_desc] ") + printDesc}});
        resetProgram();
        ASSERT_TRUE(program().driver().load());
        EXPECT_EQ(labelText(program().window(), "currtxt"), currtxt) << currency;
        EXPECT_EQ(labelText(program().window(), "desctxt"), desctxt) << printDesc;
    }
    MainWindow& w = program().window();
    EXPECT_EQ(labelText(w, "serialtxt"), "192.168.1.50:5012");
    EXPECT_EQ(labelText(w, "filetxt"), "Print @Path : ");
    EXPECT_EQ(labelText(w, "commentstxt"), "Οχι");
    EXPECT_EQ(labelText(w, "ecrtxt"), "tar48");
    EXPECT_EQ(w.findChild<QLineEdit*>("comstattxt")->text(), "Εύρεση Φορολογικής Ταμειακής !!! ");
    EXPECT_FALSE(w.findChild<QPushButton*>("Command3")->isVisibleTo(&w));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(GuiTest, ButtonsCaptionsMenusAndTrayChecksFollowTheDriver) {
    gui::DesktopProgram& p = program();
    MainWindow& w = p.window();
    auto* startButton = w.findChild<QPushButton*>("Command1");
    auto* stopButton = w.findChild<QPushButton*>("Command2");
    const auto silence = [&] {
        register_.setResponder([](const std::string&) { return std::vector<Piece>{}; });
        for (int tick = 0; tick < 5; ++tick) {
            p.driver().supervisionTick();
        }
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        QString caption;
        bool start, stop, reports, settings, pStart, pStop;
    };
    const Step steps[] = {
        {"searching", [&] { ASSERT_TRUE(p.driver().load()); }, "Merovan- Αναζήτηση", false, false,
         true, true, false, false},
        {"ready", [&] { p.driver().supervisionTick(); }, "Merovan- Έτοιμο", true, false, true, true,
         false, true},
        {"polling", [&] { startButton->click(); }, "Merovan- Αναμονή", false, true, false, false,
         true, false},
        {"stopped", [&] { stopButton->click(); }, "Merovan- Διακόπηκε", true, false, true, true,
         false, true},
        {"polling from the tray", [&] { w.findChild<QAction*>("pStart")->trigger(); },
         "Merovan- Αναμονή", false, true, false, false, true, false},
        {"stopped from the tray", [&] { w.findChild<QAction*>("pStop")->trigger(); },
         "Merovan- Διακόπηκε", true, false, true, true, false, true},
        {"off-line", silence, "Merovan- Λάθος!", false, false, false, true, false, false},
    };
    for (const auto& step : steps) {
        step.act();
        p.driver().housekeepingTick();
        EXPECT_EQ(w.windowTitle(), step.caption) << step.what;
        EXPECT_EQ(startButton->isEnabled(), step.start) << step.what;
        EXPECT_EQ(stopButton->isEnabled(), step.stop) << step.what;
        EXPECT_EQ(actionOn(w, "reports"), step.reports) << step.what;
        EXPECT_EQ(actionOn(w, "Settings"), step.settings) << step.what;
        EXPECT_EQ(actionOn(w, "pStart", true), step.pStart) << step.what;
        EXPECT_EQ(actionOn(w, "pStop", true), step.pStop) << step.what;
    }
    EXPECT_FALSE(actionOn(w, "zreports"));
    EXPECT_FALSE(actionOn(w, "mZREp"));
}

TEST_F(GuiTest, ProgressLabelAndCardWaitCounter) {
    MainWindow& w = program().window();
    jobs::ProgressIndicator progress(program().op());
    progress.setMax(3);
    const std::pair<int, QString> values[] = {
        {1, " Ολοκληρώθηκε το 33%"}, {2, " Ολοκληρώθηκε το 67%"}, {0, "-"}};
    for (const auto& [value, text] : values) {
        progress.setValue(value);
        EXPECT_EQ(labelText(w, "lblProgr"), text);
    }

    int now = 36000;
    gui::EftWaitDialog wait([&now] { return now; });
    wait.start();
    EXPECT_EQ(wait.windowTitle(), "Συναλλαγή EFTPOS");
    auto* lblErr = wait.findChild<QLabel*>("lblErr");
    EXPECT_EQ(lblErr->text(), "Αναμονή Απάντησης EFTPOS");
    for (const auto& [elapsed, text] :
         {std::pair{7, "Αναμονή EFTPOS [07]"}, std::pair{125, "Αναμονή EFTPOS [125]"}}) {
        now = 36000 + elapsed;
        wait.TmrCom();
        EXPECT_EQ(lblErr->text(), QString(text));
    }
    program().op().setCardWaitShown(true);
    ASSERT_NE(w.cardWaitDialog(), nullptr);
    EXPECT_TRUE(w.cardWaitDialog()->isVisible());
    program().op().setCardWaitShown(false);
    EXPECT_FALSE(w.cardWaitDialog()->isVisible());
}

TEST_F(GuiTest, TraceWindowKeepsItsCheckMarkInStep) {
    MainWindow& w = program().window();
    auto* wndDebug = w.findChild<QAction*>("wndDebug");
    program().op().trace("before");
    wndDebug->trigger();
    ASSERT_NE(w.debugWindow(), nullptr);
    EXPECT_TRUE(wndDebug->isChecked());
    program().op().trace("10:00       send:[KXCL]");
    EXPECT_EQ(w.debugWindow()->text(), "\n10:00       send:[KXCL]");

    w.debugWindow()->close();
    QApplication::processEvents();
    EXPECT_FALSE(wndDebug->isChecked());
    EXPECT_FALSE(w.debugOn());
    wndDebug->trigger();
    ASSERT_NE(w.debugWindow(), nullptr);
    EXPECT_EQ(w.debugWindow()->text(), "");

    for (int line = 1; line <= gui::DebugWindow::kMaxLines + 50; ++line) {
        w.appendTrace(QString::number(line));
    }
    const QStringList lines = w.debugWindow()->text().split('\n');
    EXPECT_EQ(lines.size(), gui::DebugWindow::kMaxLines);
    EXPECT_EQ(lines.back(), QString::number(gui::DebugWindow::kMaxLines + 50));
    wndDebug->trigger();
    EXPECT_FALSE(wndDebug->isChecked());
}

TEST_F(GuiTest, FrameCloseHidesToTrayOnlyWhenThereIsOne) {
    MainWindow& w = program().window();
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_EQ(w.isVisible(), !w.hasTray());
    w.findChild<QAction*>("fHide")->trigger();
    EXPECT_EQ(w.isVisible(), !w.hasTray());
}

}  // namespace
}  // namespace merovan::testing
