#pragma once

#include <QString>
#include <QStringList>

#include "app/document/Prompts.h"

class QWidget;

namespace kelvane {

// "Desc|*.ext|Desc2|*.a;*.b" as Qt name filters: "Desc (*.ext)",
// "Desc2 (*.a *.b)". A description already ending in its own pattern list is
// kept as it is; a last description without a pattern is dropped.
QStringList QtNameFilters(const QString& pipeFilter);

// The real dialogs, owned by the given window.
class TQtPrompts : public TPrompts {
  public:
    explicit TQtPrompts(QWidget* parent) : FParent(parent) {}

    void ShowError(const QString& text, const QString& caption = {}) override;
    void ShowMessage(const QString& text, const QString& caption = {}) override;
    bool AskYesNo(const QString& text, const QString& caption = {}) override;
    TPromptAnswer AskYesNoCancel(const QString& text, const QString& caption = {}) override;
    TFileChoice OpenFiles(const TFileRequest& request, TFileSelection selection) override;
    TFileChoice SaveFile(const TFileRequest& request) override;
    std::optional<QString> BrowseFolder(const QString& caption, const QString& initialFolder) override;
    std::optional<QString> InputText(const QString& caption, const QString& prompt,
                                     const QString& initialText) override;
    std::optional<TEngineSetup> AskLogFileOptions(const TEngineSetup& preselection) override;
    TBinMapChoice ChooseBinMap(TBinDialogKind kind, const std::string& notice) override;

  private:
    QString CaptionOr(const QString& caption) const;

    QWidget* FParent;
};

}  // namespace kelvane
