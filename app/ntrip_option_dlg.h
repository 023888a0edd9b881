// The options: relay start port, serial line parameters and output folder,
// and the way to the manual caster. Apply stores what changed in the
// settings (in memory) and tells the main window a new start port.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "app/template_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {

class CCorvaneApp;

// Change flags, also the dialog's result after Apply.
enum OptionChange : int {
    kOptionTcpPortChanged = 0x01,
    kOptionBaudChanged = 0x02,
    kOptionDataBitsChanged = 0x04,
    kOptionParityChanged = 0x08,
    kOptionStopBitsChanged = 0x10,
    kOptionFolderChanged = 0x20,
};

class CNtripOptionDlg : public QDialog {
    Q_OBJECT

public:
    // Asks the user for a folder: owner, title, folder to preselect; an
    // empty result means none was chosen.
    using FolderChooser =
        std::function<QString(QWidget* owner, const QString& title, const QString& start)>;

    // `parent` is the main window: it receives WM_TCP_START_PORT and is the
    // manual caster dialog's main window.
    explicit CNtripOptionDlg(CCorvaneApp& app, QWidget* parent = nullptr);

    // Replaces the system's folder browser (QFileDialog).
    void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    int ChangeFlags() const { return flags_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetFlag(int flag, bool changed);
    void UpdatePortFlag();
    void BrowseFolder();
    void OpenManualCaster();
    void Apply();

    CCorvaneApp& app_;
    TemplateControls controls_;
    QLineEdit* port_ = nullptr;
    QComboBox* lists_[4] = {};
    QLineEdit* folder_ = nullptr;
    QPushButton* apply_ = nullptr;
    FolderChooser chooseFolder_;
    int flags_ = 0;
};

}  // namespace corvane
