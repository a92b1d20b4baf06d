#include "app/shell/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "app/maps/BinOptionsDialogs.h"
#include "app/shell/VXConfigurationUnit.h"

namespace kelvane {

namespace {

// Qt reads the patterns from the parentheses at the end of a name filter.
QString PatternsInParentheses(const QString& description) {
    const QString trimmed = description.trimmed();
    if (!trimmed.endsWith(QLatin1Char(')'))) return {};
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0) return {};
    return trimmed.mid(open + 1, trimmed.size() - open - 2).simplified();
}

}  // namespace

QStringList QtNameFilters(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        // "VX Log Files (*.txt)" already names its pattern; "Maps (16x16)" does
        // not, and would otherwise be read as the pattern "16x16".
        if (PatternsInParentheses(description) == patterns)
            filters << description;
        else
            filters << (description.isEmpty()
                            ? patterns
                            : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

QString TQtPrompts::CaptionOr(const QString& caption) const {
    return caption.isEmpty() ? QApplication::applicationName() : caption;
}

void TQtPrompts::ShowError(const QString& text, const QString& caption) {
    QMessageBox::critical(FParent, CaptionOr(caption), text, QMessageBox::Ok);
}

void TQtPrompts::ShowMessage(const QString& text, const QString& caption) {
    QMessageBox::information(FParent, CaptionOr(caption), text, QMessageBox::Ok);
}

bool TQtPrompts::AskYesNo(const QString& text, const QString& caption) {
    return QMessageBox::question(FParent, CaptionOr(caption), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

TPromptAnswer TQtPrompts::AskYesNoCancel(const QString& text, const QString& caption) {
    const auto answer =
        QMessageBox::question(FParent, CaptionOr(caption), text,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return TPromptAnswer::Yes;
    if (answer == QMessageBox::No) return TPromptAnswer::No;
    return TPromptAnswer::Cancel;
}

namespace {

TFileChoice RunFileDialog(QWidget* parent, const TFileRequest& request, QFileDialog::AcceptMode acceptMode,
                          QFileDialog::FileMode fileMode) {
    QFileDialog dialog(parent, request.Caption);
    dialog.setAcceptMode(acceptMode);
    dialog.setFileMode(fileMode);
    // Qt asks before replacing a file unless told not to; say so plainly.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QStringList filters = QtNameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index =
            request.FilterIndex >= 1 && request.FilterIndex <= filters.size() ? request.FilterIndex : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.InitialFolder.isEmpty()) dialog.setDirectory(request.InitialFolder);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);

    TFileChoice choice;
    choice.FilterIndex = request.FilterIndex;
    if (dialog.exec() != QDialog::Accepted) return choice;
    choice.Files = dialog.selectedFiles();
    const qsizetype chosenFilter = filters.indexOf(dialog.selectedNameFilter());
    if (chosenFilter >= 0) choice.FilterIndex = static_cast<int>(chosenFilter) + 1;
    return choice;
}

}  // namespace

TFileChoice TQtPrompts::OpenFiles(const TFileRequest& request, TFileSelection selection) {
    return RunFileDialog(
        FParent, request, QFileDialog::AcceptOpen,
        selection == TFileSelection::Multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
}

TFileChoice TQtPrompts::SaveFile(const TFileRequest& request) {
    return RunFileDialog(FParent, request, QFileDialog::AcceptSave, QFileDialog::AnyFile);
}

std::optional<QString> TQtPrompts::BrowseFolder(const QString& caption, const QString& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(FParent, caption, initialFolder);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<QString> TQtPrompts::InputText(const QString& caption, const QString& prompt,
                                             const QString& initialText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(FParent, CaptionOr(caption), prompt, QLineEdit::Normal, initialText, &accepted);
    if (!accepted) return std::nullopt;
    return text;
}

std::optional<TEngineSetup> TQtPrompts::AskLogFileOptions(const TEngineSetup& preselection) {
    return kelvane::AskLogFileOptions(FParent, preselection);
}

TBinMapChoice TQtPrompts::ChooseBinMap(TBinDialogKind kind, const std::string& notice) {
    return TBinOptionsChooser(FParent).ChooseMap(kind, notice);
}

}  // namespace kelvane
