// The web page that shows the map: script dialogs never appear, console
// messages are dropped, and it never leaves the map page for another
// address (no link, drop or script can navigate it away).
#pragma once

#include <QWebEnginePage>

namespace corvane {

class MapWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

    // Only the page file itself may be loaded.
    void SetPageFile(const QUrl& url) { pageFile_ = url; }

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    QUrl pageFile_;
};

}  // namespace corvane
