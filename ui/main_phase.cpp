#include "ui/main_phase.h"

#include "app/corvane_app.h"
#include "ui/corvane_dlg.h"

namespace corvane {

void RunMainPhase(CCorvaneApp& app) {
    CCorvaneDlg window(app);
    window.exec();
}

}  // namespace corvane
