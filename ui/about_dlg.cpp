#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/desk_resources.h"
#include "app/dialog_template.h"
#include "app/template_dialog.h"

namespace corvane {
namespace {

constexpr int kVersionMajor = 20;
constexpr int kVersionMinor = 4;
constexpr int kVersionPatch = 17;

}  // namespace

QString CAboutDlg::VersionLine() {
    return QString::asprintf("Corvane, %s %02d.%02d.%02d", "버전", kVersionMajor, kVersionMinor,
                             kVersionPatch);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const TemplateControls controls =
        BuildFromTemplate(this, LoadDialogTemplate(QStringLiteral("about")));
    setFixedSize(size());
    for (QWidget* w : controls.All()) {
        auto* picture = qobject_cast<QLabel*>(w);
        if (picture && w->objectName().startsWith(QLatin1String("picture"))) {
            picture->setPixmap(resources::AppIcon().pixmap(w->size()));
            picture->setAlignment(Qt::AlignCenter);
        }
    }
    version_ = controls.As<QLabel>(1004);
    if (version_) version_->setText(VersionLine());
    if (auto* ok = controls.As<QPushButton>(1))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace corvane
