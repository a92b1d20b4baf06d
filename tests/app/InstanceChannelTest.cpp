#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <future>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "app/shell/InstanceChannel.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

const QString DeviceLog = QStringLiteral(KELVANE_FIXTURES "/logs/DeviceLog.txt");
const QString CommaLog = QStringLiteral(KELVANE_FIXTURES "/logs/CommaLog.txt");

QString UniqueName() {
    return QStringLiteral("KelvaneTest-") + QUuid::createUuid().toString(QUuid::Id128);
}

// The later start blocks, so it runs beside the event loop of the running copy.
THandOver HandOverWhileRunning(const QString& name, const QStringList& files, int timeoutMs = 5000) {
    auto later =
        std::async(std::launch::async, [&] { return HandOverToRunningCopy(name, files, timeoutMs); });
    while (later.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return later.get();
}

TEST(InstanceChannelTest, ALaterStartHandsItsFilesToTheRunningCopy) {
    const QString name = UniqueName();
    EXPECT_EQ(HandOverToRunningCopy(name, {DeviceLog}), THandOver::NoRunningCopy);

    TInstanceServer running;
    ASSERT_TRUE(running.Listen(name));
    TInstanceServer second;
    EXPECT_FALSE(second.Listen(name));

    QSignalSpy handed(&running, &TInstanceServer::FilesHandedOver);
    // Relative names reach the running copy as full paths.
    const QString relative = QDir::current().relativeFilePath(CommaLog);
    EXPECT_EQ(HandOverWhileRunning(name, {DeviceLog, relative}), THandOver::HandedOver);
    QTRY_COMPARE(handed.count(), 1);
    EXPECT_EQ(handed.at(0).at(0).toStringList(),
              (QStringList{DeviceLog, QFileInfo(CommaLog).absoluteFilePath()}));

    EXPECT_EQ(HandOverWhileRunning(name, {}), THandOver::HandedOver);
    QTRY_COMPARE(handed.count(), 2);
    EXPECT_TRUE(handed.at(1).at(0).toStringList().isEmpty());
}

TEST(InstanceChannelTest, ACopyThatDoesNotAnswerIsAFailedHandOver) {
    const QString name = UniqueName();
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(name));
    EXPECT_EQ(HandOverWhileRunning(name, {DeviceLog}, 300), THandOver::Failed);
}

TEST(InstanceChannelTest, HandedOverFilesJoinThePlotThroughTheOptionsWindow) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestFormOptions(prompts, folder.Path()));
    prompts.LogFileOptions = [](const TEngineSetup& preselection) { return std::optional(preselection); };
    form.OpenLogFilesAsNewPlot({CommaLog});
    const std::size_t before = form.State().Logs.Data.Count();
    prompts.LogFileOptionsAsked.clear();

    form.TakeHandedOverFiles({DeviceLog});

    EXPECT_EQ(prompts.LogFileOptionsAsked.size(), 1u);
    EXPECT_EQ(form.State().Logs.Data.Count(), before + 3);
    EXPECT_EQ(form.StatusPanel(0)->text().left(12), QStringLiteral("2 files open"));
}

TEST(InstanceChannelTest, ASecondCopyWritesNoSettingsAtExitAndSaysSo) {
    for (const bool secondCopy : {false, true}) {
        SCOPED_TRACE(secondCopy);
        TTempFolder folder;
        TFakePrompts prompts;
        TMainFormOptions options = TestFormOptions(prompts, folder.Path());
        options.SecondCopy = secondCopy;
        TMainForm form(std::move(options));
        form.show();
        const auto* notice = form.findChild<QLabel*>(QStringLiteral("SecondCopyNotice"));
        EXPECT_EQ(notice != nullptr, secondCopy);
        if (notice) {
            EXPECT_TRUE(notice->text().contains(QStringLiteral("does not save its settings")));
        }
        form.close();
        EXPECT_EQ(form.Store().Main().ValueExists("Main Window", "Window Size"), !secondCopy);
        EXPECT_EQ(form.Store().Main().SectionExists("Filter"), !secondCopy);
    }
}

}  // namespace
}  // namespace kelvane
