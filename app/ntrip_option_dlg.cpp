#include "app/ntrip_option_dlg.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/corvane_app.h"
#include "app/ntrip_caster_dlg.h"
#include "app/window_message_event.h"
#include "net/serial_tables.h"
#include "platform/window_messages.h"

namespace corvane {
namespace {

constexpr int kPort = 1011;
constexpr int kFolder = 1012;
constexpr int kLists[4] = {1021, 1022, 1023, 1024};
constexpr int kListFlags[4] = {kOptionBaudChanged, kOptionDataBitsChanged, kOptionParityChanged,
                               kOptionStopBitsChanged};
constexpr int kBrowse = 1031;
constexpr int kManualCaster = 1032;
constexpr int kApply = 1033;
constexpr int kCancel = 1034;

template <typename Table>
void Fill(QComboBox* box, const Table& table) {
    for (const auto& row : table) box->addItem(QString::fromWCharArray(row.label));
}

QString DefaultFolderChooser(QWidget* owner, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

// The valid start port in the field, or 0.
int PortIn(const QLineEdit* field) {
    bool ok = false;
    const int value = field->text().toInt(&ok);
    return ok && value > 0 && value <= 65535 ? value : 0;
}

}  // namespace

CNtripOptionDlg::CNtripOptionDlg(CCorvaneApp& app, QWidget* parent)
    : QDialog(parent), app_(app), chooseFolder_(DefaultFolderChooser) {
    controls_ = BuildFromTemplate(this, LoadDialogTemplate(QStringLiteral("options")));
    setFixedSize(size());
    const AppSettings& s = app_.settings;

    port_ = controls_.As<QLineEdit>(kPort);
    port_->setMaxLength(5);
    port_->setText(QString::number(s.tcp));
    port_->installEventFilter(this);

    for (int i = 0; i < 4; ++i) lists_[i] = controls_.As<QComboBox>(kLists[i]);
    Fill(lists_[0], kSerialBaudTable);
    Fill(lists_[1], kSerialDataBitsTable);
    Fill(lists_[2], kSerialParityTable);
    Fill(lists_[3], kSerialStopBitsTable);
    const std::int8_t stored[4] = {s.baud, s.data, s.parity, s.stop};
    for (int i = 0; i < 4; ++i) {
        lists_[i]->setCurrentIndex(stored[i] < lists_[i]->count() ? stored[i] : -1);
        connect(lists_[i], &QComboBox::currentIndexChanged, this, [this, i](int row) {
            const std::int8_t now[4] = {app_.settings.baud, app_.settings.data,
                                        app_.settings.parity, app_.settings.stop};
            SetFlag(kListFlags[i], row != now[i]);
        });
    }

    folder_ = controls_.As<QLineEdit>(kFolder);
    folder_->setText(QString::fromStdU16String(s.path));

    apply_ = controls_.As<QPushButton>(kApply);
    connect(controls_.As<QPushButton>(kBrowse), &QPushButton::clicked, this,
            &CNtripOptionDlg::BrowseFolder);
    connect(controls_.As<QPushButton>(kManualCaster), &QPushButton::clicked, this,
            &CNtripOptionDlg::OpenManualCaster);
    connect(apply_, &QPushButton::clicked, this, &CNtripOptionDlg::Apply);
    connect(controls_.As<QPushButton>(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

bool CNtripOptionDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == port_ && event->type() == QEvent::FocusOut) UpdatePortFlag();
    return QDialog::eventFilter(watched, event);
}

void CNtripOptionDlg::SetFlag(int flag, bool changed) {
    flags_ = changed ? (flags_ | flag) : (flags_ & ~flag);
}

void CNtripOptionDlg::UpdatePortFlag() {
    const int port = PortIn(port_);
    if (port == 0) {
        // Not a port: the stored one stands.
        port_->setText(QString::number(app_.settings.tcp));
        SetFlag(kOptionTcpPortChanged, false);
        return;
    }
    SetFlag(kOptionTcpPortChanged, port != app_.settings.tcp);
}

void CNtripOptionDlg::BrowseFolder() {
    const QString chosen = chooseFolder_(this, QStringLiteral("저장 디렉토리"),
                                         QString::fromStdU16String(app_.settings.path));
    // A folder whose path does not fit the setting counts as not obtained.
    if (chosen.isEmpty() || static_cast<std::size_t>(chosen.size()) > kMaxPathText) return;
    const QString path = QDir::toNativeSeparators(chosen);
    folder_->setText(path);
    SetFlag(kOptionFolderChanged,
            path.compare(QString::fromStdU16String(app_.settings.path), Qt::CaseInsensitive) != 0);
    apply_->setEnabled(flags_ != 0);
}

void CNtripOptionDlg::OpenManualCaster() {
    CNtripCasterDlg caster(app_, parentWidget(), this);
    caster.exec();
}

void CNtripOptionDlg::Apply() {
    // Enter presses Apply without leaving the port field.
    UpdatePortFlag();
    AppSettings& s = app_.settings;
    if (flags_ & kOptionTcpPortChanged) {
        s.tcp = static_cast<std::uint16_t>(PortIn(port_));
        SendWindowMessage(parentWidget(), WM_TCP_START_PORT, s.tcp, 0);
    }
    if (flags_ & kOptionBaudChanged) s.baud = static_cast<std::int8_t>(lists_[0]->currentIndex());
    if (flags_ & kOptionDataBitsChanged)
        s.data = static_cast<std::int8_t>(lists_[1]->currentIndex());
    if (flags_ & kOptionParityChanged)
        s.parity = static_cast<std::int8_t>(lists_[2]->currentIndex());
    if (flags_ & kOptionStopBitsChanged)
        s.stop = static_cast<std::int8_t>(lists_[3]->currentIndex());
    if (flags_ & kOptionFolderChanged) s.path = folder_->text().toStdU16String();
    done(flags_);
}

}  // namespace corvane
