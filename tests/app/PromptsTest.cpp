#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "FakePrompts.h"
#include "app/shell/QtPrompts.h"

namespace kelvane {
namespace {

TEST(PromptsFilterTest, PipeFiltersBecomeQtNameFilters) {
    struct TCase {
        QString Pipe;
        QStringList Expected;
    };
    const std::vector<TCase> cases = {
        {"VX Log Files (*.txt)|*.txt|All Files (*.*)|*.*", {"VX Log Files (*.txt)", "All Files (*.*)"}},
        {"Map files|*.txt", {"Map files (*.txt)"}},
        {"Bin and map|*.bin;*.txt", {"Bin and map (*.bin *.txt)"}},
        {"Bin and map (*.bin;*.txt)|*.bin;*.txt", {"Bin and map (*.bin;*.txt) (*.bin *.txt)"}},
        // Parentheses that are not the pattern must not be read as one.
        {"Maps (16x16)|*.txt", {"Maps (16x16) (*.txt)"}},
        {"Text (*.txt)|*.csv", {"Text (*.txt) (*.csv)"}},
        {"Dangling|*.txt|No pattern", {"Dangling (*.txt)"}},
        {"Empty pattern|", {"Empty pattern (*)"}},
        {"", {}},
    };
    for (const TCase& c : cases) EXPECT_EQ(QtNameFilters(c.Pipe), c.Expected) << c.Pipe.toStdString();
}

TEST(FakePromptsTest, AnswersInOrderAndRecordsEveryText) {
    TFakePrompts prompts;
    prompts.Then(TFakeAnswer::Open({"/logs/a.txt", "/logs/b.txt"}, 2))
        .Then(TFakeAnswer::No())
        .Then(TFakeAnswer::Choose(TPromptAnswer::Cancel))
        .Then(TFakeAnswer::Cancel(TPromptKind::SaveFile))
        .Then(TFakeAnswer::Folder("/projects"))
        .Then(TFakeAnswer::Input("Session 2"));
    TPrompts& asked = prompts;

    const TFileChoice opened =
        asked.OpenFiles({"Open", "VX Log Files (*.txt)|*.txt", 1, "/logs", ""}, TFileSelection::Multiple);
    EXPECT_EQ(opened.Files, (QStringList{"/logs/a.txt", "/logs/b.txt"}));
    EXPECT_EQ(opened.FilterIndex, 2);
    asked.ShowError("The following headers were not found in the log file: ");
    EXPECT_FALSE(asked.AskYesNo("Save adjusted maps?", "Kelvane"));
    EXPECT_EQ(asked.AskYesNoCancel("Save?"), TPromptAnswer::Cancel);
    const TFileChoice saved = asked.SaveFile({"Save", "Map files|*.txt", 1, "/maps", "map.txt"});
    EXPECT_FALSE(saved.Accepted());
    EXPECT_EQ(asked.BrowseFolder("Project folder", "/home"), QString("/projects"));
    EXPECT_EQ(asked.InputText("New session", "Name:", "Session 1"), QString("Session 2"));
    EXPECT_TRUE(prompts.Answers.empty());

    ASSERT_EQ(prompts.Calls.size(), 7u);
    EXPECT_EQ(prompts.Calls[0].Kind, TPromptKind::OpenFiles);
    EXPECT_TRUE(prompts.Calls[0].Multiple);
    EXPECT_EQ(prompts.Calls[0].File.Filter, "VX Log Files (*.txt)|*.txt");
    EXPECT_EQ(prompts.Calls[0].File.InitialFolder, "/logs");
    EXPECT_EQ(prompts.Calls[1].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[1].Text, "The following headers were not found in the log file: ");
    EXPECT_EQ(prompts.Calls[2].Caption, "Kelvane");
    EXPECT_EQ(prompts.Calls[4].File.FileName, "map.txt");
    EXPECT_EQ(prompts.Calls[5].InitialText, "/home");
    EXPECT_EQ(prompts.Calls[6].Text, "Name:");
    EXPECT_EQ(prompts.Calls[6].InitialText, "Session 1");
}

TEST(FakePromptsTest, MissingAnswerFailsTheTestAndCancels) {
    TFakePrompts prompts;
    prompts.Then(TFakeAnswer::Yes());
    bool opened = true;
    EXPECT_NONFATAL_FAILURE(opened = prompts.OpenFiles({}, TFileSelection::Single).Accepted(),
                            "No scripted answer");
    EXPECT_FALSE(opened);
    // The unused Yes stays for the prompt it was meant for.
    EXPECT_TRUE(prompts.AskYesNo("Really?"));
}

// The real box is built with the texts given and its answer is passed back.
TEST(QtPromptsTest, YesNoCancelBoxReturnsTheClickedButton) {
    QWidget owner;
    TQtPrompts prompts(&owner);
    QString shownText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(prompts.AskYesNoCancel("Save the adjusted fuel map?", "Kelvane"), TPromptAnswer::No);
    EXPECT_EQ(shownText, "Save the adjusted fuel map?");
}

}  // namespace
}  // namespace kelvane
