// The map view: a browser showing the map page, with the page's functions
// as methods and the page's calls into the application as signals.
//
// Calls made before the page has loaded are held and made, in order, once it
// has; a function the page does not have is skipped. Arguments reach the
// page as JSON values, never as script text.
#pragma once

#include <QJsonArray>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <vector>

#include "ui/map/map_page_calls.h"
#include "ui/map/map_page_options.h"

class QWebChannel;

namespace corvane {

class MapHost;
class MapWebPage;

class CBrowser : public QWebEngineView, public MapPageCalls {
    Q_OBJECT
public:
    explicit CBrowser(QWidget* parent = nullptr);

    // Loads the page file, with the base map chosen by `options`.
    void Navigate(const QString& pageFile, const MapPageOptions& options);
    bool IsLoaded() const { return loaded_; }

    // The page's functions.
    void ClearMarks() override;
    void AddMark(float lat, float lon, const QString& key, const QString& msg, int typ) override;
    void UpdateMark(const QString& key, int checked) override;
    void EnableMark(int enabled);
    void MoveMap(int zoom, int lat, int lon);

signals:
    // The page has loaded (every completed load).
    void DocumentComplete();
    // The page moved the map: zoom level index, centre northing and easting.
    // Held back after a load until the host has restored the view with
    // MoveMap, so that the page's start-up view never replaces the stored one.
    void MapMoved(int zoom, int lat, int lon);
    // The user ticked or unticked a mountpoint on the map.
    void MarkToggled(const QString& name, int typ);

private:
    void CallPage(const QString& function, const QJsonArray& arguments);
    struct Call {
        QString function;
        QString script;
    };
    void RunCall(const Call& call);
    void OnLoadStarted();
    void OnLoadFinished(bool ok);

    MapWebPage* page_;
    MapHost* host_;
    QWebChannel* channel_;
    std::vector<Call> held_;  // calls waiting for the page
    bool loaded_ = false;
    bool viewRestored_ = false;
};

}  // namespace corvane
