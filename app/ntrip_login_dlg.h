// The sign-in window: background picture, version, purpose of use. OK asks
// the built-in caster whether the built-in credentials are accepted; only an
// accepted request ends the dialog with Accepted.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <thread>

#include "app/app_settings.h"
#include "app/template_dialog.h"

class QComboBox;
class QPushButton;

namespace corvane {

class CCorvaneApp;

// The texts of the purposes of use; the index is the setting "purpose".
inline constexpr int kPurposeCount = 13;
QString PurposeText(int index);

// The version line of the sign-in window.
QString LoginVersionText();

// The message shown when the request is refused or fails.
QString LoginFailureText();

// Where the sign-in window goes: centred over the main window's stored
// placement when that is wider (taller) than the dialog, kept inside the
// screen; centred on the screen otherwise; never at a negative position.
QPoint LoginDialogPosition(QSize dialog, QSize screen, const AppSettings& settings);

class CNtripLoginDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNtripLoginDlg(CCorvaneApp& app, QWidget* parent = nullptr);
    ~CNtripLoginDlg() override;

    // True while the authorization request runs.
    bool Busy() const { return worker_.joinable(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void StartAuthorization();
    void AuthorizationDone(int result);

    CCorvaneApp& app_;
    TemplateControls controls_;
    QComboBox* purposes_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::thread worker_;
    bool dragging_ = false;
    QPoint dragStart_;  // cursor position (global) where dragging began
    QPoint windowStart_;
};

}  // namespace corvane
