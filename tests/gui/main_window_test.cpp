#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "gui_fixture.h"

namespace merovan::testing {
namespace {

using gui::MainWindow;

// What the window draws comes from the presenter; these check the drawing and the wiring.
TEST_F(GuiTest, WindowDrawsThePresenterAndForwardsClicks) {
    gui::DesktopProgram& p = program();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.driver().load());
    EXPECT_EQ(w.findChild<QLabel*>("serialtxt")->text(), "192.168.1.50:5012");
    EXPECT_TRUE(w.findChild<QLabel*>("filetxt")->toolTip().startsWith("Print @Path : "));
    EXPECT_EQ(w.findChild<QPushButton*>("Command3"), nullptr);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(w.findChild<QMenu*>("reports")->menuAction()->isEnabled());

    p.driver().supervisionTick();
    auto* start = w.findChild<QPushButton*>("Command1");
    auto* stop = w.findChild<QPushButton*>("Command2");
    EXPECT_TRUE(start->isDefault());
    EXPECT_EQ(w.windowTitle(), "Merovan- Έτοιμο");
    const int sideWidth = start->parentWidget()->width();
    start->click();
    EXPECT_TRUE(p.driver().polling());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_TRUE(w.findChild<QAction*>("pStart")->isChecked());
    w.findChild<QAction*>("pStop")->trigger();
    EXPECT_FALSE(p.driver().polling());
    EXPECT_TRUE(w.findChild<QAction*>("pStop")->isChecked());
    EXPECT_FALSE(w.findChild<QAction*>("pStart")->isChecked());

    // A long status shows its beginning; the progress text does not move the column.
    p.presenter().setStatus(std::string(200, 'x') + " end");
    EXPECT_EQ(w.findChild<QLineEdit*>("comstattxt")->cursorPosition(), 0);
    p.presenter().setProgressText(" Ολοκληρώθηκε το 100%");
    EXPECT_EQ(start->parentWidget()->width(), sideWidth);
}

TEST_F(GuiTest, NoticesShowUntilSeenAndTheTraceWindowKeepsItsCheckMark) {
    MainWindow& w = program().window();
    w.show();
    const int height = w.height();
    program().presenter().log("Η εργασία διακόπηκε: print.1");
    auto* notice = w.findChild<QLabel*>("lblNotice");
    EXPECT_EQ(notice->text(), "Η εργασία διακόπηκε: print.1");
    EXPECT_GT(w.height(), height);
    w.findChild<QPushButton*>("cmdNoticeSeen")->click();
    EXPECT_FALSE(notice->isVisibleTo(&w));
    EXPECT_EQ(w.height(), height);

    auto* wndDebug = w.findChild<QAction*>("wndDebug");
    wndDebug->trigger();
    ASSERT_NE(w.traceWindow(), nullptr);
    EXPECT_TRUE(wndDebug->isChecked());
    program().presenter().trace("10:00       send:[KXCL]");
    EXPECT_EQ(w.traceWindow()->text(), "\n10:00       send:[KXCL]");
    w.traceWindow()->close();
    QApplication::processEvents();
    EXPECT_FALSE(wndDebug->isChecked());
    EXPECT_FALSE(program().presenter().traceShown());
}

TEST_F(GuiTest, FrameCloseHidesToTrayOnlyWhenThereIsOne) {
    MainWindow& w = program().window();
    w.show();
    EXPECT_FALSE(w.close());
    EXPECT_EQ(w.isVisible(), !w.hasTray());
    w.findChild<QAction*>("fHide")->trigger();
    EXPECT_EQ(w.isVisible(), !w.hasTray());
    program().presenter().setCardWaitShown(true);
    ASSERT_NE(w.cardWaitDialog(), nullptr);
    EXPECT_TRUE(w.cardWaitDialog()->isVisible());
    program().presenter().setCardWaitShown(false);
    EXPECT_FALSE(w.cardWaitDialog()->isVisible());
}

}  // namespace
}  // namespace merovan::testing
