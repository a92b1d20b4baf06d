#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <map>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/platform/WindowLookup.h"
#include "app/shell/VXStatusUnit.h"
#include "core/ground/ProgramFolders.h"
#include "support/TempFolder.h"

#ifdef KELVANE_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace kelvane {
namespace {

// Windows by handle; 0 is the screen.
class TFakeWindowLookup : public TWindowLookup {
  public:
    std::map<std::uint64_t, std::vector<TWindowEntry>> Children;
    int Reads = 0;

    std::vector<TWindowEntry> TopLevelWindows() override {
        ++Reads;
        return Children[0];
    }
    std::vector<TWindowEntry> ChildWindows(std::uint64_t handle) override { return Children[handle]; }
};

std::unique_ptr<TFakeWindowLookup> DeviceProgram() {
    auto lookup = std::make_unique<TFakeWindowLookup>();
    lookup->Children[0] = {{11, "Terminal"}, {42, "Vortrix"}, {43, "Vortrix"}};
    lookup->Children[42] = {{100, "Connect"}, {101, "Vortrix device"}, {102, ""}};
    lookup->Children[101] = {{200, "RPM 850"}, {201, "AFR 14.7"}};
    lookup->Children[43] = {{300, "second window"}};
    return lookup;
}

void SaveScreenshot(QWidget& window, const QString& name) {
    if (const QByteArray folder = qgetenv("KELVANE_SCREENSHOT_DIR"); !folder.isEmpty()) {
        window.show();
        QCoreApplication::processEvents();
        window.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name));
    }
}

TEST(ReadVXStatusTest, ChildrenOfTheDeviceProgramAndOfItsDeviceWindow) {
    const struct {
        std::map<std::uint64_t, std::vector<TWindowEntry>> Windows;
        std::optional<std::uint64_t> Handle;
        std::vector<std::string> Lines;
    } cases[] = {
        {{}, std::nullopt, {}},
        {{{0, {{1, "vortrix"}, {2, "Vortrix 2"}}}}, std::nullopt, {}},
        {{{0, {{5, "Vortrix"}}}}, 5, {}},
        {{{0, {{5, "Vortrix"}}}, {5, {{6, "A"}, {7, "B"}}}}, 5, {"0;6;A", "1;7;B"}},
        {DeviceProgram()->Children,
         42,
         {"0;100;Connect", "1;101;Vortrix device", "2;102;", "=====", "0;200;RPM 850", "1;201;AFR 14.7"}},
    };
    for (const auto& c : cases) {
        TFakeWindowLookup lookup;
        lookup.Children = c.Windows;
        const TVXStatus status = ReadVXStatus(lookup);
        EXPECT_EQ(status.Handle, c.Handle);
        EXPECT_EQ(status.Lines, c.Lines);
    }
}

TEST(VXStatusFormTest, ShowsTheDeviceProgramAndRefreshesOnTheButton) {
    auto owned = DeviceProgram();
    TFakeWindowLookup* lookup = owned.get();
    TVXStatusForm form(std::move(owned));
    EXPECT_EQ(form.windowTitle(), "Vortrix Status");
    EXPECT_EQ(form.HandleBox()->text(), "42");
    EXPECT_EQ(form.ChildrenBox()->toPlainText(),
              "0;100;Connect\n1;101;Vortrix device\n2;102;\n=====\n0;200;RPM 850\n1;201;AFR 14.7");
    EXPECT_FALSE(form.RefreshTimer()->isActive());
    SaveScreenshot(form, QStringLiteral("vxstatus-device.png"));

    // The device program ends: the window empties on the next refresh.
    lookup->Children.clear();
    form.RefreshButton()->click();
    EXPECT_EQ(lookup->Reads, 2);
    EXPECT_TRUE(form.HandleBox()->text().isEmpty());
    EXPECT_TRUE(form.ChildrenBox()->toPlainText().isEmpty());
}

TEST(VXStatusFormTest, WithoutAWindowSystemToReadNothingIsFound) {
    // Offscreen there are no other programs' windows to read.
    TVXStatusForm form(MakeWindowLookup());
    EXPECT_TRUE(form.HandleBox()->text().isEmpty());
    EXPECT_TRUE(form.ChildrenBox()->toPlainText().isEmpty());
    EXPECT_EQ(form.ChildrenBox()->placeholderText(), "No \"Vortrix\" window found");
    SaveScreenshot(form, QStringLiteral("vxstatus-none.png"));
}

// Needs an X display (QT_QPA_PLATFORM=xcb); skipped offscreen.
TEST(X11WindowLookupTest, FindsTheDeviceWindowAndSurvivesVanishedWindows) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "no X display";
    std::unique_ptr<TWindowLookup> lookup = MakeX11WindowLookup();
    ASSERT_NE(lookup, nullptr);
    QWidget device;
    device.setWindowTitle(QStringLiteral("Vortrix"));
    auto* child = new QWidget(&device);
    child->setAttribute(Qt::WA_NativeWindow);
    device.resize(200, 100);
    device.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&device));
    // A child widget's own title does not reach its native window.
    child->windowHandle()->setTitle(QStringLiteral("Vortrix device"));
    QCoreApplication::processEvents();

    const TVXStatus status = ReadVXStatus(*lookup);
    ASSERT_TRUE(status.Handle);
    EXPECT_EQ(*status.Handle, device.winId());
    const std::string childLine = ";" + std::to_string(child->winId()) + ";Vortrix device";
    EXPECT_NE(std::find_if(status.Lines.begin(), status.Lines.end(),
                           [&](const std::string& line) { return line.ends_with(childLine); }),
              status.Lines.end());
#ifdef KELVANE_HAVE_X11
    // A window that is gone: under X11's default error handler, which ends
    // the program, the lookup still returns, and leaves that handler in place.
    const XErrorHandler toolkitHandler = XSetErrorHandler(nullptr);
    const XErrorHandler defaultHandler = XSetErrorHandler(nullptr);
    EXPECT_TRUE(lookup->ChildWindows(0x1FFFFFFF).empty());
    EXPECT_EQ(XSetErrorHandler(toolkitHandler), defaultHandler);
#endif
}

TEST(MainFormUpdatesTest, VXStatusItemOpensOneStatusWindow) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainFormOptions options = TestFormOptions(prompts, folder.Path());
    // The item shows (and works) only with the "Text" argument.
    options.Program = MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(), {"Text"});
    TMainForm form(std::move(options));
    ASSERT_TRUE(form.VXStatus1()->isEnabled());
    form.VXStatus1()->trigger();
    TVXStatusForm* status = form.VXStatusForm();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    form.VXStatus1()->trigger();
    EXPECT_EQ(form.VXStatusForm(), status);
    status->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.VXStatusForm(), nullptr);
}

}  // namespace
}  // namespace kelvane
