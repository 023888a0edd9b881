// corvane-screenshots FOLDER: renders each dialog of the desktop application
// to a PNG in FOLDER (login.png, options.png, caster.png), offscreen unless a
// platform is chosen with -platform or QT_QPA_PLATFORM.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "app/corvane_app.h"
#include "app/ntrip_caster_dlg.h"
#include "app/ntrip_login_dlg.h"
#include "app/ntrip_option_dlg.h"

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(name));
    const bool ok = window.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    window.hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: corvane-screenshots FOLDER\n");
        return 2;
    }
    QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "corvane-screenshots: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }

    // Settings as a user would have them after a while.
    corvane::CCorvaneApp app;
    app.settings.purpose = 1;
    app.settings.path = u"/home/user/GNSS/data";
    app.settings.host = u"caster.example.org";
    app.settings.port = 2101;
    app.settings.user2 = u"surveyor";
    app.settings.pass = u"secret";

    bool ok = true;
    {
        corvane::CNtripLoginDlg login(app);
        ok &= Save(login, folder, "login.png");
    }
    {
        corvane::CNtripOptionDlg options(app);
        ok &= Save(options, folder, "options.png");
    }
    {
        corvane::CNtripCasterDlg caster(app, nullptr);
        ok &= Save(caster, folder, "caster.png");
    }
    return ok ? 0 : 1;
}
