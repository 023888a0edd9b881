#include "app/ntrip_caster_dlg.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_settings.h"
#include "app/corvane_app.h"
#include "app/dialog_keys.h"
#include "app/window_message_event.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"

namespace corvane {
namespace {

constexpr int kHost = 1011;
constexpr int kPort = 1012;
constexpr int kUser = 1013;
constexpr int kPassword = 1014;
constexpr int kOk = 1031;
constexpr int kCancel = 1032;

std::u16string Wide(const QString& s) { return s.toStdU16String(); }

}  // namespace

QString HoldToCasterTextLimit(const QString& text) {
    const std::string narrow = platform::WideToNarrow(Wide(text));
    if (narrow.size() <= kMaxCasterText) return text;
    const std::u16string cut =
        platform::NarrowToWide(platform::CutAtCharBoundary(narrow, kMaxCasterText));
    return QString::fromStdU16String(cut);
}

CNtripCasterDlg::CNtripCasterDlg(CCorvaneApp& app, QObject* mainWindow, QWidget* parent)
    : QDialog(parent), app_(app), mainWindow_(mainWindow) {
    controls_ = BuildFromTemplate(this, LoadDialogTemplate(QStringLiteral("caster")));
    setFixedSize(size());
    host_ = controls_.As<QLineEdit>(kHost);
    port_ = controls_.As<QLineEdit>(kPort);
    user_ = controls_.As<QLineEdit>(kUser);
    password_ = controls_.As<QLineEdit>(kPassword);

    const AppSettings& s = app_.settings;
    host_->setText(QString::fromStdU16String(s.host));
    if (s.port != 0) port_->setText(QString::number(s.port));
    port_->setMaxLength(5);
    user_->setText(QString::fromStdU16String(s.user2));
    password_->setText(QString::fromStdU16String(s.pass));

    for (QLineEdit* field : {host_, port_, user_, password_}) {
        field->installEventFilter(this);
        if (field == port_) continue;
        connect(field, &QLineEdit::textEdited, this, [field](const QString& text) {
            const QString held = HoldToCasterTextLimit(text);
            if (held == text) return;
            const int cursor = field->cursorPosition();
            field->setText(held);
            field->setCursorPosition(std::min<int>(cursor, held.size()));
        });
    }
    connect(controls_.As<QPushButton>(kOk), &QPushButton::clicked, this, &CNtripCasterDlg::Ok);
    connect(controls_.As<QPushButton>(kCancel), &QPushButton::clicked, this,
            [this] { QDialog::reject(); });
    // Escape does nothing; Enter moves to the next control when released.
    new DialogKeyFilter(this, [this] { focusNextChild(); });
}

bool CNtripCasterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) UpdateFlag(qobject_cast<QLineEdit*>(watched));
    return QDialog::eventFilter(watched, event);
}

void CNtripCasterDlg::UpdateFlag(QLineEdit* field) {
    if (!field) return;
    const AppSettings& s = app_.settings;
    int flag = 0;
    bool changed = false;
    if (field == port_) {
        bool ok = false;
        const int value = port_->text().isEmpty() ? 0 : port_->text().toInt(&ok);
        if (!port_->text().isEmpty() && (!ok || value > 65535)) {
            // Not a port: the stored one stands.
            port_->setText(s.port != 0 ? QString::number(s.port) : QString());
            changed = false;
        } else {
            changed = value != s.port;
        }
        flag = kCasterPortChanged;
    } else if (field == host_) {
        flag = kCasterHostChanged;
        changed = Wide(field->text()) != s.host;
    } else if (field == user_) {
        flag = kCasterUserChanged;
        changed = Wide(field->text()) != s.user2;
    } else if (field == password_) {
        flag = kCasterPasswordChanged;
        changed = Wide(field->text()) != s.pass;
    }
    flags_ = changed ? (flags_ | flag) : (flags_ & ~flag);
}

void CNtripCasterDlg::Ok() {
    for (QLineEdit* field : {host_, port_, user_, password_}) UpdateFlag(field);
    AppSettings& s = app_.settings;
    if (flags_ & kCasterHostChanged) s.host = Wide(host_->text());
    if (flags_ & kCasterPortChanged) s.port = static_cast<std::uint16_t>(port_->text().toInt());
    if (flags_ & kCasterUserChanged) s.user2 = Wide(user_->text());
    if (flags_ & kCasterPasswordChanged) s.pass = Wide(password_->text());

    CasterConfig& config = app_.registry.configs[kManualSlot];
    config.host = platform::WideToNarrow(s.host);
    config.port = s.port;
    config.user = platform::WideToNarrow(s.user2);
    config.password = platform::WideToNarrow(s.pass);
    if (flags_ & (kCasterHostChanged | kCasterPortChanged)) {
        app_.registry.ResolveCaster(kManualSlot);
        SendWindowMessage(mainWindow_, WM_REFRESH_REQUEST);
    }
    if (flags_ & (kCasterUserChanged | kCasterPasswordChanged))
        app_.registry.BuildCredentials(kManualSlot);
    done(flags_);
}

void CNtripCasterDlg::reject() {
    // Escape is swallowed; Cancel and the close box end the dialog.
}

void CNtripCasterDlg::closeEvent(QCloseEvent* event) {
    QDialog::reject();
    event->accept();
}

}  // namespace corvane
