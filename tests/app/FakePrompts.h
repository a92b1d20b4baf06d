#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/document/Prompts.h"

namespace kelvane {

enum class TPromptKind { Error, Message, YesNo, YesNoCancel, OpenFiles, SaveFile, BrowseFolder, InputText };

// One scripted answer. Files, Text and Answer are read by the kinds that
// give them; Accepted false stands for Cancel in the dialogs.
struct TFakeAnswer {
    TPromptKind Kind = TPromptKind::Error;
    TPromptAnswer Answer = TPromptAnswer::Yes;
    QStringList Files;
    int FilterIndex = 1;
    QString Text;
    bool Accepted = true;

    static TFakeAnswer Ok(TPromptKind kind) { return Make(kind); }
    static TFakeAnswer Yes() { return Make(TPromptKind::YesNo, TPromptAnswer::Yes); }
    static TFakeAnswer No() { return Make(TPromptKind::YesNo, TPromptAnswer::No); }
    static TFakeAnswer Choose(TPromptAnswer answer) { return Make(TPromptKind::YesNoCancel, answer); }
    static TFakeAnswer Open(QStringList files, int filterIndex = 1) {
        TFakeAnswer answer = Make(TPromptKind::OpenFiles);
        answer.Files = std::move(files);
        answer.FilterIndex = filterIndex;
        return answer;
    }
    static TFakeAnswer Save(QString file, int filterIndex = 1) {
        TFakeAnswer answer = Make(TPromptKind::SaveFile);
        answer.Files = QStringList{std::move(file)};
        answer.FilterIndex = filterIndex;
        return answer;
    }
    static TFakeAnswer Folder(QString folder) {
        TFakeAnswer answer = Make(TPromptKind::BrowseFolder);
        answer.Text = std::move(folder);
        return answer;
    }
    static TFakeAnswer Input(QString text) {
        TFakeAnswer answer = Make(TPromptKind::InputText);
        answer.Text = std::move(text);
        return answer;
    }
    static TFakeAnswer Cancel(TPromptKind kind) {
        TFakeAnswer answer = Make(kind, TPromptAnswer::Cancel);
        answer.Accepted = false;
        return answer;
    }

  private:
    static TFakeAnswer Make(TPromptKind kind, TPromptAnswer reply = TPromptAnswer::Yes) {
        TFakeAnswer answer;
        answer.Kind = kind;
        answer.Answer = reply;
        return answer;
    }
};

// What the program asked, with every text it gave.
struct TPromptCall {
    TPromptKind Kind = TPromptKind::Error;
    QString Caption;
    QString Text;  // message, question or input prompt
    TFileRequest File;
    bool Multiple = false;
    QString InitialText;  // folder or input
};

// Answers prompts from a queue and records every call. A prompt that finds
// no answer of its kind at the head of the queue fails the running test and
// is answered with Cancel (or No), so a script that runs short never hangs.
class TFakePrompts : public TPrompts {
  public:
    std::deque<TFakeAnswer> Answers;
    std::vector<TPromptCall> Calls;
    // The "Log File Options" window: given the preselection, the setup
    // chosen; nothing stands for Cancel. Unset: the window is not expected.
    std::function<std::optional<TEngineSetup>(const TEngineSetup&)> LogFileOptions;
    std::vector<TEngineSetup> LogFileOptionsAsked;  // the preselections shown
    // Answers of the bin options dialogs, in turn; none left is Cancel.
    std::deque<TBinMapChoice> BinChoices;
    std::vector<std::pair<TBinDialogKind, std::string>> BinMapsAsked;  // kind and notice

    TFakePrompts& Then(TFakeAnswer answer) {
        Answers.push_back(std::move(answer));
        return *this;
    }

