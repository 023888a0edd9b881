#include "app/ntrip_login_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/dialog_keys.h"
#include "net/authorization.h"

namespace corvane {
namespace {

constexpr int kBackground = 1008;
constexpr int kVersion = 1004;
constexpr int kPurposeList = 1021;
constexpr int kOk = 1031;
constexpr int kCancel = 1032;

const char* const kPurposes[kPurposeCount] = {"기타", "측량", "FGIS/GIS",  "연구개발", "환경조사",
                                              "건설", "교통", "농/수산업", "통신",     "원격탐사",
                                              "기상", "교육", "항공"};

// One axis of the placement.
int CentredOver(int stored, int storedSize, int size, int screen) {
    int edge;
    if (storedSize > size) {
        edge = stored + (storedSize - size) / 2;
        if (edge + size > screen) edge = screen - size;
    } else {
        edge = (screen - size) / 2;
    }
    return edge < 0 ? 0 : edge;
}

}  // namespace

QString PurposeText(int index) {
    return index >= 0 && index < kPurposeCount ? QString::fromUtf8(kPurposes[index]) : QString();
}

QString LoginVersionText() { return QString::asprintf("버전:%02d.%02d.%02d", 20, 4, 17); }

QString LoginFailureText() {
    return QStringLiteral("네트워크 또는 방화벽 상태를 확인하여 주십시요!");
}

QPoint LoginDialogPosition(QSize dialog, QSize screen, const AppSettings& s) {
    return {CentredOver(s.x, s.w, dialog.width(), screen.width()),
            CentredOver(s.y, s.h, dialog.height(), screen.height())};
}

CNtripLoginDlg::CNtripLoginDlg(CCorvaneApp& app, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), app_(app) {
    controls_ = BuildFromTemplate(this, LoadDialogTemplate(QStringLiteral("login")));
    setFixedSize(size());
    setWindowIcon(resources::AppIcon());

    // The picture fills the window, with a thin border drawn into it.
    if (auto* background = controls_.As<QLabel>(kBackground)) {
        QPixmap picture = QPixmap(resources::kLoginBackground)
                              .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&picture);
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
        painter.end();
        background->setGeometry(rect());
        background->setPixmap(picture);
        background->lower();
    }
    // White labels over the picture.
    for (QWidget* w : controls_.All()) {
        if (auto* label = qobject_cast<QLabel*>(w); label && w != controls_.Control(kBackground)) {
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText, Qt::white);
            label->setPalette(p);
        }
    }
    if (auto* version = controls_.As<QLabel>(kVersion)) version->setText(LoginVersionText());

    purposes_ = controls_.As<QComboBox>(kPurposeList);
    for (int i = 0; i < kPurposeCount; ++i) purposes_->addItem(PurposeText(i));
    purposes_->setMaxVisibleItems(kPurposeCount);
    purposes_->setCurrentIndex(app_.settings.purpose >= 0 && app_.settings.purpose < kPurposeCount
                                   ? app_.settings.purpose
                                   : -1);
    connect(purposes_, &QComboBox::activated, this,
            [this](int index) { app_.settings.purpose = static_cast<std::int8_t>(index); });

    ok_ = controls_.As<QPushButton>(kOk);
    cancel_ = controls_.As<QPushButton>(kCancel);
    for (QPushButton* b : {ok_, cancel_}) b->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CNtripLoginDlg::StartAuthorization);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (!Busy()) QDialog::reject();
    });
    new DialogKeyFilter(this);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    move(area.topLeft() + LoginDialogPosition(size(), area.size(), app_.settings));
}

CNtripLoginDlg::~CNtripLoginDlg() {
    if (worker_.joinable()) {
        // Only when the window goes while its request runs (its owner ends).
        worker_.join();
        QApplication::restoreOverrideCursor();
    }
}

void CNtripLoginDlg::StartAuthorization() {
    if (Busy()) return;
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    app_.registry.purpose = app_.settings.purpose;
    app_.registry.BuildCredentials(kBuiltinSlot);
    // The worker gets its own copies: the window thread keeps the registry.
    const CasterEntry caster = app_.registry.casters[kBuiltinSlot];
    const NetTimeouts timeouts = app_.registry.timeouts;
    worker_ = std::thread([this, caster, timeouts] {
        const int result = RequestAuthorization(caster, timeouts);
        QMetaObject::invokeMethod(
            this, [this, result] { AuthorizationDone(result); }, Qt::QueuedConnection);
    });
}

void CNtripLoginDlg::AuthorizationDone(int result) {
    worker_.join();
    QApplication::restoreOverrideCursor();
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    if (result == kAuthAccepted) {
        accept();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvane"), LoginFailureText(),
                    QMessageBox::Ok, this);
    box.exec();
}

void CNtripLoginDlg::reject() {
    // Escape is swallowed; only the Cancel button ends the dialog.
}

void CNtripLoginDlg::closeEvent(QCloseEvent* event) {
    if (Busy()) {
        event->ignore();
        return;
    }
    QDialog::reject();
    event->accept();
}

void CNtripLoginDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !dragging_) {
        dragging_ = true;
        dragStart_ = event->globalPosition().toPoint();
        windowStart_ = pos();
        // The window that takes the press gets every move until the release.
    }
    QDialog::mousePressEvent(event);
}

void CNtripLoginDlg::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) move(windowStart_ + (event->globalPosition().toPoint() - dragStart_));
    QDialog::mouseMoveEvent(event);
}

void CNtripLoginDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    QDialog::mouseReleaseEvent(event);
}

}  // namespace corvane
