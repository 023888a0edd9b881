#include "ui/map/map_web_page.h"

namespace corvane {

bool MapWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (!isMainFrame) return false;
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment) ==
           pageFile_.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
}

}  // namespace corvane
