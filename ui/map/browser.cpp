#include "ui/map/browser.h"

#include <QContextMenuEvent>
#include <QJsonDocument>
#include <QUrlQuery>
#include <QWebChannel>
#include <QWebEngineSettings>

#include "ui/map/map_host.h"
#include "ui/map/map_web_page.h"

namespace corvane {

CBrowser::CBrowser(QWidget* parent)
    : QWebEngineView(parent),
      page_(new MapWebPage(this)),
      host_(new MapHost(this)),
      channel_(new QWebChannel(this)) {
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);

    QWebEngineSettings* s = page_->settings();
    // A page loaded from a file fetches no tiles from a server without this.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    channel_->registerObject(QStringLiteral("host"), host_);
    page_->setWebChannel(channel_);

    connect(host_, &MapHost::MapMoved, this, [this](int zoom, int lat, int lon) {
        if (viewRestored_) emit MapMoved(zoom, lat, lon);
    });
    connect(host_, &MapHost::MarkToggled, this, &CBrowser::MarkToggled);
    connect(page_, &QWebEnginePage::loadStarted, this, &CBrowser::OnLoadStarted);
    connect(page_, &QWebEnginePage::loadFinished, this, &CBrowser::OnLoadFinished);
}

void CBrowser::Navigate(const QString& pageFile, const MapPageOptions& options) {
    QUrl url = QUrl::fromLocalFile(pageFile);
    page_->SetPageFile(url);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("baseMap"), QString::number(options.baseMap));
    // Percent-encoded in full, so that "&", "=" or "#" in an address stay in it.
    const auto encoded = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    query.addQueryItem(QStringLiteral("tileServer"), encoded(options.tileServer));
    query.addQueryItem(QStringLiteral("tileUrl"), encoded(options.tileUrl));
    url.setQuery(query);
    page_->load(url);
}

void CBrowser::ClearMarks() { CallPage(QStringLiteral("ClearMarks"), {}); }

void CBrowser::AddMark(float lat, float lon, const QString& key, const QString& msg, int typ) {
    CallPage(QStringLiteral("AddMark"),
             {static_cast<double>(lat), static_cast<double>(lon), key, msg, typ});
}

void CBrowser::UpdateMark(const QString& key, int checked) {
    CallPage(QStringLiteral("UpdateMark"), {key, checked});
}

void CBrowser::EnableMark(int enabled) { CallPage(QStringLiteral("EnableMark"), {enabled}); }

void CBrowser::MoveMap(int zoom, int lat, int lon) {
    CallPage(QStringLiteral("MoveMap"), {zoom, lat, lon});
}

void CBrowser::CallPage(const QString& function, const QJsonArray& arguments) {
    // JSON is valid script: the name and the arguments are data, whatever
    // characters a mountpoint name holds.
    const QString script =
        QStringLiteral(
            "(function(f,a){if(typeof window[f]==='function')window[f].apply(null,a);})(") +
        QString::fromUtf8(QJsonDocument(QJsonArray{function}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1) +
        QLatin1Char(',') +
        QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact)) +
        QStringLiteral(");");
    Call call{function, script};
    if (loaded_)
        RunCall(call);
    else
        held_.push_back(std::move(call));
}

void CBrowser::RunCall(const Call& call) {
    if (call.function == QLatin1String("MoveMap")) viewRestored_ = true;
    page_->runJavaScript(call.script);
}

void CBrowser::OnLoadStarted() {
    loaded_ = false;
    viewRestored_ = false;
}

void CBrowser::OnLoadFinished(bool ok) {
    // A page that failed to load has none of the functions: the held calls
    // and later ones are skipped by the page's function check.
    loaded_ = true;
    std::vector<Call> held;
    held.swap(held_);
    for (const Call& call : held) RunCall(call);
    if (ok) emit DocumentComplete();
}

}  // namespace corvane
