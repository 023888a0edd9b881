#include "app/desktop_startup.h"

#include <string>
#include <vector>

#include "app/corvane_app.h"
#include "app/desk_resources.h"
#include "app/ntrip_login_dlg.h"

namespace corvane {

bool RunDesktop(CCorvaneApp& app, const QStringList& args, SettingsStore& store,
                const std::function<void(CCorvaneApp&)>& mainPhase) {
    std::vector<std::string> narrow;
    for (const QString& a : args) narrow.push_back(a.toLocal8Bit().toStdString());
    bool signedIn = false;
    app.Run(
        narrow, store,
        [&signedIn](CCorvaneApp& a) {
            CNtripLoginDlg login(a);
            login.setWindowIcon(resources::AppIcon());
            signedIn = login.exec() == QDialog::Accepted;
            return signedIn;
        },
        mainPhase);
    return signedIn;
}

}  // namespace corvane
