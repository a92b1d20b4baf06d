#include "app/shell/StartupWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "core/ground/IniFile2.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {

TStartupForm::TStartupForm(const QString& programName, const QString& versionText, TIniFile2& mainSettings,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      FMainSettings(mainSettings) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);

    FNameLabel = new QLabel(programName, frame);
    QFont nameFont = FNameLabel->font();
    nameFont.setPointSize(nameFont.pointSize() * 2);
    nameFont.setBold(true);
    FNameLabel->setFont(nameFont);
    FNameLabel->setAlignment(Qt::AlignCenter);
    FVersionLabel = new QLabel(QString::fromStdString(StartupVersionText(versionText.toStdString())), frame);
    FVersionLabel->setAlignment(Qt::AlignCenter);
    FQuitBox =
        new QCheckBox(QString::fromLatin1(StartupQuitCaption.data(), StartupQuitCaption.size()), frame);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 18, 24, 12);
    inner->addWidget(FNameLabel);
    inner->addWidget(FVersionLabel);
    inner->addSpacing(18);
    inner->addWidget(FQuitBox);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    // The check box takes no keys, so that any key closes the window.
    FQuitBox->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    FTimer = new QTimer(this);
    FTimer->setInterval(1000);
    connect(FTimer, &QTimer::timeout, this, [this] { Tick(std::chrono::steady_clock::now()); });
}

void TStartupForm::ShowCentredOn(QWidget* owner) {
    adjustSize();
    QScreen* screen = owner ? owner->screen() : this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, width(), height());
    const QRect ownerRect = owner ? owner->frameGeometry() : area;
    const TWindowSize placed =
        CentreWithin({ownerRect.x(), ownerRect.y(), ownerRect.width(), ownerRect.height()}, width(), height(),
                     {area.x(), area.y(), area.width(), area.height()});
    move(placed.Left, placed.Top);
    show();
    raise();
    activateWindow();
}

void TStartupForm::Tick(std::chrono::steady_clock::time_point now) {
    if (isVisible() && StartupWindowExpired(FShownAt, now)) close();
}

void TStartupForm::showEvent(QShowEvent* event) {
    FShownAt = std::chrono::steady_clock::now();
    FTimer->start();
    // Watches every window shown while this one is up.
    qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void TStartupForm::closeEvent(QCloseEvent* event) {
    FTimer->stop();
    qApp->removeEventFilter(this);
    if (!StartupWindowClosing(FMainSettings, FQuitBox->isChecked()))
        emit WriteFailed(QString::fromStdString(WriteFailureText(FMainSettings)));
    QWidget::closeEvent(event);
}

void TStartupForm::keyPressEvent(QKeyEvent*) {
    close();
}

void TStartupForm::mouseDoubleClickEvent(QMouseEvent*) {
    close();
}

bool TStartupForm::eventFilter(QObject* watched, QEvent* event) {
    // Stay-on-top, it would hide a modal window the user must answer and
    // cannot reach until this one has gone.
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal() && isVisible()) close();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kelvane
