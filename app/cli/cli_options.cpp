#include "app/cli/cli_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cmath>
#include <cstdio>

#include "platform/clock.h"

namespace corvane {
namespace {

bool ParseNumber(const QString& text, long long lo, long long hi, long long* out) {
    bool ok = false;
    const long long v = text.toLongLong(&ok, 10);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// "YYYY-MM-DD HH:MM:SS" as seconds since 1970 on the same scale.
bool ParseTime(const std::string& text, std::int64_t* out) {
    platform::CalendarTime c;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &c.year, &c.month, &c.day, &c.hour,
                    &c.minute, &c.second, &tail) != 6)
        return false;
    if (c.year < 1980 || c.year > 2099) return false;
    // A date that does not exist (2023-02-30, 24:00:00) comes back different.
    const std::int64_t t = platform::FromUtc(c);
    const platform::CalendarTime back = platform::UtcTime(t);
    if (back.year != c.year || back.month != c.month || back.day != c.day || back.hour != c.hour ||
        back.minute != c.minute || back.second != c.second)
        return false;
    *out = t;
    return true;
}

}  // namespace

std::string CliUsage() {
    return "Usage: corvane-cli [OPTIONS] COMMAND [ARGS]\n"
           "\n"
           "Commands:\n"
           "  list                        list the mountpoints of both casters\n"
           "  auth                        ask the built-in caster to accept the built-in "
           "credentials\n"
           "  run [MOUNT ...] [--duration SECONDS]\n"
           "                              stream the named (or the remembered) mountpoints;\n"
           "                              MOUNT is NAME[@CASTER][:tcp][:tcp=OFF][:com=N]"
           "[:out=LETTERS]\n"
           "  convert FILE [--format 2|3] [--name NAME] [--text] [--rinex] [--raw]\n"
           "               [--rinex-version 2|3] [--time \"YYYY-MM-DD HH:MM:SS\"] [--codes]\n"
           "                              feed a recorded stream through the outputs and\n"
           "                              count its messages by RTCM number (--codes: by code)\n"
           "\n"
           "Options:\n"
           "  --host HOST                 built-in caster host (default " CORVANE_BUILTIN_HOST
           ")\n"
           "  --port PORT                 built-in caster port (default 2101)\n"
           "  --caster2 HOST:PORT         manual caster for this run\n"
           "  --user USER                 manual caster user name\n"
           "  --password PASS             manual caster password\n"
           "  --purpose N                 purpose of use, 0 to 12\n"
           "  --out-dir DIR               folder of the files written\n"
           "  --serial-map N=DEVICE       serial port N is DEVICE (repeatable)\n"
           "  --tcp-start PORT            first relay port\n"
           "  --help, --version\n";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string* error, std::string* info) {
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption host("host", "", "HOST"), port("port", "", "PORT"),
        caster2("caster2", "", "HOST:PORT"), user("user", "", "USER"),
        password("password", "", "PASS"), purpose("purpose", "", "N"), outDir("out-dir", "", "DIR"),
        serialMap("serial-map", "", "N=DEVICE"), tcpStart("tcp-start", "", "PORT"),
        duration("duration", "", "SECONDS"), format("format", "", "2|3"), name("name", "", "NAME"),
        text("text"), rinex("rinex"), raw("raw"), time("time", "", "TIME"), codes("codes"),
        help("help"), version("version"), rinexVersion("rinex-version", "", "2|3");
    p.addOptions({host, port, caster2, user, password, purpose, outDir, serialMap, tcpStart,
                  duration, format, name, text, rinex, raw, time, codes, help, version,
                  rinexVersion});

    QStringList list{QStringLiteral("corvane-cli")};
    for (const auto& a : arguments) list << QString::fromStdString(a);
    if (!p.parse(list)) {
        *error = p.errorText().toStdString();
        return std::nullopt;
    }
    if (p.isSet(help)) {
        *info = CliUsage();
        return std::nullopt;
    }
    if (p.isSet(version)) {
        *info = "corvane-cli " CORVANE_VERSION "\n";
        return std::nullopt;
    }

    CliOptions o;
    const QStringList positional = p.positionalArguments();
    if (positional.isEmpty()) {
        *error = "no command given";
        return std::nullopt;
    }
    o.command = positional.front().toStdString();
    for (int i = 1; i < positional.size(); ++i) o.args.push_back(positional[i].toStdString());

    long long n = 0;
    auto bad = [&](const char* what, const QString& value) {
        *error = std::string("bad value for ") + what + ": '" + value.toStdString() + "'";
        return std::nullopt;
    };
    if (p.isSet(host)) o.host = p.value(host).toStdString();
    if (p.isSet(port)) {
        if (!ParseNumber(p.value(port), 1, 65535, &n)) return bad("--port", p.value(port));
        o.port = static_cast<std::uint16_t>(n);
    }
    if (p.isSet(caster2)) {
        const QString v = p.value(caster2);
        const int colon = v.lastIndexOf(':');
        if (colon <= 0 || !ParseNumber(v.mid(colon + 1), 1, 65535, &n))
            return bad("--caster2 (HOST:PORT)", v);
        o.caster2 = std::make_pair(v.left(colon).toStdString(), static_cast<std::uint16_t>(n));
    }
    if (p.isSet(user)) o.user = p.value(user).toStdString();
    if (p.isSet(password)) o.password = p.value(password).toStdString();
    if (p.isSet(purpose)) {
        if (!ParseNumber(p.value(purpose), 0, 12, &n))
            return bad("--purpose (0-12)", p.value(purpose));
        o.purpose = static_cast<int>(n);
    }
    if (p.isSet(outDir)) {
        if (p.value(outDir).isEmpty()) return bad("--out-dir", p.value(outDir));
        o.outDir = p.value(outDir).toStdString();
    }
    for (const QString& v : p.values(serialMap)) {
        const int eq = v.indexOf('=');
        if (eq <= 0 || eq + 1 >= v.size() || !ParseNumber(v.left(eq), 1, 31, &n))
            return bad("--serial-map (N=DEVICE, N 1-31)", v);
        o.serialMap.emplace_back(static_cast<int>(n), v.mid(eq + 1).toStdString());
    }
    if (p.isSet(tcpStart)) {
        if (!ParseNumber(p.value(tcpStart), 1, 65535, &n))
            return bad("--tcp-start", p.value(tcpStart));
        o.tcpStart = static_cast<std::uint16_t>(n);
    }
    if (p.isSet(duration)) {
        bool ok = false;
        const double d = p.value(duration).toDouble(&ok);
        if (!ok || !std::isfinite(d) || d < 0) return bad("--duration", p.value(duration));
        o.duration = d;
    }
    if (p.isSet(format)) {
        if (!ParseNumber(p.value(format), 2, 3, &n))
            return bad("--format (2 or 3)", p.value(format));
        o.format = static_cast<int>(n);
    }
    if (p.isSet(name)) {
        const std::string v = p.value(name).toStdString();
        if (v.empty() || v.size() > 31) return bad("--name (1 to 31 characters)", p.value(name));
        o.name = v;
    }
    if (p.isSet(rinexVersion)) {
        if (!ParseNumber(p.value(rinexVersion), 2, 3, &n))
            return bad("--rinex-version (2 or 3)", p.value(rinexVersion));
        o.rinexVersion = static_cast<int>(n);
    }
    o.text = p.isSet(text);
    o.rinex = p.isSet(rinex);
    o.raw = p.isSet(raw);
    o.codes = p.isSet(codes);
    if (p.isSet(time)) {
        std::int64_t t = 0;
        if (!ParseTime(p.value(time).toStdString(), &t))
            return bad("--time (\"YYYY-MM-DD HH:MM:SS\")", p.value(time));
        o.time = t;
    }

    // Options that belong to one command only.
    const bool isRun = o.command == "run", isConvert = o.command == "convert";
    if (o.command != "list" && o.command != "auth" && !isRun && !isConvert) {
        *error = "unknown command '" + o.command + "'";
        return std::nullopt;
    }
    if (o.duration && !isRun) {
        *error = "--duration belongs to the run command";
        return std::nullopt;
    }
    if (!isConvert && (p.isSet(format) || o.name || o.text || o.rinex || o.raw || o.time ||
                       o.codes || o.rinexVersion)) {
        *error = "--format, --name, --text, --rinex, --rinex-version, --raw, --time and --codes "
                 "belong to the convert command";
        return std::nullopt;
    }
    if ((o.command == "list" || o.command == "auth") && !o.args.empty()) {
        *error = "unexpected argument '" + o.args.front() + "'";
        return std::nullopt;
    }
    if (isConvert && o.args.size() != 1) {
        *error =
            o.args.empty() ? "convert needs a FILE" : "unexpected argument '" + o.args[1] + "'";
        return std::nullopt;
    }
    return o;
}

}  // namespace corvane
