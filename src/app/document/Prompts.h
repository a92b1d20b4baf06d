#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "core/maps/BinMapChooser.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

enum class TPromptAnswer { Yes, No, Cancel };

// A file dialog's request. Filter is in the "Desc|*.ext|Desc2|*.a;*.b" form;
// FilterIndex counts from 1. FileName may be a bare name or a full path.
struct TFileRequest {
    QString Caption;
    QString Filter;
    int FilterIndex = 1;
    QString InitialFolder;
    QString FileName;
};

// How many files an open-file dialog lets the user pick.
enum class TFileSelection { Single, Multiple };

// What a file dialog gave; Files is empty when it was cancelled.
struct TFileChoice {
    QStringList Files;
    int FilterIndex = 1;
    bool Accepted() const { return !Files.isEmpty(); }
};

// Every message box, file dialog, folder dialog, input prompt and question
// window of the program goes through this, so tests can answer them from a
// script without waiting for a window to appear.
class TPrompts {
  public:
    virtual ~TPrompts() = default;

    // A box with an "OK" button: an error, and a plain message.
    virtual void ShowError(const QString& text, const QString& caption = {}) = 0;
    virtual void ShowMessage(const QString& text, const QString& caption = {}) = 0;
    // True for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption = {}) = 0;
    virtual TPromptAnswer AskYesNoCancel(const QString& text, const QString& caption = {}) = 0;
    virtual TFileChoice OpenFiles(const TFileRequest& request, TFileSelection selection) = 0;
    // Asks before replacing an existing file.
    virtual TFileChoice SaveFile(const TFileRequest& request) = 0;
    // Nothing when cancelled.
    virtual std::optional<QString> BrowseFolder(const QString& caption, const QString& initialFolder) = 0;
    virtual std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                             const QString& initialText) = 0;
    // The "Log File Options" window; nothing when cancelled.
    virtual std::optional<TEngineSetup> AskLogFileOptions(const TEngineSetup& preselection) = 0;
    // The bin options dialog of the kind; notice empty hides the notice.
    virtual TBinMapChoice ChooseBinMap(TBinDialogKind kind, const std::string& notice) = 0;
};

// A bin map chooser that asks through the prompts.
class TPromptedBinChooser : public TBinMapChooser {
  public:
    explicit TPromptedBinChooser(TPrompts& prompts) : FPrompts(prompts) {}
    TBinMapChoice ChooseMap(TBinDialogKind kind, const std::string& notice) override {
        return FPrompts.ChooseBinMap(kind, notice);
    }

  private:
    TPrompts& FPrompts;
};

}  // namespace kelvane
