#include "app/shell/VXStatusUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/document/QtText.h"

namespace kelvane {

namespace {

constexpr std::string_view DeviceProgramTitle = "Vortrix";
constexpr std::string_view DeviceChildText = "Vortrix device";

void AddChildLines(TWindowLookup& lookup, std::uint64_t parent, std::vector<std::string>& lines,
                   std::optional<std::uint64_t>& device) {
    const std::vector<TWindowEntry> children = lookup.ChildWindows(parent);
    for (std::size_t i = 0; i < children.size(); ++i) {
        lines.push_back(std::to_string(i) + ";" + std::to_string(children[i].Handle) + ";" +
                        children[i].Text);
        if (!device && children[i].Text == DeviceChildText) device = children[i].Handle;
    }
}

}  // namespace

TVXStatus ReadVXStatus(TWindowLookup& lookup) {
    TVXStatus status;
    const std::vector<TWindowEntry> windows = lookup.TopLevelWindows();
    const auto main = std::find_if(windows.begin(), windows.end(), [](const TWindowEntry& window) {
        return window.Text == DeviceProgramTitle;
    });
    if (main == windows.end()) return status;
    status.Handle = main->Handle;
    std::optional<std::uint64_t> device;
    AddChildLines(lookup, main->Handle, status.Lines, device);
    if (device) {
        status.Lines.emplace_back("=====");
        std::optional<std::uint64_t> ignored;
        AddChildLines(lookup, *device, status.Lines, ignored);
    }
    return status;
}

TVXStatusForm::TVXStatusForm(std::unique_ptr<TWindowLookup> lookup, QWidget* parent)
    : QWidget(parent, Qt::Window), FLookup(std::move(lookup)) {
    setObjectName(QStringLiteral("VXStatusForm"));
    setWindowTitle(QStringLiteral("Vortrix Status"));
    FHandle = new QLineEdit(this);
    FHandle->setObjectName(QStringLiteral("HandleEdit"));
    FHandle->setReadOnly(true);
    FChildren = new QPlainTextEdit(this);
    FChildren->setObjectName(QStringLiteral("ChildrenMemo"));
    FChildren->setReadOnly(true);
    FChildren->setLineWrapMode(QPlainTextEdit::NoWrap);
    FChildren->setPlaceholderText(QStringLiteral("No \"Vortrix\" window found"));
    FRefreshButton = new QPushButton(QStringLiteral("Refresh"), this);
    FRefreshButton->setObjectName(QStringLiteral("RefreshButton"));
    // Off unless someone wants to watch the device program change.
    FTimer = new QTimer(this);
    FTimer->setInterval(1000);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Window handle:"), this));
    top->addWidget(FHandle, 1);
    top->addWidget(FRefreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FChildren, 1);
    resize(460, 320);

    connect(FRefreshButton, &QPushButton::clicked, this, &TVXStatusForm::Refresh);
    connect(FTimer, &QTimer::timeout, this, &TVXStatusForm::Refresh);
    Refresh();
}

void TVXStatusForm::Refresh() {
    const TVXStatus status = ReadVXStatus(*FLookup);
    FHandle->setText(status.Handle ? QString::number(*status.Handle) : QString());
    QStringList lines;
    for (const std::string& line : status.Lines) lines << FromStd(line);
    FChildren->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace kelvane
