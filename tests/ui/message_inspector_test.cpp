// The message inspector on running channels: three mountpoints stream
// recorded RTCM 3 and RTCM 2 streams from scripted casters on loopback with
// the decoded-text log on, and the inspector shows them as the window would.
#include <QtTest>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/channel_outputs.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/net/channel_test_support.h"
#include "tests/support/test_data.h"
#include "tests/ui/test_window.h"
#include "tests/ui/text_log_reader.h"
#include "ui/decoder_table_rows.h"
#include "ui/message_inspector_view.h"

namespace corvane {

using test::SplitRow;
using Cells = QList<QStringList>;

namespace {

// A mountpoint streaming a recording from its own caster. The caster sends
// the file once and keeps the connection; the channel keeps waiting for more.
struct Station {
    Station(const char* name, float version, const std::string& file, test::TestWindow& window,
            const ChannelOutputFactory& outputs, const std::string& outDir)
        : caster([this](test::CasterConnection& c) {
              c.ReadRequest();
              c.Send("ICY 200 OK\r\n\r\n");
              c.Send(bytes);
              sent = true;
              c.WaitForClose(std::chrono::seconds(120));
          }),
          rig(caster.Address()) {
        test::ReadFile(test::SharedDataFile(file), &bytes);
        std::snprintf(rig.entry.name, sizeof rig.entry.name, "%s", name);
        rig.entry.formatVersion = version;
        rig.entry.selected = 1;
        rig.entry.outputs = kOutputText;
        rig.context.outputDir = outDir;
        rig.context.outputs = &outputs;
        rig.context.timing.dataTimeoutMs = 1000;
        rig.context.timing.dataFailures = 120;
        rig.context.receiveBufferBytes = 0;  // the whole file at once
        rig.target = &window;
    }
    void Start() { rig.entry.channel = &rig.Start(); }
    std::string bytes;
    std::atomic<bool> sent{false};
    test::ScriptedCaster caster;
    test::ChannelRig rig;
};

Cells TableCells(const QTableWidget& table) {
    Cells cells;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table.columnCount(); ++c)
            row << (table.item(r, c) ? table.item(r, c)->text() : QString());
        cells << row;
    }
    return cells;
}

Cells RowCells(const TableRows& rows) {
    Cells cells;
    for (const TableRow& row : rows) {
        QStringList texts;
        for (const auto& t : row) texts << QString::fromStdU16String(t);
        cells << texts;
    }
    return cells;
}

// Half a unit in the last place of a printed number.
double HalfUnit(const std::string& number) {
    const auto e = number.find_first_of("eE");
    const int exponent = e == std::string::npos ? 0 : std::atoi(number.c_str() + e + 1);
    const std::string mantissa = number.substr(0, e);
    const auto dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
    return 0.5 * std::pow(10.0, exponent - decimals);
}

