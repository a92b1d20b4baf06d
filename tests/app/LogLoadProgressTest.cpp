#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "../bench/GeneratedLog.h"
#include "app/logdata/LogLoadProgress.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

constexpr std::size_t LogSamples = 3000;                 // about 360 KB
constexpr std::uint64_t Step = std::uint64_t{32} << 10;  // about a dozen reports

class LogLoadProgressTest : public testing::Test {
  protected:
    void SetUp() override {
        FLog = FFolder.Path() / "Run3.txt";
        ASSERT_TRUE(WriteGeneratedLog(FLog, LogSamples));
        FWindow.resize(400, 300);
        FWindow.show();
    }
    static TLoadLogOptions Options() {
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        options.ProgressStep = Step;
        return options;
    }
    // Another log already in the plot, so a load appends to a list that has samples.
    void LoadFirstLog(TLogState& state) {
        const auto first = FFolder.Path() / "Run1.txt";
        ASSERT_TRUE(WriteGeneratedLog(first, 500, 7));
        ASSERT_TRUE(LoadLogFile(state, first, Options()).Loaded);
    }

    TTempFolder FFolder;
    std::filesystem::path FLog;
    QWidget FWindow;
};

TEST_F(LogLoadProgressTest, CompletedLoadMatchesThePlainLoad) {
    TLogState plain, shown;
    LoadFirstLog(plain);
    LoadFirstLog(shown);
    const TLoadLogResult expected = LoadLogFile(plain, FLog, Options());
    ASSERT_TRUE(expected.Loaded);

    std::vector<int> values;
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    const TLoadLogResult result =
        LoadLogFileWithProgress(&FWindow, shown, FLog, Options(), [&](QProgressDialog& dialog) {
            // The last step, once the file is read, is told as its own.
            EXPECT_EQ(dialog.labelText(), dialog.value() < 100 ? QStringLiteral("Reading Run3.txt")
                                                               : QStringLiteral("Preparing the plot"));
            EXPECT_EQ(dialog.minimum(), 0);
            EXPECT_EQ(dialog.maximum(), 100);
            EXPECT_EQ(dialog.minimumDuration(), 500);
            EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
            EXPECT_EQ(dialog.parentWidget(), &FWindow);
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            values.push_back(dialog.value());
        });

    EXPECT_TRUE(timerRan);  // events ran during the load
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_GE(values.size(), 5u);
    for (std::size_t i = 1; i < values.size(); ++i) EXPECT_GE(values[i], values[i - 1]);
    EXPECT_EQ(values.back(), 100);

    EXPECT_TRUE(result.Loaded);
    EXPECT_FALSE(result.Cancelled);
    EXPECT_EQ(result.SamplesAdded, expected.SamplesAdded);
    ASSERT_EQ(shown.Data.Count(), plain.Data.Count());
    for (std::size_t i : {std::size_t{0}, std::size_t{499}, std::size_t{500}, plain.Data.Count() - 1}) {
        EXPECT_EQ(shown.Data[i].Rpm, plain.Data[i].Rpm);
        EXPECT_EQ(shown.Data[i].TimeStamp, plain.Data[i].TimeStamp);
        EXPECT_EQ(shown.Data[i].SmoothedAfr, plain.Data[i].SmoothedAfr);
        EXPECT_EQ(shown.Data[i].RawOffset, plain.Data[i].RawOffset);
        EXPECT_EQ(shown.Data[i].RawLength, plain.Data[i].RawLength);
    }
    EXPECT_EQ(shown.OpenFiles.Count(), 2u);
    EXPECT_EQ(shown.ColumnPresent, plain.ColumnPresent);
}

TEST_F(LogLoadProgressTest, CancelButtonLeavesTheStateUnchanged) {
    TLogState state;
    LoadFirstLog(state);
    // The file is open already: a cancelled re-read keeps its old samples.
    ASSERT_TRUE(LoadLogFile(state, FLog, Options()).Loaded);
    ASSERT_TRUE(WriteGeneratedLog(FLog, LogSamples + 100, 3));
    const std::size_t count = state.Data.Count();
    const TColumnSet columns = state.ColumnPresent;
    const std::string openFiles = state.OpenFiles.Name(1) + "=" + state.OpenFiles.ValueAt(1);
    const double lastRpm = state.Data[count - 1].Rpm;

    int reports = 0;
    const TLoadLogResult result =
        LoadLogFileWithProgress(&FWindow, state, FLog, Options(), [&](QProgressDialog& dialog) {
            if (++reports < 3) return;
            QPushButton* cancel = dialog.findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), "Cancel");
            cancel->click();
        });

    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_FALSE(result.Loaded);
    EXPECT_TRUE(result.Message.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(state.Data.Count(), count);
    EXPECT_EQ(state.Data[count - 1].Rpm, lastRpm);
    EXPECT_EQ(state.ColumnPresent, columns);
    ASSERT_EQ(state.OpenFiles.Count(), 2u);
    EXPECT_EQ(state.OpenFiles.Name(1) + "=" + state.OpenFiles.ValueAt(1), openFiles);
}

TEST_F(LogLoadProgressTest, ALongLoadShowsTheDialog) {
    TLogState state;
    TLoadLogOptions options = Options();
    // Slowed down past the half second after which the dialog appears.
    options.Progress = [](std::uint64_t, std::uint64_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(70));
        return true;
    };
    bool shown = false;
    const TLoadLogResult result =
        LoadLogFileWithProgress(&FWindow, state, FLog, options,
                                [&](QProgressDialog& dialog) { shown = shown || dialog.isVisible(); });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(result.Loaded);
}

TEST_F(LogLoadProgressTest, CallersOwnProgressCanCancel) {
    TLogState state;
    TLoadLogOptions options = Options();
    int calls = 0;
    options.Progress = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
    const TLoadLogResult result = LoadLogFileWithProgress(&FWindow, state, FLog, options);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_TRUE(state.Data.Empty());
    EXPECT_EQ(state.OpenFiles.Count(), 0u);
}

}  // namespace
}  // namespace kelvane
