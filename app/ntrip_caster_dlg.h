// The manual caster (slot 1): host, port, user name and password. OK stores
// the fields that changed; a new host or port resolves the slot again and
// asks the main window to refresh, a new user name or password encodes the
// credentials again.
#pragma once

#include <QDialog>
#include <QPointer>

#include "app/template_dialog.h"

class QLineEdit;

namespace corvane {

class CCorvaneApp;

// Change flags, also the dialog's result after OK.
enum CasterChange : int {
    kCasterHostChanged = 0x40,
    kCasterPortChanged = 0x80,
    kCasterUserChanged = 0x100,
    kCasterPasswordChanged = 0x200,
};

// The longest prefix of `text` whose bytes in the system code page fit in
// 31, cut on a character boundary.
QString HoldToCasterTextLimit(const QString& text);

class CNtripCasterDlg : public QDialog {
    Q_OBJECT

public:
    // `mainWindow` receives WM_REFRESH_REQUEST; `parent` owns the dialog.
    CNtripCasterDlg(CCorvaneApp& app, QObject* mainWindow, QWidget* parent = nullptr);

    int ChangeFlags() const { return flags_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateFlag(QLineEdit* field);
    void Ok();

    CCorvaneApp& app_;
    QPointer<QObject> mainWindow_;
    TemplateControls controls_;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    int flags_ = 0;
};

}  // namespace corvane