bool Number(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

// A table cell shows the logged value: numbers agree within the rounding of
// both, texts are equal (blanks around them aside, unless `exact`).
bool SameValue(const QString& cell, const std::string& logged, bool exact = false) {
    const std::string shown = cell.toStdString();
    double a = 0, b = 0;
    if (!exact && Number(shown, &a) && Number(test::Trim(logged), &b))
        return std::fabs(a - b) <=
               HalfUnit(shown) + HalfUnit(test::Trim(logged)) + 1e-12 * std::fabs(b);
    const std::string text = exact ? logged : test::Trim(logged);
    return (exact ? cell : cell.trimmed()) ==
           QString::fromStdU16String(platform::NarrowToWide(text));
}

// Where the log prints a message of a kind shown in table rows.
struct RowLayout {
    std::string title;
    int headerLines = 1;
    int linesPerRow = 1;
    std::vector<int> widths;   // fixed-width fields at the start of a row
    std::vector<int> columns;  // the logged value of each table column; -1: not logged
    bool bySatellite = false;  // ephemerides: the last row of each satellite
    int frequencyValue = -1;   // RTCM 2 types 18/19: the value that holds "L1"/"L2"'s digit
};

// Where the log prints a message shown as name/value rows.
struct NameValueLayout {
    std::string title;
    std::vector<std::string> prefixes;  // the text before each value
};

std::optional<RowLayout> RowLayoutOf(std::uint32_t code) {
    const int index = static_cast<int>(IndexOf(code));
    char msm[16];
    switch (KindOf(code)) {
        case kKindRtcm2Type1:
            return RowLayout{"MT01", 1, 1, {4, 8, 9, 9, 5}, {0, -1, 5, 2, 3, 4, 1}};
        case kKindRtcm2Type18:
            return RowLayout{"MT18", 1, 1, {4, 8, 3, 1, 4, 3, 2, 9}, {0, -1, 9, 5, 8, 1}, false, 3};
        case kKindRtcm2Type19:
            return RowLayout{"MT19", 1, 1, {4, 8, 3, 1, 4, 4, 3, 3, 2, 7, 2, 8}, {0, -1, 7, 12, 1},
                             false,  3};
        case kKind1004:
            return RowLayout{"MT1004", 1, 1, {}, {0, 1, 3, 5, 6, 8, 9}};
        case kKind1012:
            return RowLayout{"MT1012", 1, 1, {}, {0, 1, 4, 6, 7, 9, 10}};
        case kKind1019:
            return RowLayout{"MT1019", 3, 3, {}, {0, -1, -1, 18, 23, 7, 10}, true};
        case kKind1020:
            return RowLayout{"MT1020", 2, 2, {}, {0, 15, 14, -1, 16, 10, 11}, true};
        case kKindMsm4:
            std::snprintf(msm, sizeof msm, "MT%04d", 1074 + 10 * (index - 1));
            return RowLayout{msm, 1, 1, {4, 5, 20, 2, 3}, {0, 4, 5, 6, 7, 9}};
        case kKindMsm7:
            std::snprintf(msm, sizeof msm, "MT%04d", 1077 + 10 * (index - 1));
            return RowLayout{msm, 1, 1, {4, 5, 20, 6, 7, 3}, {0, 5, 6, 7, 8, 9, 10}};
        default:
            return std::nullopt;
    }
}

NameValueLayout NameValueLayoutOf(std::uint32_t kind) {
    switch (kind) {
        case kKindRtcm2Type3:
            return {"MT03", {"  X", "  Y", "  Z"}};
        case kKind1006:
            return {"MT1006", {"  X", "  Y", "  Z", "  H"}};
        case kKind1013:
            return {"MT1013",
                    {"  Modifyed Julian Day Number ", "  Seconds of Day             ",
                     "  Leap Seconds\t\t\t\t ", "  Current Date/Time\t\t\t "}};
        default:
            return {"MT1033",
                    {"  Antenna Descriptor        ", "  Antenna Serial Number     ",
                     "  Receiver Type Descriptor  ", "  Receiver Firmware Version ",
                     "  Receiver Serial Number    "}};
    }
}

// Compares the table shown for `code` with the log; returns what differs.
QString CompareWithLog(std::uint32_t code, const Cells& table,
                       const std::vector<std::string>& log) {
    const auto where = [&](int r, int c, const QString& shown, const std::string& logged) {
        return QString("code 0x%1 row %2 column %3: table \"%4\", log \"%5\"")
            .arg(code, 8, 16, QChar('0'))
            .arg(r)
            .arg(c)
            .arg(shown, QString::fromStdString(logged));
    };
    if (const auto layout = RowLayoutOf(code)) {
        const auto blocks =
            test::TextLogBlocks(log, layout->title, layout->headerLines, layout->linesPerRow);
        std::vector<std::vector<std::string>> rows;
        if (layout->bySatellite) {
            std::map<std::string, std::vector<std::string>> last;
            for (const auto& block : blocks)
                for (const auto& row : block) {
                    auto values = SplitRow(row, layout->widths);
                    last[values.at(0)] = values;
                }
            std::map<int, std::vector<std::string>> ordered;
            for (auto& [sat, values] : last) ordered[std::stoi(sat)] = values;
            for (auto& [sat, values] : ordered) rows.push_back(values);
        } else {
            for (auto b = blocks.rbegin(); b != blocks.rend(); ++b) {
                if (layout->frequencyValue >= 0 &&
                    (b->empty() ||
                     SplitRow(b->front(), layout->widths).at(layout->frequencyValue) !=
                         std::to_string(IndexOf(code))))
                    continue;
                for (const auto& row : *b) rows.push_back(SplitRow(row, layout->widths));
                break;
            }
        }
        if (rows.size() != static_cast<std::size_t>(table.size()))
            return QString("code 0x%1: %2 table rows, %3 logged")
                .arg(code, 8, 16, QChar('0'))
                .arg(table.size())
                .arg(rows.size());
        for (int r = 0; r < table.size(); ++r)
            for (int c = 0; c < table[r].size(); ++c) {
                const int v = layout->columns.at(c);
                if (v < 0) continue;
                const std::string logged = v < static_cast<int>(rows[r].size()) ? rows[r][v] : "";
                if (!SameValue(table[r][c], logged)) return where(r, c, table[r][c], logged);
            }
        return {};
    }
    const NameValueLayout layout = NameValueLayoutOf(KindOf(code));
    const auto blocks = test::TextLogBlocks(log, layout.title, 0, 1);
    if (blocks.empty()) return table.isEmpty() ? QString() : "nothing logged";
    const auto& lines = blocks.back();
    // Type 3 shows one row of X, Y, Z; the others one row per value.
    const bool oneRow = KindOf(code) == kKindRtcm2Type3;
    const int values = oneRow ? (table.isEmpty() ? 0 : 3) : static_cast<int>(table.size());
    if (static_cast<int>(lines.size()) != values)
        return QString("code 0x%1: %2 values shown, %3 logged")
            .arg(code, 8, 16, QChar('0'))
            .arg(values)
            .arg(lines.size());
    for (int i = 0; i < values; ++i) {
        const std::string& prefix = layout.prefixes.at(i);
        if (lines[i].rfind(prefix, 0) != 0)
            return QString::fromStdString("unexpected line " + lines[i]);
        const int r = oneRow ? 0 : i, c = oneRow ? i + 1 : 2;
        const std::string logged = lines[i].substr(prefix.size());
        if (!SameValue(table[r][c], logged, KindOf(code) == kKind1033))
            return where(r, c, table[r][c], logged);
    }
    return {};
}

QTreeWidgetItem* FindItem(QTreeWidget& tree, std::uint32_t code) {
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).value<std::uint32_t>() == code) return *it;
    return nullptr;
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace

class MessageInspectorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (!test::SharedDataPresent()) QSKIP("shared data folder not found (set CORVANE_DATA)");
        inspector_ = std::make_unique<MessageInspectorView>(
            MessageInspectorView::Controls{&name_, &tree_, &table_}, window_);
        window_.handler = [this](std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
            if (message != WM_RTCM_DECODED) return;
            ++notifications_;
            inspector_->RtcmDecoded(wParam, lParam);
        };
        table_.resize(600, 400);
        const auto dir = [&](const char* name) {
            const std::string path = temp_.File(name);
            std::filesystem::create_directories(path);
            return path;
        };
        // Legacy observations, ephemerides, MSM4 and MSM7; station messages
        // and MSM of another receiver; RTCM 2 types 1, 3, 18 and 19.
        javad_ = std::make_unique<Station>("JAVAD", 3.0f,
                                           "rtcm3/rtklib_gen_javad_20110115_legacy_msm4_msm7.rtcm3",
                                           window_, outputs_, dir("javad"));
        swift_ = std::make_unique<Station>("SWIFT", 3.2f,
                                           "rtcm3/swift_switch-legacy-msm-legacy-msm.rtcm", window_,
                                           outputs_, dir("swift"));
        legacy_ = std::make_unique<Station>("TESTGLO", 2.3f, "rtcm2/rtklib_testglo.rtcm2", window_,
                                            outputs_, dir("rtcm2"));
        for (Station* s : Stations()) s->Start();
        // Everything sent, and no notification for a while: all decoded.
        QElapsedTimer quiet;
        long seen = -1;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QCoreApplication::processEvents();
                if (seen != notifications_) {
                    seen = notifications_;
                    quiet.start();
                }
                return javad_->sent && swift_->sent && legacy_->sent && quiet.elapsed() > 500;
            }(),
            30000);
    }

    void cleanupTestCase() {
        for (Station* s : Stations()) {
            if (s == nullptr) continue;
            if (s->rig.channel) s->rig.Stop();
            s->rig.entry.channel = nullptr;
        }
        Settle();
    }

    void selectingAGroupChangesNothing() {
        inspector_->FillMessageTree(&legacy_->rig.entry);
        QCOMPARE(tree_.topLevelItemCount(), 7);
        Select(MessageCode(kKindRtcm2Type1, 0));
        QCOMPARE(table_.columnCount(), 7);
        const Cells before = TableCells(table_);
        QVERIFY(!before.isEmpty());

        QTreeWidgetItem* group = tree_.topLevelItem(3);
        QCOMPARE(group->text(0), QString("type-18"));
        tree_.setCurrentItem(group);
        Settle();
        QCOMPARE(inspector_->SelectedCodeOf(2), MessageCode(kKindRtcm2Type1, 0));
        QCOMPARE(table_.columnCount(), 7);
        QCOMPARE(TableCells(table_), before);

        tree_.setCurrentItem(group->child(1));  // "L2 Freq"
        Settle();
        QCOMPARE(table_.columnCount(), 6);
        QCOMPARE(table_.horizontalHeaderItem(5)->text(), QString("Exp.Time"));
        QVERIFY(!table_.horizontalHeader()->isHidden());
        const auto& decoder = dynamic_cast<const RTCM2Dec&>(*legacy_->rig.channel->rtcm2);
        const Cells l2 = RowCells(Rtcm2TableRows(decoder, MessageCode(kKindRtcm2Type18, 2)));
        QVERIFY(!l2.isEmpty());
        QCOMPARE(TableCells(table_), l2);
    }

    void anotherMountpointOfTheVersionKeepsTheSelection() {
        inspector_->FillMessageTree(&javad_->rig.entry);
        const std::uint32_t gps7 = MessageCode(kKindMsm7, 1);
        Select(gps7);
        QCOMPARE(TableCells(table_), Rows(*javad_, gps7));
        QTreeWidgetItem* selected = tree_.currentItem();

        inspector_->FillMessageTree(&swift_->rig.entry);
        Settle();
        QCOMPARE(name_.text(), QString("SWIFT"));
        QCOMPARE(tree_.currentItem(), selected);  // the same tree
        const Cells swift = Rows(*swift_, gps7);
        QVERIFY(!swift.isEmpty());
        QVERIFY(swift != Rows(*javad_, gps7));
        QCOMPARE(TableCells(table_), swift);
    }

    void aVersionChangeRebuildsTheTreeAndReselects() {
        inspector_->FillMessageTree(&swift_->rig.entry);
        const std::uint32_t galileo7 = MessageCode(kKindMsm7, 3);
        Select(galileo7);

        inspector_->FillMessageTree(&legacy_->rig.entry);
        Settle();
        QCOMPARE(inspector_->TreeVersion(), 2);
        QCOMPARE(tree_.topLevelItem(0)->text(0), QString("type-01"));

        inspector_->FillMessageTree(&swift_->rig.entry);
        Settle();
        QCOMPARE(inspector_->TreeVersion(), 3);
        QCOMPARE(tree_.topLevelItemCount(), 9);
        QTreeWidgetItem* item = tree_.currentItem();
        QVERIFY(item != nullptr);
        QCOMPARE(item->text(0), QString("GALILEO"));
        QCOMPARE(item->parent()->text(0), QString("type-MSM7"));
        QVERIFY(item->parent()->isExpanded());
        QVERIFY(!tree_.topLevelItem(7)->isExpanded());  // type-MSM4
        QCOMPARE(table_.columnCount(), 7);
        const Cells galileo = Rows(*swift_, galileo7);
        QVERIFY(!galileo.isEmpty());
        QCOMPARE(TableCells(table_), galileo);
    }

    void notificationsThatChangeNothing_data() {
        QTest::addColumn<int>("what");
        QTest::newRow("the shown mountpoint and type refill") << 0;
        QTest::newRow("another mountpoint") << 1;
        QTest::newRow("another type") << 2;
        QTest::newRow("a stopped channel") << 3;
        QTest::newRow("a channel without the tree's decoder") << 4;
        QTest::newRow("no mountpoint") << 5;
    }
    void notificationsThatChangeNothing() {
        QFETCH(int, what);
        MountpointEntry& swift = swift_->rig.entry;
        inspector_->FillMessageTree(&swift);
        const std::uint32_t code = MessageCode(kKind1004, 0);
        Select(code);
        QVERIFY(table_.rowCount() > 0);
        table_.item(0, 0)->setText("unchanged");

        MountpointEntry* entry = &swift;
        std::uint32_t posted = code;
        NtripChannel* const running = swift.channel;
        switch (what) {
            case 1:
                entry = &javad_->rig.entry;
                break;  // streams 1004 too
            case 2:
                posted = MessageCode(kKind1012, 0);
                break;
            case 3:
                swift.channel = nullptr;
                break;
            case 4:
                swift.channel = legacy_->rig.channel.get();
                break;
            case 5:
                entry = nullptr;
                break;
        }
        inspector_->RtcmDecoded(reinterpret_cast<std::uintptr_t>(entry), posted);
        swift.channel = running;
        QCOMPARE(table_.item(0, 0)->text() == "unchanged", what != 0);
    }

    // Every table equals the log's values of the same message: the last one
    // of its type, or for ephemerides the last one of each satellite.
    void tablesShowTheLoggedValues() {
        const std::uint32_t msm4[] = {1, 2, 3, 5, 6}, msm7[] = {1, 2, 3, 6};
        std::vector<std::pair<Station*, std::uint32_t>> shown;
        for (std::uint32_t kind : {kKind1004, kKind1012, kKind1019, kKind1020})
            shown.emplace_back(javad_.get(), MessageCode(kind, 0));
        for (std::uint32_t i : msm4) shown.emplace_back(javad_.get(), MessageCode(kKindMsm4, i));
        for (std::uint32_t i : msm7) shown.emplace_back(javad_.get(), MessageCode(kKindMsm7, i));
        for (std::uint32_t kind : {kKind1004, kKind1006, kKind1012, kKind1013, kKind1033})
            shown.emplace_back(swift_.get(), MessageCode(kind, 0));
        shown.emplace_back(swift_.get(), MessageCode(kKindMsm4, 1));
        shown.emplace_back(swift_.get(), MessageCode(kKindMsm7, 2));
        for (std::uint32_t code :
             {MessageCode(kKindRtcm2Type1, 0), MessageCode(kKindRtcm2Type3, 0),
              MessageCode(kKindRtcm2Type18, 1), MessageCode(kKindRtcm2Type18, 2),
              MessageCode(kKindRtcm2Type19, 1), MessageCode(kKindRtcm2Type19, 2)})
            shown.emplace_back(legacy_.get(), code);

        std::vector<Cells> tables;
        for (const auto& [station, code] : shown) {
            inspector_->FillMessageTree(&station->rig.entry);
            Select(code);
            tables.push_back(TableCells(table_));
        }
        // The log is complete once the channels have stopped.
        for (Station* s : Stations()) s->rig.Stop();
        // A stopped channel has no decoder: its notifications change nothing.
        inspector_->RtcmDecoded(reinterpret_cast<std::uintptr_t>(&legacy_->rig.entry),
                                MessageCode(kKindRtcm2Type19, 2));
        QCOMPARE(TableCells(table_), tables.back());

        std::map<Station*, std::vector<std::string>> logs;
        for (Station* s : Stations()) logs[s] = test::ReadTextLogLines(s->rig.context.outputDir);
        QStringList differences;
        int nonEmpty = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const QString d = CompareWithLog(shown[i].second, tables[i], logs[shown[i].first]);
            if (!d.isEmpty()) differences << d;
            nonEmpty += !tables[i].isEmpty();
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join("\n")));
        QVERIFY(nonEmpty >= 20);
    }

private:
    std::vector<Station*> Stations() { return {javad_.get(), swift_.get(), legacy_.get()}; }

    // Selects the tree item of `code` and lets the refill it asks for arrive.
    void Select(std::uint32_t code) {
        QTreeWidgetItem* item = FindItem(tree_, code);
        QVERIFY(item != nullptr);
        tree_.setCurrentItem(item);
        Settle();
        QCOMPARE(inspector_->SelectedCode(), code);
    }

    static Cells Rows(Station& s, std::uint32_t code) {
        return RowCells(Rtcm3TableRows(dynamic_cast<const RTCM3Dec&>(*s.rig.channel->rtcm3), code));
    }

    test::TempDir temp_;
    StandardChannelOutputs outputs_;
    test::TestWindow window_;
    QLabel name_;
    QTreeWidget tree_;
    QTableWidget table_;
    std::unique_ptr<MessageInspectorView> inspector_;
    long notifications_ = 0;
    std::unique_ptr<Station> javad_, swift_, legacy_;
};

}  // namespace corvane

QTEST_MAIN(corvane::MessageInspectorTest)
#include "message_inspector_test.moc"