    void ShowError(const QString& text, const QString& caption = {}) override {
        Record(Call(TPromptKind::Error, caption, text));
        Next(TPromptKind::Error, false);
    }
    void ShowMessage(const QString& text, const QString& caption = {}) override {
        Record(Call(TPromptKind::Message, caption, text));
        Next(TPromptKind::Message, false);
    }
    bool AskYesNo(const QString& text, const QString& caption = {}) override {
        Record(Call(TPromptKind::YesNo, caption, text));
        const auto answer = Next(TPromptKind::YesNo, true);
        return answer && answer->Answer == TPromptAnswer::Yes;
    }
    TPromptAnswer AskYesNoCancel(const QString& text, const QString& caption = {}) override {
        Record(Call(TPromptKind::YesNoCancel, caption, text));
        const auto answer = Next(TPromptKind::YesNoCancel, true);
        return answer ? answer->Answer : TPromptAnswer::Cancel;
    }
    TFileChoice OpenFiles(const TFileRequest& request, TFileSelection selection) override {
        TPromptCall call = Call(TPromptKind::OpenFiles, request.Caption, {});
        call.File = request;
        call.Multiple = selection == TFileSelection::Multiple;
        Record(std::move(call));
        return FileAnswer(TPromptKind::OpenFiles, request);
    }
    TFileChoice SaveFile(const TFileRequest& request) override {
        TPromptCall call = Call(TPromptKind::SaveFile, request.Caption, {});
        call.File = request;
        Record(std::move(call));
        return FileAnswer(TPromptKind::SaveFile, request);
    }
    std::optional<QString> BrowseFolder(const QString& caption, const QString& initialFolder) override {
        TPromptCall call = Call(TPromptKind::BrowseFolder, caption, {});
        call.InitialText = initialFolder;
        Record(std::move(call));
        return TextAnswer(TPromptKind::BrowseFolder);
    }
    std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                     const QString& initialText) override {
        TPromptCall call = Call(TPromptKind::InputText, caption, prompt);
        call.InitialText = initialText;
        Record(std::move(call));
        return TextAnswer(TPromptKind::InputText);
    }

    std::optional<TEngineSetup> AskLogFileOptions(const TEngineSetup& preselection) override {
        LogFileOptionsAsked.push_back(preselection);
        if (!LogFileOptions) {
            ADD_FAILURE() << "No scripted answer for the Log File Options window";
            return std::nullopt;
        }
        return LogFileOptions(preselection);
    }
    TBinMapChoice ChooseBinMap(TBinDialogKind kind, const std::string& notice) override {
        BinMapsAsked.emplace_back(kind, notice);
        if (BinChoices.empty()) return TBinMapChoice::Cancel;
        const TBinMapChoice choice = BinChoices.front();
        BinChoices.pop_front();
        return choice;
    }

  private:
    static TPromptCall Call(TPromptKind kind, const QString& caption, const QString& text) {
        TPromptCall call;
        call.Kind = kind;
        call.Caption = caption;
        call.Text = text;
        return call;
    }
    void Record(TPromptCall call) { Calls.push_back(std::move(call)); }

    // The head answer when it is of the kind; boxes with only "OK" need none.
    std::optional<TFakeAnswer> Next(TPromptKind kind, bool required) {
        if (!Answers.empty() && Answers.front().Kind == kind) {
            TFakeAnswer answer = Answers.front();
            Answers.pop_front();
            return answer;
        }
        if (required) ADD_FAILURE() << "No scripted answer for prompt kind " << static_cast<int>(kind);
        return std::nullopt;
    }

    TFileChoice FileAnswer(TPromptKind kind, const TFileRequest& request) {
        TFileChoice choice;
        choice.FilterIndex = request.FilterIndex;
        const auto answer = Next(kind, true);
        if (answer && answer->Accepted) {
            choice.Files = answer->Files;
            choice.FilterIndex = answer->FilterIndex;
        }
        return choice;
    }

    std::optional<QString> TextAnswer(TPromptKind kind) {
        const auto answer = Next(kind, true);
        if (!answer || !answer->Accepted) return std::nullopt;
        return answer->Text;
    }
};

}  // namespace kelvane
